#include "laser/laserpages.h"

#include "cd_board.h"
#include "laser/laserhistory.h"
#include "laser/laserlist.h"
#include "laser/zerohourbyte.h"
#include "shell/logging.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <qcustomplot.h>

namespace {

QString g6(double value) {
    return QString::number(value, 'g', 6);
}

const char* const Red = "QLabel  { color: red}";
const char* const Green = "QLabel  { color: green}";

} // namespace

LaserPages::LaserPages(const Parts& parts, CD_Board& board, const LaserList& readings,
                       QObject* parent)
    : QObject(parent), p(parts), board(board), readings(readings) {
    zeroHourByte = new QLabel(p.expertPage);
    zeroHourByte->setObjectName(QStringLiteral("labelZeroHourByte"));
    // down to "PlayInit", over the register button and the PLL label this build never shows
    zeroHourByte->setGeometry(706, 298, 170, 52);
    zeroHourByte->setWordWrap(true);
    zeroHourByte->hide();
    // beside each "Get ADC Value"
    for (int n : {0, 1}) {
        const QPushButton* button = p.points[n].button;
        progress[n] = new QLabel(p.laserPage);
        progress[n]->setObjectName(QStringLiteral("labelAdcProgress_%1").arg(n + 1));
        progress[n]->setGeometry(button->x() + 155, button->y(), 170, button->height());
        p.points[n].mean->setReadOnly(true);
    }
    // beside "Calculate"
    useForEeprom = new QPushButton(QStringLiteral("Use for EEPROM"), p.laserPage);
    useForEeprom->setObjectName(QStringLiteral("buttonUseForEeprom"));
    useForEeprom->setAccessibleName(useForEeprom->text());
    useForEeprom->setGeometry(170, 185, 150, 30);
    useForEeprom->setEnabled(false);
    connect(useForEeprom, &QPushButton::clicked, this, [this] {
        if (p.useForEeprom)
            p.useForEeprom(fitted[0], fitted[1]);
    });
    for (QLabel* label : {p.slope, p.offset, p.fitWarning})
        label->clear();
    p.historyMessage->hide();

    QCustomPlot* plot = p.plot;
    plot->addGraph()->setName("Laser Current (mA)");
    plot->graph(0)->setPen(QPen(Qt::red));
    plot->addGraph()->setName("Zero Hour Laser Current (mA)");
    plot->graph(1)->setPen(QPen(Qt::blue));
    plot->xAxis->setLabel("Playime (s)");
    plot->yAxis->setLabel("Laser Current (mA)");
    plot->xAxis->setRange(0, 5000);
    plot->yAxis->setRange(0, 200);
    plot->replot();
}

// ---------------------------------------------------------------------------------------------
// Calibration

void LaserPages::showPoint(int point) {
    const LaserCalibration& calibration = board.state().laser.calibration;
    if (calibration.mean(point) == 0)
        return;
    const Point& shown = p.points[point - 1];
    shown.mean->setText(g6(calibration.mean(point)));
    shown.variance->setText(g6(calibration.variance(point)));
}

void LaserPages::fit() {
    LaserState& laser = board.state().laser;
    LaserCalibration::Entry entries[2];
    for (int n : {0, 1})
        entries[n] = {p.points[n].current->text(), p.points[n].unit->currentIndex(),
                      p.points[n].mean->text()};
    const LaserCalibration::Fit fit = laser.calibration.fit(entries[0], entries[1]);
    if (!fit.ok) {
        p.fitWarning->setText(fit.warning);
        return;
    }
    p.fitWarning->clear();
    laser.laser_slope = static_cast<float>(fit.k);
    laser.laser_offset = static_cast<float>(fit.d);
    p.slope->setText(g6(fit.k));
    p.offset->setText(g6(fit.d));
    fitted[0] = fit.k;
    fitted[1] = fit.d;
    useForEeprom->setEnabled(true);
}

void LaserPages::showProgress() {
    for (int point : {1, 2})
        progress[point - 1]->setText(board.state().laser.calibration.progressText(point));
}

void LaserPages::moduleOff() {
    qCDebug(dk61Laser) << "handle module off()";
    board.serviceMode().moduleOff();
    p.laserButton->setText(ServiceMode::laserButtonText(false));
}

