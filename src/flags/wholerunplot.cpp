#include "wholerunplot.h"

#include "flagplot.h"
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
    FlagPlot::addEdgeMarks(plot);
    plot->setNotAntialiasedElements(QCP::aeAll);
    QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
    ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    plot->xAxis->setTicker(ticker);
    plot->xAxis->setLabel(QStringLiteral("Elapsed time (h:m:s)"));
    plot->yAxis->setLabel(livePlot->yAxis->label());
    plot->yAxis->setRange(livePlot->yAxis->range());
    plot->legend->setVisible(true);
    plot->setAccessibleName(QStringLiteral("Flag rates of the whole run"));
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
    connect(plot, &QCustomPlot::beforeReplot, this, &WholeRunPlot::followData);
}

QCPGraph* WholeRunPlot::marks(int k) const {
    return target->graph(5 + k);
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

void WholeRunPlot::setScale(const FlagScale& chosen) {
    scale = chosen;
    target->yAxis->setLabel(chosen.axisLabel());
    if (!chosen.automatic)
        target->yAxis->setRange(0.0, chosen.fixedTop());
    redraw(false);
    if (target->isVisible())
        target->replot(QCustomPlot::rpQueuedReplot);
}

void WholeRunPlot::followData() {
    for (int k = 0; k < 5; ++k)
        marks(k)->setVisible(target->graph(k)->visible());
    if (scale && scale->automatic)
        target->yAxis->setRange(0.0, FlagPlot::automaticTop(target, *scale));
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
    // Marks along a stretch above the top: about one for every sixtieth of the view.
    const double markSpacing = view.size() / 60.0;
    // Without a scale of the live plot's (a plot for a report): percent, no marks.
    const double unitPerPercent = scale ? scale->fromPercent(1.0) : 1.0;
    const double edgeTop = scale ? scale->edgeTop() : qInf();
    for (int k = 0; k < 5; ++k) {
        QVector<double>& values = envelope.values[size_t(k)];
        QVector<double> markKeys, markValues;
        FlagScale::EdgeTrack track(edgeTop, markSpacing);
        for (int i = 0; i < values.size(); ++i) {
            values[i] *= unitPerPercent;
            if (track.marks(envelope.keys[i], values[i])) {
                markKeys.append(envelope.keys[i]);
                markValues.append(track.edge());
            }
        }
        target->graph(k)->setData(envelope.keys, values, true);
        marks(k)->setData(markKeys, markValues, true);
    }
    drawing = false;
    if (replot)
        target->replot();
}
