// The main window's service functions: the service mode page, the service warnings of every
// page, the laser page's laser button and the DK-Tria tray calibration group.
#include "cd_board.h"
#include "control_panel.h"
#include "loaderchoice.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QMenu>

void Control_Panel::wireService() {
    connect(ui->btnServiceModeStart, &QPushButton::clicked, this, &Control_Panel::startServiceMode);
    connect(ui->buttonLaserOnOff, &QPushButton::clicked, this, &Control_Panel::laserOnOff);
    connect(ui->btnServiceModeNext, &QPushButton::clicked, this, &Control_Panel::stepServiceMode);
    connect(ui->btnServiceModeExit, &QPushButton::clicked, this, &Control_Panel::exitServiceMode);
    connect(board, &CD_Board::exit_service_mode, this, &Control_Panel::exitServiceMode);
    connect(board, &CD_Board::service_mode_step, this, &Control_Panel::handleServiceModeStep);
    for (int step = 1; step <= ServiceMode::Steps; ++step) {
        if (auto* b = findChild<QPushButton*>(QStringLiteral("btnServiceMode_%1").arg(step)))
            connect(b, &QPushButton::clicked, this, [this, step] { gotoServiceMode(step); });
    }
    // A board that lost its power (as the warnings advise to leave service mode) comes back
    // outside service mode: the tool follows when the link closes or the board names itself anew.
    connect(board, &CD_Board::disconnected_from_serial_port, this,
            &Control_Panel::leaveServiceMode);
    connect(board, &CD_Board::board_identified, this, &Control_Panel::leaveServiceMode);

    connect(ui->btnCalibrationDelete, &QPushButton::clicked, this,
            &Control_Panel::DK65_AC_Calibrate_Loader_1);
    connect(ui->btnCalibrationSet1, &QPushButton::clicked, this,
            &Control_Panel::DK65_AC_Calibrate_Loader_2);
    connect(ui->btnCalibrationSet2, &QPushButton::clicked, this,
            &Control_Panel::DK65_AC_Calibrate_Loader_3);
    // Beside the Open and Close buttons, where the hint below keeps the sequence's guidance.
    brakeDistanceWarning = new QLabel(ui->groupLoaderCalibration);
    brakeDistanceWarning->setObjectName("lblBrakeDistanceWarning");
    brakeDistanceWarning->setGeometry(302, 18, 100, 38);
    brakeDistanceWarning->setWordWrap(true);
    brakeDistanceWarning->setStyleSheet("QLabel  { color: red}");
}

// The service build offers the loader and pickup actions in two submenus of "Options"; the
// service warnings, the step markers and the tray calibration wait for the board to call for
// them.
void Control_Panel::applyServiceConfiguration() {
    const struct {
        const char* title;
        const char* name;
        const QVector<LoaderChoice::Action>& actions;
    } menus[] = {{"Loader", "menuLoader", LoaderChoice::loaderActions()},
                 {"Pickup", "menuPickup", LoaderChoice::pickupActions()}};
    for (const auto& entry : menus) {
        QMenu* menu = ui->menuOptions->addMenu(QString::fromLatin1(entry.title));
        menu->setObjectName(QString::fromLatin1(entry.name));
        for (const LoaderChoice::Action& action : entry.actions) {
            QAction* a = findChild<QAction*>(QString::fromLatin1(action.action));
            if (!a)
                continue;
            menu->addAction(a);
            // The choice stored by an earlier session keeps its mark.
            bool stored = false;
            const int value = settings->value(QString::fromLatin1(action.key)).toInt(&stored);
            a->setChecked(stored && value == action.value);
        }
    }
    ui->groupLoaderCalibration->hide();
    showServiceView(ServiceMode::View{}, false);
}

void Control_Panel::startServiceMode() {
    board->sendRequests(board->serviceMode.start());
}

void Control_Panel::stepServiceMode() {
    board->sendRequests(board->serviceMode.next());
}

void Control_Panel::gotoServiceMode(int step) {
    board->sendRequests(board->serviceMode.gotoStep(step));
}

// The page changes when the board confirms the end.
void Control_Panel::exitServiceMode() {
    board->sendRequests(board->serviceMode.exit());
}

void Control_Panel::laserOnOff() {
    board->sendRequests(board->serviceMode.laserButton());
}

void Control_Panel::handleServiceModeStep(int step) {
    showServiceView(board->serviceMode.onReply(step), true);
}

// Outside service mode there is nothing to leave (the laser button keeps its text).
void Control_Panel::leaveServiceMode() {
    if (board->serviceMode.step() != ServiceMode::Step::Outside)
        showServiceView(board->serviceMode.leave(), true);
}

void Control_Panel::showServiceView(const ServiceMode::View& view, bool laserButton) {
    for (QLabel* warning : {ui->ServiceModeWarningLabel_1, ui->ServiceModeWarningLabel_2,
                            ui->ServiceModeWarningLabel_3, ui->ServiceModeWarningLabel_4,
                            ui->ServiceModeWarningLabel_5, ui->ServiceModeWarningLabel_6,
                            ui->ServiceModeWarningLabel_7})
        warning->setVisible(view.warnings);
    for (int step = 1; step <= ServiceMode::Steps; ++step) {
        if (auto* marker = findChild<QLabel*>(QStringLiteral("labelService%1").arg(step)))
            marker->setVisible(step == view.marker);
    }
    if (laserButton)
        ui->buttonLaserOnOff->setText(ServiceMode::laserButtonText(view.offersLaserOff));
}

// ---------------------------------------------------------------------------------------------
// Tray calibration: the command goes out through the typed-request line, then the hint follows.

void Control_Panel::applyCalibrationPress(const TrayCalibration::Press& press) {
    brakeDistanceWarning->setText(press.refusal);
    if (!press.command.isEmpty())
        sendCommandText(press.command);
    if (!press.hint.isNull())
        ui->lblCalibrationHint->setText(press.hint);
}

void Control_Panel::DK65_AC_Calibrate_Loader_1() {
    applyCalibrationPress(trayCalibration.reset());
}

void Control_Panel::DK65_AC_Calibrate_Loader_2() {
    applyCalibrationPress(trayCalibration.setDistance(ui->txtBrakeDistance->text()));
}

void Control_Panel::DK65_AC_Calibrate_Loader_3() {
    applyCalibrationPress(trayCalibration.setTiming());
}
