#include "flagplot.h"

#include "cflags.h"
#include "plotredraw.h"

#include <QCheckBox>
#include <QSlider>
#include <QVector>

#include <qcustomplot.h>

namespace {

// The count drawn by curve k.
quint16 countOf(const CFlags* record, int k) {
    switch (k) {
    case 0:
        return record->getC1Flags();
    case 1:
        return record->getC1Uncorrectable();
    case 2:
        return record->getC2Flags();
    case 3:
        return record->getC2Uncorrectable();
    default:
        return record->getInterpolationFlags();
    }
}

} // namespace

FlagPlot::FlagPlot(const Widgets& widgets, QObject* parent) : QObject(parent), w(widgets) {
    QCustomPlot* plot = w.plot;
    const char* names[] = {"C1Flags", "Uncorrectable C1 Flags", "C2 Flags",
                           "Uncorrectable C2 Flags", "Interpolation Flags"};
    const Qt::GlobalColor colours[] = {Qt::black, Qt::red, Qt::green, Qt::magenta, Qt::cyan};
    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = plot->addGraph();
        graph->setName(QString::fromLatin1(names[k]));
        if (k > 0)
            graph->setPen(QPen(colours[k]));
        graph->setAntialiased(false);
    }
    // Dense curves redraw much faster without anti-aliasing.
    plot->setNotAntialiasedElements(QCP::aeAll);
    plot->xAxis->setLabel("Time in seconds");
    plot->yAxis->setLabel("Flags in %");
    plot->xAxis->setRange(0, w.width->value());
    plot->yAxis->setRange(0, w.height->value());
    plot->legend->setVisible(true);
    plot->replot();
    redraw = new PlotRedraw(plot, this);
}

bool FlagPlot::redrawPending() const {
    return redraw->isPending();
}

void FlagPlot::plot(QList<CFlags*>& records, int setting, bool paused) {
    if (records.isEmpty())
        return;
    const double interval = FlagPlotWindow::intervalFor(setting);
    const double window = FlagPlotWindow::windowFor(w.width->value(), interval);
    if (FlagPlotWindow::dropsOldest(records.size(), window)) {
        ++scroll;
        delete records.takeFirst();
    }
    // Paused: the list keeps to its window, the curves keep what they show until the pause ends.
    if (paused) {
        shown.invalidate();
        return;
    }
    draw(records, interval, window);
    redraw->request();
}

void FlagPlot::draw(const QList<CFlags*>& records, double interval, double window) {
    const double scale = FlagPlotWindow::scaleFor(interval);
    const qint64 count = records.size();
    const FlagPlotWindow::Step step = FlagPlotWindow::plan(count, window);
    const qint64 firstNumber = scroll + step.firstTaken;
    const qint64 endNumber = scroll + count;

    const qint64 shownNewest = shown.shownNewestNumber() - scroll;
    const CFlags* atShownNewest = shownNewest >= 0 && shownNewest < count
                                      ? records.at(static_cast<int>(shownNewest))
                                      : nullptr;
    const FlagPlotWindow::Update update =
        shown.track(firstNumber, endNumber, interval, atShownNewest, records.last());

    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = w.plot->graph(k);
        graph->setVisible(w.curves[size_t(k)]->isChecked());
        if (update.rebuild) {
            const int n = static_cast<int>(endNumber - firstNumber);
            QVector<double> keys(n), values(n);
            for (int j = 0; j < n; ++j) {
                keys[j] = FlagPlotWindow::timeOf(firstNumber + j, interval);
                values[j] = FlagPlotWindow::percentOf(
                    countOf(records.at(static_cast<int>(step.firstTaken) + j), k), scale);
            }
            graph->setData(keys, values, true);
        } else {
            QSharedPointer<QCPGraphDataContainer> data = graph->data();
            data->removeBefore(FlagPlotWindow::timeOf(firstNumber, interval));
            for (qint64 number = update.appendFrom; number < endNumber; ++number) {
                const CFlags* record = records.at(static_cast<int>(number - scroll));
                data->add(QCPGraphData(FlagPlotWindow::timeOf(number, interval),
                                       FlagPlotWindow::percentOf(countOf(record, k), scale)));
            }
        }
    }
    if (step.setsRange)
        w.plot->xAxis->setRange(FlagPlotWindow::timeOf(firstNumber, interval),
                                FlagPlotWindow::timeOf(endNumber - 1, interval));
}

void FlagPlot::restart(QList<CFlags*>& records) {
    w.plot->xAxis->setRange(0, w.width->value());
    while (!records.isEmpty())
        delete records.takeLast();
    scroll = 0;
    shown.invalidate();
    redraw->request();
}

void FlagPlot::rescaleRates() {
    w.plot->yAxis->setRange(0, w.height->value());
    redraw->request();
}
