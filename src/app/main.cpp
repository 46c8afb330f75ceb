#include "control_panel.h"
#include "signalquitter.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName("Orvalta");
    QCoreApplication::setApplicationName("DK-61 PC-Tool");
    QApplication app(argc, argv);
    // SIGINT/SIGTERM end the event loop, so the window closes its files and stores its page.
    SignalQuitter quitter;
    int result = 0;
    {
        Control_Panel window;
        window.show();
        result = app.exec();
    }
    return result;
}