// ---------------------------------------------------------------------------------------------
// The ring of the last 64 readings and the zero-hour byte

void LaserPages::showAverage() {
    p.average->setText(LaserList::averageText(readings.average()));
}

void LaserPages::showCount(int count) {
    p.count->setText(LaserList::countText(count));
}

// The programming run's replies are its own.
void LaserPages::writeZeroHourByte() {
    const ZeroHourByte::Value value = ZeroHourByte::fromAverage(readings.average());
    if (!value.valid)
        return;
    if (const QString busy = memoryBusy(); !busy.isEmpty()) {
        showZeroHourByte(busy, Red);
        return;
    }
    board.writeZeroByte(value);
    showZeroHourByte(ZeroHourByte::writingText(value), value.capped ? Red : "");
}

void LaserPages::zeroHourByteWritten(bool written, const QString& text) {
    showZeroHourByte(text, written ? Green : Red);
}

void LaserPages::showZeroHourByte(const QString& text, const char* styleSheet) {
    zeroHourByte->setStyleSheet(QString::fromLatin1(styleSheet));
    zeroHourByte->setText(text);
    zeroHourByte->show();
}

// ---------------------------------------------------------------------------------------------
// Live current, history and zero-hour byte

void LaserPages::requestCurrent() {
    board.sendRequest(QByteArray::fromRawData("\x54\x00", 2));
}

void LaserPages::showCurrent() {
    p.current->setText(g6(board.state().laser.laser_current_mA) + QStringLiteral(" mA"));
}

void LaserPages::showMessage(const QString& text) {
    p.historyMessage->setText(text);
    p.historyMessage->show();
}

QString LaserPages::memoryBusy() const {
    if (p.programming())
        return LaserHistory::busyText();
    if (const MemorySequence* running = board.decoder().runningSequence())
        return LaserHistory::waitText(running->what());
    return QString();
}

bool LaserPages::memoryAllowed() {
    const QString why = p.playing() ? LaserHistory::stopModeText() : memoryBusy();
    if (why.isEmpty())
        p.historyMessage->hide();
    else
        showMessage(why);
    return why.isEmpty();
}

void LaserPages::readHistory() {
    if (memoryAllowed())
        board.readLaserHistory();
}

void LaserPages::readZeroHourByte() {
    if (memoryAllowed())
        board.readZeroByte();
}

void LaserPages::askErase() {
    if (!memoryAllowed())
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Reset history of laser"),
                                LaserHistory::eraseQuestion(), QMessageBox::Yes | QMessageBox::No,
                                p.window);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes && memoryAllowed())
            board.resetLaserHistory();
    });
    box->open();
}

void LaserPages::exchangeFailed(const QString& text) {
    showMessage(text);
    // during a programming run the only exchange is the run's own erase: the run ends with it
    if (p.programming())
        p.endProgramming(text);
}

void LaserPages::plotHistory(int runtime, int lastIndex, const quint8* values) {
    QVector<double> times;
    QVector<double> currents;
    const int recorded = LaserHistory::build(static_cast<quint64>(qMax(runtime, 0)),
                                             static_cast<quint8>(lastIndex & 0xFF), values,
                                             board.state().link.fw_version, &times, &currents);
    QCustomPlot* plot = p.plot;
    plot->graph(0)->setVisible(recorded != 0);
    if (recorded == 0) {
        showMessage(LaserHistory::emptyText());
    } else {
        plot->xAxis->setRange(times.first(), times.last());
        // paired from the start; the newest time has no sample when the ring is full
        const int n = qMin(times.size(), currents.size());
        times.resize(n);
        currents.resize(n);
        plot->graph(0)->setData(times, currents, true);
    }
    qCDebug(dk61Laser) << "laser history" << runtime << lastIndex << times.size();
    plot->replot();
}

void LaserPages::plotZeroHourByte(int value) {
    QCustomPlot* plot = p.plot;
    const quint8 byte = static_cast<quint8>(value & 0xFF);
    plot->graph(1)->setVisible(byte != ZeroHourByte::NotSet);
    if (byte != ZeroHourByte::NotSet) {
        const double mA = LaserHistory::zeroByteMilliampere(byte);
        const QCPRange range = plot->xAxis->range();
        plot->graph(1)->setData({range.lower, range.upper}, {mA, mA}, true);
    }
    plot->replot();
}
