// The main window's laser pages: calibration, the ADC ring, the zero-hour byte, the live current,
// the history and zero-hour plots (LaserPages).
#include "cd_board.h"
#include "console/playerpanel.h"
#include "laser/laserlist.h"
#include "laser/laserpages.h"
#include "main/control_panel.h"
#include "production/eeprompage.h"
#include "ui_control_panel.h"

void Control_Panel::wireLaser() {
    laserPages = std::make_unique<LaserPages>(
        LaserPages::Parts{this,
                          ui->tabLaser,
                          {{ui->buttonGetAdcValue_1, ui->lineAdcValue_1,
                            ui->lineAdcValue_1_Variance, ui->lineCurrent_1, ui->boxUnitSelector_1},
                           {ui->buttonGetAdcValue_2, ui->lineAdcValue_2,
                            ui->lineAdcValue_2_Variance, ui->lineCurrent_2, ui->boxUnitSelector_2}},
                          ui->labelCalculatorWarning,
                          ui->labelDerivative,
                          ui->labelOffset,
                          ui->buttonLaserOnOff,
                          ui->lblWarnLaserHistory,
                          ui->customPlotLaser,
                          [this] { return playerPanel->isPlaying(); },
                          [this] { return eepromPage->running(); },
                          [this](const QString& text) { eepromPage->end(text); },
                          [this](double k, double d) { eepromPage->takeLaser(k, d); }},
        *board, *laserList);

    connect(ui->buttonGetAdcValue_1, &QPushButton::clicked, board, &CD_Board::getAdcValue_1);
    connect(ui->buttonGetAdcValue_2, &QPushButton::clicked, board, &CD_Board::getAdcValue_2);
    connect(board, &CD_Board::calculatedAdc_1, this, &Control_Panel::handleAdcValue_1);
    connect(board, &CD_Board::calculatedAdc_2, this, &Control_Panel::handleAdcValue_2);
    connect(ui->buttoCalculate, &QPushButton::clicked, this, &Control_Panel::calculateLaserParams);
    connect(board, &CD_Board::module_off, this, &Control_Panel::handleModuleOff);
    connect(ui->btnGetLaserHistory, &QPushButton::clicked, this, &Control_Panel::getLaserHistory);
    connect(ui->btnGetZeroByte, &QPushButton::clicked, this, &Control_Panel::getZeroByte);
    connect(ui->btnResetLaserHistory, &QPushButton::clicked, this,
            &Control_Panel::resetLaserHistory);
    connect(board, &CD_Board::memoryExchangeFailed, this, &Control_Panel::memoryExchangeFailed);
    // the count follows the readings once per batch received
    for (QPushButton* button : {ui->buttonGetAdcValue_1, ui->buttonGetAdcValue_2})
        connect(button, &QPushButton::clicked, this, &Control_Panel::showAdcProgress);
    connect(board, &CD_Board::parse_complete, this, &Control_Panel::showAdcProgress);
    connect(board, &CD_Board::disconnected_from_serial_port, this, &Control_Panel::showAdcProgress);
}

// ---- calibration: two points, each the mean of 1000 readings, and the line through them ----

// ---- the ring of the last 64 readings and the zero-hour byte ----

// ---- live current, history and zero-hour byte ----

void Control_Panel::plotLaserHistory(int runtime, int last_index, const quint8* values,
                                     const quint8* /*values_t*/) {
    laserPages->plotHistory(runtime, last_index, values);
}

void Control_Panel::pushLaserReading(quint16 value) {
    laserList->push(value);
}
