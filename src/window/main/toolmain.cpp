#include "main/toolmain.h"

#include "dk61version.h"
#include "main/signalquitter.h"
#include "portfactory.h"
#include "shell/commandline.h"

#include <QApplication>

int toolMain(int argc, char* argv[], Control_Panel::Configuration configuration) {
    const bool service = configuration == Control_Panel::Configuration::Service;
    const QString program =
        service ? QStringLiteral("dk61-service-tool") : QStringLiteral("dk61-pc-tool");
    // --help and --version answer before the application object exists: no display, no window,
    // no port.
    CommandLine commandLine(
        program, QStringLiteral(DK61_VERSION),
        service ? QStringLiteral("The DK-61 service tool with every page: player, EEPROM, "
                                 "firmware, laser and service mode.")
                : QStringLiteral("Watches the error-correction flags and the traffic of a DK-61 "
                                 "board."));
    if (commandLine.handle(argc, argv))
        return commandLine.exitCode();

    QCoreApplication::setOrganizationName("Orvalta");
    QCoreApplication::setApplicationName("DK-61 PC-Tool");
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(program);
    // SIGINT/SIGTERM end the event loop, so the window closes its files and stores its page.
    SignalQuitter quitter;
    // The virtual bridges (the simulator's lines) are named once, here.
    PortFactory ports(PortFactory::virtualPathsFromEnvironment());
    int result = 0;
    {
        Control_Panel window(ports, nullptr, configuration);
        if (!SignalQuitter::quitRequested()) {
            window.show();
            result = app.exec();
        }
    }
    return result;
}
