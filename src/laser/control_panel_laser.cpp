// The main window's laser plots.
#include "cd_board.h"
#include "control_panel.h"
#include "laserhistory.h"
#include "laserlist.h"
#include "logging.h"
#include "ui_control_panel.h"

// Graph 0 of the laser plot: the history from the oldest to the newest sample over play time.
void Control_Panel::plotLaserHistory(int runtime, int last_index, const quint8* values,
                                     const quint8* /*values_t*/) {
    QVector<double> times;
    QVector<double> currents;
    LaserHistory::build(static_cast<quint64>(qMax(runtime, 0)),
                        static_cast<quint8>(last_index & 0xFF), values,
                        board->state.link.fw_version, &times, &currents);
    QCustomPlot* plot = ui->customPlotLaser;
    if (times.isEmpty() || currents.isEmpty()) {
        plot->graph(0)->setVisible(false);
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
