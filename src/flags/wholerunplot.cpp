#include "wholerunplot.h"

#include "runstore.h"

#include <qcustomplot.h>

#include <algorithm>

WholeRunPlot::WholeRunPlot(QCustomPlot* plot, QCustomPlot* livePlot, QObject* parent)
    : QObject(parent), target(plot) {
    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = plot->addGraph();
        graph->setName(livePlot->graph(k)->name());
        graph->setPen(livePlot->graph(k)->pen());
        graph->setAntialiased(false);
    }
    plot->setNotAntialiasedElements(QCP::aeAll);
    QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
    ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    plot->xAxis->setTicker(ticker);
    plot->xAxis->setLabel(QStringLiteral("Elapsed time (h:m:s)"));
    plot->yAxis->setLabel(livePlot->yAxis->label());
    plot->yAxis->setRange(livePlot->yAxis->range());
    plot->legend->setVisible(true);
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot->axisRect()->setRangeDrag(Qt::Horizontal);
    plot->axisRect()->setRangeZoom(Qt::Horizontal);
    connect(plot->xAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), this,
            &WholeRunPlot::viewMoved);
    connect(plot, &QCustomPlot::mouseDoubleClick, this, [this] {
        fit();
        target->replot();
    });
    followTimer.setSingleShot(true);
    connect(&followTimer, &QTimer::timeout, this, &WholeRunPlot::follow);
}

double WholeRunPlot::endSeconds() const {
    return store && !store->isEmpty() ? store->lastMs() / 1000.0 : 0.0;
}

void WholeRunPlot::showRun(const RunStore* run) {
    store = run;
    grew = false;
    fit();
}

void WholeRunPlot::fit() {
    // A range of at least a minute, so that a short run is not stretched over the whole width.
    const double end = std::max(endSeconds(), 60.0);
    if (target->xAxis->range() == QCPRange(0.0, end))
        redraw(false);
    else
        target->xAxis->setRange(0.0, end);
}

void WholeRunPlot::setTopRate(double percent) {
    target->yAxis->setRange(0.0, percent);
    if (target->isVisible())
        target->replot(QCustomPlot::rpQueuedReplot);
}

void WholeRunPlot::runGrew() {
    grew = true;
    if (target->isVisible() && !followTimer.isActive())
        followTimer.start(FollowIntervalMs);
}

void WholeRunPlot::follow() {
    if (!grew || !store)
        return;
    grew = false;
    const QCPRange view = target->xAxis->range();
    // The view follows the run's end while it shows it (within one follow step at 30 ms).
    const double end = endSeconds();
    if (view.lower <= 0.0 && view.upper >= end - FollowIntervalMs / 1000.0 - 0.5)
        fit();
    else
        redraw(false);
    target->replot(QCustomPlot::rpQueuedReplot);
    if (grew && !followTimer.isActive())
        followTimer.start(FollowIntervalMs);
}

void WholeRunPlot::viewMoved() {
    redraw(false);
}

void WholeRunPlot::redraw(bool replot) {
    if (drawing)
        return;
    drawing = true;
    const QCPRange view = target->xAxis->range();
    const int columns = std::max(100, target->axisRect()->width());
    RunStore::Envelope envelope;
    if (store)
        envelope = store->envelope(view.lower * 1000.0, view.upper * 1000.0, columns);
    isDecimated = envelope.decimated;
    for (int k = 0; k < 5; ++k)
        target->graph(k)->setData(envelope.keys, envelope.values[k], true);
    drawing = false;
    if (replot)
        target->replot();
}
