// The main window's EEPROM page.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::handleEepromState() {}
