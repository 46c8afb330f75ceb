#include "toolmain.h"

#include "signalquitter.h"

#include <QApplication>

int toolMain(int argc, char* argv[], Control_Panel::Configuration configuration) {
    QCoreApplication::setOrganizationName("Orvalta");
    QCoreApplication::setApplicationName("DK-61 PC-Tool");
    QApplication app(argc, argv);
    // SIGINT/SIGTERM end the event loop, so the window closes its files and stores its page.
    SignalQuitter quitter;
    int result = 0;
    {
        Control_Panel window(nullptr, configuration);
        if (!SignalQuitter::quitRequested()) {
            window.show();
            result = app.exec();
        }
    }
    return result;
}
