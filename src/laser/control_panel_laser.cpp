// The main window's laser plots.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

void Control_Panel::plotLaserHistory(int /*runtime*/, int /*last_index*/, const quint8* /*values*/,
                                     const quint8* /*values_t*/) {}

void Control_Panel::plotZeroByte(int /*zerobyte*/) {}
