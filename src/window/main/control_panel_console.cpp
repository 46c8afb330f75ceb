// The main window's console page (ConsolePage): the batches it takes, the displays and buttons of
// the other pages it serves.
#include "cd_board.h"
#include "console/consolepage.h"
#include "console/playpage.h"
#include "laser/lasercurrentpage.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::wireConsole() {
    // Unique: the link side may already have made these two.
    for (auto complete : {&CD_Board::parse_complete, &CD_Board::parse_complete_other})
        connect(board, complete, this, &Control_Panel::update_information, Qt::UniqueConnection);
    connect(consolePage, &ConsolePage::positionShown, playPage, &PlayPage::showPosition);
    connect(consolePage, &ConsolePage::positionShown, laserCurrentPage,
            &LaserCurrentPage::showPosition);
    connect(consolePage, &ConsolePage::connectPressed, this,
            &Control_Panel::handleConnectDisconnect);
    connect(consolePage, &ConsolePage::testButtonsPressed, this,
            &Control_Panel::testsuite_Show_Hide);
    wireLoader();
}
