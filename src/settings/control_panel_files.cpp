// The main window's log and flag files.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::openLogFile() {}

void Control_Panel::openFlagFile() {}

void Control_Panel::closeLogFile() {}

void Control_Panel::closeFlagFile() {}

void Control_Panel::writeLogLine(const QString& /*line*/) {}

void Control_Panel::writeCFlagsToFlagFile_cvs() {}
