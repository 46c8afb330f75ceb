// The main window's laser pages: calibration, the ADC ring, the zero-hour byte, the live current,
// the history and zero-hour plots (LaserPages).
#include "cd_board.h"
#include "control_panel.h"
#include "eeprompage.h"
#include "laserlist.h"
#include "laserpages.h"
#include "playerpanel.h"
#include "ui_control_panel.h"

void Control_Panel::wireLaser() {
    LaserPages::Parts parts;
    parts.window = this;
    parts.expertPage = ui->tabExpertMode;
    parts.laserPage = ui->tabLaser;
    parts.adcButtons[0] = ui->buttonGetAdcValue_1;
    parts.adcButtons[1] = ui->buttonGetAdcValue_2;
    parts.means[0] = ui->lineAdcValue_1;
    parts.means[1] = ui->lineAdcValue_2;
    parts.variances[0] = ui->lineAdcValue_1_Variance;
    parts.variances[1] = ui->lineAdcValue_2_Variance;
    parts.currents[0] = ui->lineCurrent_1;
    parts.currents[1] = ui->lineCurrent_2;
    parts.units[0] = ui->boxUnitSelector_1;
    parts.units[1] = ui->boxUnitSelector_2;
    parts.fitWarning = ui->labelCalculatorWarning;
    parts.slope = ui->labelDerivative;
    parts.offset = ui->labelOffset;
    parts.laserButton = ui->buttonLaserOnOff;
    parts.average = ui->lineLaserListAverage;
    parts.count = ui->labelAvgLaserHexValue;
    parts.current = ui->labelLaserCurrent;
    parts.historyMessage = ui->lblWarnLaserHistory;
    parts.plot = ui->customPlotLaser;
    parts.playing = [this] { return playerPanel->isPlaying(); };
    parts.programming = [this] { return eepromPage->running(); };
    parts.endProgramming = [this](const QString& text) { eepromPage->end(text); };
    laserPages = new LaserPages(parts, *board, *laserList, this);

    connect(ui->buttonGetAdcValue_1, &QPushButton::clicked, board, &CD_Board::getAdcValue_1);
    connect(ui->buttonGetAdcValue_2, &QPushButton::clicked, board, &CD_Board::getAdcValue_2);
    connect(board, &CD_Board::calculatedAdc_1, this, &Control_Panel::handleAdcValue_1);
    connect(board, &CD_Board::calculatedAdc_2, this, &Control_Panel::handleAdcValue_2);
    connect(ui->buttoCalculate, &QPushButton::clicked, this, &Control_Panel::calculateLaserParams);
    connect(board, &CD_Board::recievedLaserCurrent, this, &Control_Panel::updateLaserCurrent);
    connect(board, &CD_Board::laser_push, this, &Control_Panel::update_laser_average);
    connect(board, &CD_Board::module_off, this, &Control_Panel::handleModuleOff);
    connect(laserList, &LaserList::pushed, this, &Control_Panel::updateLaserADCAverage);
    connect(ui->pushButtonFlush, &QPushButton::clicked, laserList, &LaserList::flush);
    connect(ui->btnLaserToEeprom, &QPushButton::clicked, this,
            &Control_Panel::writeLaserCurrentToEEPROM);
    connect(ui->btnGetLaserHistory, &QPushButton::clicked, this, &Control_Panel::getLaserHistory);
    connect(ui->btnGetZeroByte, &QPushButton::clicked, this, &Control_Panel::getZeroByte);
    connect(ui->btnResetLaserHistory, &QPushButton::clicked, this,
            &Control_Panel::resetLaserHistory);
    connect(ui->ExpertGetLaser, &QPushButton::clicked, this, &Control_Panel::getLaserCurrent);
    connect(board, &CD_Board::memoryExchangeFailed, this, &Control_Panel::memoryExchangeFailed);
    connect(board, &CD_Board::zeroByteWriteEnded, this, &Control_Panel::zeroByteWriteEnded);
    // the count follows the readings once per batch received
    for (QPushButton* button : {ui->buttonGetAdcValue_1, ui->buttonGetAdcValue_2})
        connect(button, &QPushButton::clicked, this, &Control_Panel::showAdcProgress);
    connect(board, &CD_Board::parse_complete, this, &Control_Panel::showAdcProgress);
}

// ---- calibration: two points, each the mean of 1000 readings, and the line through them ----

void Control_Panel::handleAdcValue_1() {
    laserPages->showPoint(1);
}

void Control_Panel::handleAdcValue_2() {
    laserPages->showPoint(2);
}

void Control_Panel::calculateLaserParams() {
    laserPages->fit();
}

void Control_Panel::showAdcProgress() {
    laserPages->showProgress();
}

void Control_Panel::handleModuleOff() {
    laserPages->moduleOff();
}

// ---- the ring of the last 64 readings and the zero-hour byte ----

void Control_Panel::pushLaserReading(quint16 value) {
    laserList->push(value);
}

void Control_Panel::update_laser_average() {
    laserPages->showAverage();
}

void Control_Panel::updateLaserADCAverage(int index) {
    laserPages->showCount(index);
}

void Control_Panel::writeLaserCurrentToEEPROM() {
    laserPages->writeZeroHourByte();
}

void Control_Panel::zeroByteWriteEnded(bool written, const QString& text) {
    laserPages->zeroHourByteWritten(written, text);
}

// ---- live current, history and zero-hour byte ----

void Control_Panel::getLaserCurrent() {
    laserPages->requestCurrent();
}

void Control_Panel::updateLaserCurrent() {
    laserPages->showCurrent();
}

void Control_Panel::getLaserHistory() {
    laserPages->readHistory();
}

void Control_Panel::getZeroByte() {
    laserPages->readZeroHourByte();
}

void Control_Panel::resetLaserHistory() {
    laserPages->askErase();
}

void Control_Panel::memoryExchangeFailed(const QString& text) {
    laserPages->exchangeFailed(text);
}

void Control_Panel::plotLaserHistory(int runtime, int last_index, const quint8* values,
                                     const quint8* /*values_t*/) {
    laserPages->plotHistory(runtime, last_index, values);
}

void Control_Panel::plotZeroByte(int zerobyte) {
    laserPages->plotZeroHourByte(zerobyte);
}
