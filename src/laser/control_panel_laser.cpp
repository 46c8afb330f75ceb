// The main window's laser pages: calibration, the ADC ring, the zero-hour byte, the live current,
// the history and zero-hour plots.
#include "cd_board.h"
#include "control_panel.h"
#include "laserhistory.h"
#include "laserlist.h"
#include "logging.h"
#include "ui_control_panel.h"
#include "zerohourbyte.h"

#include <QMessageBox>

namespace {

QString g6(double value) {
    return QString::number(value, 'g', 6);
}

const char* const Red = "QLabel  { color: red}";
const char* const Green = "QLabel  { color: green}";

} // namespace

void Control_Panel::wireLaser() {
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

    labelZeroHourByte = new QLabel(ui->tabExpertMode);
    labelZeroHourByte->setObjectName(QStringLiteral("labelZeroHourByte"));
    // down to "PlayInit", over the register button and the PLL label this build never shows
    labelZeroHourByte->setGeometry(706, 298, 170, 52);
    labelZeroHourByte->setWordWrap(true);
    labelZeroHourByte->hide();

    // the count follows the readings once per batch received
    for (QPushButton* button : {ui->buttonGetAdcValue_1, ui->buttonGetAdcValue_2}) {
        const int n = button == ui->buttonGetAdcValue_1 ? 0 : 1;
        labelAdcProgress[n] = new QLabel(ui->tabLaser);
        labelAdcProgress[n]->setObjectName(QStringLiteral("labelAdcProgress_%1").arg(n + 1));
        labelAdcProgress[n]->setGeometry(button->x() + 155, button->y(), 170, button->height());
        connect(button, &QPushButton::clicked, this, &Control_Panel::showAdcProgress);
    }
    connect(board, &CD_Board::parse_complete, this, &Control_Panel::showAdcProgress);
}

// ---------------------------------------------------------------------------------------------
// Calibration: two points, each the mean of 1000 readings, and the line through them

void Control_Panel::handleAdcValue_1() {
    const LaserCalibration& calibration = board->state.laser.calibration;
    if (calibration.mean(1) == 0)
        return;
    ui->lineAdcValue_1->setText(g6(calibration.mean(1)));
    ui->lineAdcValue_1_Variance->setText(g6(calibration.variance(1)));
}

void Control_Panel::handleAdcValue_2() {
    const LaserCalibration& calibration = board->state.laser.calibration;
    if (calibration.mean(2) == 0)
        return;
    ui->lineAdcValue_2->setText(g6(calibration.mean(2)));
    ui->lineAdcValue_2_Variance->setText(g6(calibration.variance(2)));
}

// The fitted k and d are used at once for the live current; they reach the EEPROM only through
// the EEPROM page.
void Control_Panel::calculateLaserParams() {
    LaserState& laser = board->state.laser;
    const LaserCalibration::Fit fit =
        laser.calibration.fit({ui->lineCurrent_1->text(), ui->boxUnitSelector_1->currentIndex(),
                               ui->lineAdcValue_1->text()},
                              {ui->lineCurrent_2->text(), ui->boxUnitSelector_2->currentIndex(),
                               ui->lineAdcValue_2->text()});
    if (!fit.ok) {
        ui->labelCalculatorWarning->setText(fit.warning);
        return;
    }
    ui->labelCalculatorWarning->clear();
    laser.laser_slope = static_cast<float>(fit.k);
    laser.laser_offset = static_cast<float>(fit.d);
    ui->labelDerivative->setText(g6(fit.k));
    ui->labelOffset->setText(g6(fit.d));
}

void Control_Panel::showAdcProgress() {
    for (int point : {1, 2})
        labelAdcProgress[point - 1]->setText(board->state.laser.calibration.progressText(point));
}

void Control_Panel::handleModuleOff() {
    qCDebug(dk61Laser) << "handle module off()";
    board->serviceMode.moduleOff();
    ui->buttonLaserOnOff->setText(ServiceMode::laserButtonText(false));
}

// ---------------------------------------------------------------------------------------------
// The ring of the last 64 readings and the zero-hour byte

void Control_Panel::update_laser_average() {
    ui->lineLaserListAverage->setText(LaserList::averageText(laserList->average()));
}

void Control_Panel::updateLaserADCAverage(int index) {
    ui->labelAvgLaserHexValue->setText(LaserList::countText(index));
}

