// The main window's flag page: the flag plot and the interval command.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::wireFlags() {}

void Control_Panel::plotCFlags() {}

void Control_Panel::rescalePlotXAxis() {}

void Control_Panel::rescalePlotYAxis() {}

void Control_Panel::send_flagrate_setting(int /*selection*/) {}
