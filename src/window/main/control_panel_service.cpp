// The main window's service functions (ServicePanel): the service mode page, the service
// warnings of every page and the laser page's laser button.
#include "cd_board.h"
#include "main/control_panel.h"

void Control_Panel::wireService() {
    ServicePanel* service = servicePanel.get();
    connect(service, &ServicePanel::laserButtonShown, laserPage, &LaserPage::showLaserButton);
    connect(service, &ServicePanel::warningsShown, playPage, &PlayPage::showServiceWarning);
    connect(service, &ServicePanel::warningsShown, consolePage, &ConsolePage::showServiceWarning);
    connect(service, &ServicePanel::warningsShown, flagsPage, &FlagsPage::showServiceWarning);
    connect(service, &ServicePanel::warningsShown, eepromPage, &EepromPage::showServiceWarning);
    connect(service, &ServicePanel::warningsShown, flashPage.get(), &FlashPage::showServiceWarning);
    connect(service, &ServicePanel::warningsShown, laserPage, &LaserPage::showServiceWarning);
    connect(board, &CD_Board::service_mode_step, this, &Control_Panel::handleServiceModeStep);
    // A board that lost its power (as the warnings advise to leave service mode) comes back
    // outside service mode: the tool follows when the link closes or the board names itself anew.
    for (auto gone : {&CD_Board::disconnected_from_serial_port, &CD_Board::board_identified})
        connect(board, gone, this, &Control_Panel::leaveServiceMode);
}
