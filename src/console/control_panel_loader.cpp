// The main window's loader list on the EEPROM page.
#include "control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::clearLoaderList() {}

void Control_Panel::addLoaderEntry(const QString& /*text*/, int /*code*/) {}

void Control_Panel::selectLoaderEntry(int /*code*/) {}
