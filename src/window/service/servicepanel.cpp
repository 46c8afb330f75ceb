#include "service/servicepanel.h"

#include "cd_board.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ServicePanel::ServicePanel(const Parts& parts, CD_Board& board, QObject* parent)
    : QObject(parent), p(parts), board(board), mode(board.serviceMode()) {
    // Beside the Open and Close buttons, where the hint below keeps the sequence's guidance.
    brakeDistanceWarning = new QLabel(p.calibration);
    brakeDistanceWarning->setObjectName("lblBrakeDistanceWarning");
    brakeDistanceWarning->setGeometry(302, 18, 100, 38);
    brakeDistanceWarning->setWordWrap(true);
    brakeDistanceWarning->setStyleSheet("QLabel  { color: red}");
}

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
    p.calibration->hide();
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
    for (int n = 1; n <= 7; ++n) {
        if (auto* warning =
                p.window->findChild<QLabel*>(QStringLiteral("ServiceModeWarningLabel_%1").arg(n)))
            warning->setVisible(view.warnings);
    }
    for (int step = 1; step <= ServiceMode::Steps; ++step) {
        if (auto* marker = p.window->findChild<QLabel*>(QStringLiteral("labelService%1").arg(step)))
            marker->setVisible(step == view.marker);
    }
    if (laserButton)
        p.laserButton->setText(ServiceMode::laserButtonText(view.offersLaserOff));
}

// ---------------------------------------------------------------------------------------------
// Tray calibration: the command goes out through the typed-request line, then the hint follows.

void ServicePanel::offerTrayCalibration(bool offered) {
    p.calibration->setVisible(offered);
    if (offered)
        p.calibrationHint->clear();
}

void ServicePanel::apply(const TrayCalibration::Press& press) {
    brakeDistanceWarning->setText(press.refusal);
    if (!press.command.isEmpty())
        p.sendCommandText(press.command);
    if (!press.hint.isNull())
        p.calibrationHint->setText(press.hint);
}

void ServicePanel::calibrationReset() {
    apply(tray.reset());
}

void ServicePanel::calibrationSetDistance() {
    apply(tray.setDistance(p.brakeDistance->text()));
}

void ServicePanel::calibrationSetTiming() {
    apply(tray.setTiming());
}
