#include "control_panel.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName("Orvalta");
    QCoreApplication::setApplicationName("DK-61 PC-Tool");
    QApplication app(argc, argv);
    int result = 0;
    {
        Control_Panel window;
        window.show();
        result = app.exec();
    }
    return result;
}
