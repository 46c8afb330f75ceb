// The main window's service functions: the service mode page, the service warnings of every
// page, the laser page's laser button and the DK-Tria tray calibration group (ServicePanel).
#include "cd_board.h"
#include "console/commandcatalogue.h"
#include "console/consolepage.h"
#include "laser/laserpage.h"
#include "main/control_panel.h"
#include "service/servicepanel.h"
#include "ui_control_panel.h"

void Control_Panel::wireService() {
    servicePanel = std::make_unique<ServicePanel>(
        ServicePanel::Parts{this, ui->groupLoaderCalibration, ui->lblCalibrationHint,
                            ui->txtBrakeDistance,
                            [this](const QString& text) { consolePage->sendText(text); }},
        *board);
    connect(ui->btnServiceModeStart, &QPushButton::clicked, this, &Control_Panel::startServiceMode);
    connect(servicePanel.get(), &ServicePanel::laserButtonShown, laserPage,
            &LaserPage::showLaserButton);
    connect(ui->btnServiceModeNext, &QPushButton::clicked, this, &Control_Panel::stepServiceMode);
    connect(ui->btnServiceModeExit, &QPushButton::clicked, this, &Control_Panel::exitServiceMode);
    connect(board, &CD_Board::service_mode_step, this, &Control_Panel::handleServiceModeStep);
    for (int step = 1; step <= ServiceMode::Steps; ++step) {
        if (auto* b = findChild<QPushButton*>(QStringLiteral("btnServiceMode_%1").arg(step)))
            connect(b, &QPushButton::clicked, this, [this, step] { gotoServiceMode(step); });
    }
    // A board that lost its power (as the warnings advise to leave service mode) comes back
    // outside service mode: the tool follows when the link closes or the board names itself anew.
    for (auto gone : {&CD_Board::disconnected_from_serial_port, &CD_Board::board_identified})
        connect(board, gone, this, &Control_Panel::leaveServiceMode);
    for (QPushButton* tray : {ui->btnClickTrayOpen_2, ui->btnClickTrayClose_2})
        connect(tray, &QPushButton::clicked, this, [this, tray] {
            consolePage->sendText(
                CommandCatalogue::text(tray->objectName(), ui->txtInputTrayBoth->text()));
        });
    connect(ui->btnCalibrationDelete, &QPushButton::clicked, this,
            &Control_Panel::DK65_AC_Calibrate_Loader_1);
    connect(ui->btnCalibrationSet1, &QPushButton::clicked, this,
            &Control_Panel::DK65_AC_Calibrate_Loader_2);
    connect(ui->btnCalibrationSet2, &QPushButton::clicked, this,
            &Control_Panel::DK65_AC_Calibrate_Loader_3);
}

// ---- tray calibration: the command goes out through the typed-request line ----
