#include "service/servicepanel.h"

#include "cd_board.h"

ServicePanel::ServicePanel(CD_Board& board, QObject* parent)
    : QObject(parent), board(board), mode(board.serviceMode()) {}

void ServicePanel::start() {
    board.sendRequests(mode.start());
}

void ServicePanel::next() {
    board.sendRequests(mode.next());
}

void ServicePanel::gotoStep(int step) {
    board.sendRequests(mode.gotoStep(step));
}

void ServicePanel::exit() {
    board.sendRequests(mode.exit());
}

void ServicePanel::laserButtonPressed() {
    board.sendRequests(mode.laserButton());
}

void ServicePanel::hideUntilCalledFor() {
    show(ServiceMode::View{}, false);
}

void ServicePanel::showStep(int step) {
    show(mode.onReply(step), true);
}

void ServicePanel::leave() {
    // After an exit the board did not confirm, the page still shows service mode.
    if (mode.step() != ServiceMode::Step::Outside || showsServiceMode)
        show(mode.leave(), true);
}

void ServicePanel::show(const ServiceMode::View& view, bool laserButton) {
    showsServiceMode = view.warnings;
    emit warningsShown(view.warnings);
    emit stepMarked(view.marker);
    if (laserButton)
        emit laserButtonShown(ServiceMode::laserButtonText(view.offersLaserOff));
}
