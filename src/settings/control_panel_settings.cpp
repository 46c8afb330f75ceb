// The main window's side of the settings store.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QSettings>

void Control_Panel::wireSettings() {}

int Control_Panel::readBaudrateSetting() {
    bool ok = false;
    const int baud = settings->value("Baudrate").toString().toInt(&ok, 10);
    return ok ? baud : 128000;
}

bool Control_Panel::readReconnectSetting() {
    return true;
}

void Control_Panel::readLogFileSettings() {}

void Control_Panel::readFlagFileSettings() {}

void Control_Panel::openSettings() {}
