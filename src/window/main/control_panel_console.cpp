// The main window's console page (ConsolePage): the batches it takes, the displays and buttons of
// the other pages it serves.
#include "cd_board.h"
#include "console/consolepage.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::wireConsole() {
    // Unique: the link side may already have made these two.
    for (auto complete : {&CD_Board::parse_complete, &CD_Board::parse_complete_other})
        connect(board, complete, this, &Control_Panel::update_information, Qt::UniqueConnection);
    connect(&pages->console(), &ConsolePage::connectPressed, this,
            &Control_Panel::handleConnectDisconnect);
    connect(&pages->console(), &ConsolePage::testButtonsPressed, this,
            &Control_Panel::testsuite_Show_Hide);
    wireLoader();
}
