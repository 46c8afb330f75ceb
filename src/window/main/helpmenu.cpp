#include "main/helpmenu.h"

#include "common/infobox.h"
#include "dk61version.h"

#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

QAction* HelpMenu::add(QMainWindow& window) {
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction* about = help->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("actionAbout"));
    return about;
}

QString HelpMenu::aboutText(bool service, const QString& settingsFile,
                            const SettingsValues& settings) {
    const auto place = [](bool on, const QString& directory) {
        return QDir::toNativeSeparators(QDir(directory).absolutePath()) +
               (on ? QString() : QStringLiteral(" (switched off in Options > Settings)"));
    };
    return QStringLiteral("%1 %2\n\nSettings: %3\nLog files: %4\nFlag files: %5")
        .arg(service ? QStringLiteral("DK-61 Service Tool") : QStringLiteral("DK-61 PC-Tool"),
             QStringLiteral(DK61_VERSION), QDir::toNativeSeparators(settingsFile),
             place(settings.storeLogFile, settings.logFileDirectory),
             place(settings.storeFlagFile, settings.flagFileDirectory));
}

void HelpMenu::showAbout(QMainWindow& window, const QString& text) {
    InfoBox::open(&window, QStringLiteral("aboutBox"), QStringLiteral("About"), text);
}
