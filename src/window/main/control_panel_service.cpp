// The main window's service functions (ServicePanel): the pages pass on what they show, and the
// board's service mode steps.
#include "cd_board.h"
#include "main/control_panel.h"

void Control_Panel::wireService() {
    pages->wire(configuration == Configuration::Service);
    connect(board, &CD_Board::service_mode_step, this, &Control_Panel::handleServiceModeStep);
    // A board that lost its power (as the warnings advise to leave service mode) comes back
    // outside service mode: the tool follows when the link closes or the board names itself anew.
    for (auto gone : {&CD_Board::disconnected_from_serial_port, &CD_Board::board_identified})
        connect(board, gone, this, &Control_Panel::leaveServiceMode);
}
