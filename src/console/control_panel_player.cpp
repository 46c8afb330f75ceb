// The main window's player panel and the small displays fed by single responses.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::showPllState(int /*state*/) {}