// The write waits for the board to show the byte it holds; the programming run's replies are
// its own.
void Control_Panel::writeLaserCurrentToEEPROM() {
    const ZeroHourByte::Value value = ZeroHourByte::fromAverage(laserList->average());
    if (!value.valid)
        return;
    if (eepromChainRunning) {
        showZeroHourByte(LaserHistory::busyText(), Red);
        return;
    }
    board->writeZeroByte(value);
    showZeroHourByte(ZeroHourByte::writingText(value), value.capped ? Red : "");
}

void Control_Panel::zeroByteWriteEnded(bool written, const QString& text) {
    showZeroHourByte(text, written ? Green : Red);
}

void Control_Panel::showZeroHourByte(const QString& text, const char* styleSheet) {
    labelZeroHourByte->setStyleSheet(QString::fromLatin1(styleSheet));
    labelZeroHourByte->setText(text);
    labelZeroHourByte->show();
}

// ---------------------------------------------------------------------------------------------
// Live current, history and zero-hour byte

void Control_Panel::getLaserCurrent() {
    board->sendRequest(QByteArray::fromRawData("\x54\x00", 2));
}

void Control_Panel::updateLaserCurrent() {
    ui->labelLaserCurrent->setText(g6(board->state.laser.laser_current_mA) + QStringLiteral(" mA"));
}

void Control_Panel::showLaserPageMessage(const QString& text) {
    ui->lblWarnLaserHistory->setText(text);
    ui->lblWarnLaserHistory->show();
}

// The history lives in the board's memory: not while a disc plays, nor while a programming run
// waits for its replies.
bool Control_Panel::laserMemoryAllowed() {
    if (playing) {
        showLaserPageMessage(LaserHistory::stopModeText());
        return false;
    }
    if (eepromChainRunning) {
        showLaserPageMessage(LaserHistory::busyText());
        return false;
    }
    ui->lblWarnLaserHistory->hide();
    return true;
}

void Control_Panel::getLaserHistory() {
    if (laserMemoryAllowed())
        board->readLaserHistory();
}

void Control_Panel::getZeroByte() {
    if (laserMemoryAllowed())
        board->readZeroByte();
}

// Erasing destroys the board's only record of its laser: asked for first.
void Control_Panel::resetLaserHistory() {
    if (!laserMemoryAllowed())
        return;
    auto* box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Reset history of laser"),
                        LaserHistory::eraseQuestion(), QMessageBox::Yes | QMessageBox::No, this);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes && laserMemoryAllowed())
            board->resetLaserHistory();
    });
    box->open();
}

void Control_Panel::memoryExchangeFailed(const QString& text) {
    showLaserPageMessage(text);
    // during a programming run the only exchange is the run's own erase: the run ends with it
    if (eepromChainRunning)
        endEepromChain(text);
}

// Graph 0 of the laser plot: the history from the oldest to the newest sample over play time.
void Control_Panel::plotLaserHistory(int runtime, int last_index, const quint8* values,
                                     const quint8* /*values_t*/) {
    QVector<double> times;
    QVector<double> currents;
    const int recorded = LaserHistory::build(static_cast<quint64>(qMax(runtime, 0)),
                                             static_cast<quint8>(last_index & 0xFF), values,
                                             board->state.link.fw_version, &times, &currents);
    QCustomPlot* plot = ui->customPlotLaser;
    if (recorded == 0) {
        plot->graph(0)->setVisible(false);
        showLaserPageMessage(LaserHistory::emptyText());
    } else {
        plot->graph(0)->setVisible(true);
        plot->xAxis->setRange(times.first(), times.last());
        // paired from the start; the newest time has no sample when the ring is full
        const int n = qMin(times.size(), currents.size());
        times.resize(n);
        currents.resize(n);
        plot->graph(0)->setData(times, currents, true);
    }
    qCDebug(dk61Laser) << "laser history" << runtime << last_index << times.size();
    plot->replot();
}

void Control_Panel::pushLaserReading(quint16 value) {
    laserList->push(value);
}

// Graph 1: the zero-hour current as a line across the shown play time; 0xFF means not set.
void Control_Panel::plotZeroByte(int zerobyte) {
    QCustomPlot* plot = ui->customPlotLaser;
    const quint8 value = static_cast<quint8>(zerobyte & 0xFF);
    if (value == 0xFF) {
        plot->graph(1)->setVisible(false);
    } else {
        const double mA = LaserHistory::zeroByteMilliampere(value);
        const QCPRange range = plot->xAxis->range();
        plot->graph(1)->setData({range.lower, range.upper}, {mA, mA}, true);
        plot->graph(1)->setVisible(true);
    }
    plot->replot();
}
