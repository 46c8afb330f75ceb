// The main window's side of the settings store.
#include "cd_board.h"
#include "control_panel.h"
#include "flaglimits.h"
#include "logging.h"
#include "runpanel.h"
#include "settings.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QSettings>

void Control_Panel::wireSettings() {
    connect(ui->optionsSettings, &QAction::triggered, this, &Control_Panel::openSettings);
}

int Control_Panel::readBaudrateSetting() {
    bool ok = false;
    const int baud = settings->value("Baudrate").toString().toInt(&ok, 10);
    // A rate of zero or below cannot open a port; it counts as not a rate at all.
    const int rate = ok && baud > 0 ? baud : 128000;
    qCDebug(dk61Settings) << "control_panel.cpp"
                          << "LINE" << __LINE__ << "Contains Baudrate:" << rate;
    return rate;
}

bool Control_Panel::readReconnectSetting() {
    bool reconnect = true;
    if (settings->contains("ReconnectAfterBaudChange"))
        reconnect = settings->value("ReconnectAfterBaudChange").toBool();
    if (reconnect)
        settings->setValue("ReconnectAfterBaudChange", true);
    qCDebug(dk61Settings) << "Contains ReconnectAfterBaudChange" << reconnect;
    return reconnect;
}

void Control_Panel::readLogFileSettings() {
    if (settings->contains("logFileDirectory")) {
        // An empty value means the application's directory (not the current one).
        const QString configured = settings->value("logFileDirectory").toString();
        logFileDirectory.setPath(
            configured.trimmed().isEmpty() ? QCoreApplication::applicationDirPath() : configured);
        qCDebug(dk61Settings) << "logfiledirectory" << logFileDirectory.path();
    } else {
        const QString appDir = QCoreApplication::applicationDirPath();
        settings->setValue("logFileDirectory", appDir);
        logFileDirectory.setPath(appDir);
    }
    if (settings->contains("storeLogFile")) {
        storeLogFile = settings->value("storeLogFile").toBool();
        ui->labelLogFile->setVisible(storeLogFile);
    } else {
        settings->setValue("storeLogFile", false);
        storeLogFile = false;
    }
}

void Control_Panel::readFlagFileSettings() {
    if (settings->contains("flagFileDirectory")) {
        // An empty value means the application's directory (not the current one).
        const QString configured = settings->value("flagFileDirectory").toString();
        flagFileDirectory.setPath(
            configured.trimmed().isEmpty() ? QCoreApplication::applicationDirPath() : configured);
        qCDebug(dk61Settings) << "flagfiledirectory" << flagFileDirectory.path();
    } else {
        const QString appDir = QCoreApplication::applicationDirPath();
        settings->setValue("flagFileDirectory", appDir);
        flagFileDirectory.setPath(appDir);
    }
    if (settings->contains("storeFlagFile_csv")) {
        storeFlagFile_csv = settings->value("storeFlagFile_csv").toBool();
    } else {
        settings->setValue("storeFlagFile_csv", false);
        storeFlagFile_csv = false;
    }
    if (runPanel)
        runPanel->setLimits(FlagLimits::load(*settings));
}

void Control_Panel::openSettings() {
    qCDebug(dk61Settings) << "Settings";
    auto* window = new Settings(this);
    window->show();
}
