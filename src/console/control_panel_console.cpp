// The main window's traffic view and typed requests.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::wireConsole() {}

void Control_Panel::update_information() {}

void Control_Panel::put_send_bytes() {}

void Control_Panel::debug_message() {}

void Control_Panel::sendCustomData() {}

void Control_Panel::textChanged() {}

void Control_Panel::text_pressedUp() {}

void Control_Panel::text_pressedDown() {}
