#include "flags/wholerunplot.h"

#include "flags/flagplot.h"
#include "flags/runseries.h"
#include "flags/runstore.h"

#include <qcustomplot.h>

#include <algorithm>
#include <limits>

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// A later second more than this after the one before on the disc is drawn apart from it.
constexpr int DiscJumpSeconds = 2;

} // namespace

WholeRunPlot::WholeRunPlot(QCustomPlot* plot, QCustomPlot* livePlot, QObject* parent)
    : QObject(parent), target(plot) {
    // The reference lies behind the run's curves.
    plot->addLayer(QStringLiteral("reference"), plot->layer(QStringLiteral("main")),
                   QCustomPlot::limBelow);
    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = plot->addGraph();
        graph->setName(livePlot->graph(k)->name());
        graph->setPen(livePlot->graph(k)->pen());
        graph->setAntialiased(false);
    }
    FlagPlot::addEdgeMarks(plot);
    referenceGraph = plot->addGraph();
    referenceGraph->setLayer(QStringLiteral("reference"));
    referenceGraph->setPen(QPen(QColor(160, 160, 160), 2));
    referenceGraph->setAntialiased(false);
    referenceGraph->removeFromLegend();
    referenceGraph->setVisible(false);
    plot->setNotAntialiasedElements(QCP::aeAll);
    setTimeAxis();
    plot->yAxis->setLabel(livePlot->yAxis->label());
    plot->yAxis->setRange(livePlot->yAxis->range());
    plot->legend->setVisible(true);
    plot->setAccessibleName(QStringLiteral("Flag rates of the whole run"));
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot->axisRect()->setRangeDrag(Qt::Horizontal);
    plot->axisRect()->setRangeZoom(Qt::Horizontal);
    connect(plot->xAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), this,
            &WholeRunPlot::viewMoved);
    // The tracks along the top follow the disc time along the bottom.
    connect(plot->xAxis, QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged), plot->xAxis2,
            QOverload<const QCPRange&>::of(&QCPAxis::setRange));
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

bool WholeRunPlot::alongDisc() const {
    return scale && scale->discTime && series && series->hasPositions();
}

void WholeRunPlot::setTimeAxis() {
    const bool disc = alongDisc();
    QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
    // Minutes beyond the hour on the disc: "74:00".
    ticker->setTimeFormat(disc ? QStringLiteral("%m:%s") : QStringLiteral("%h:%m:%s"));
    target->xAxis->setTicker(ticker);
    target->xAxis->setLabel(disc ? QStringLiteral("Disc time (min:s)")
                                 : QStringLiteral("Elapsed time (h:m:s)"));
    // The tracks along the top while the disc time runs along the bottom.
    QSharedPointer<QCPAxisTickerText> tracks(new QCPAxisTickerText);
    if (disc) {
        int track = 0;
        for (int i = 0; i < series->size(); ++i) {
            const RunSeries::Position& at = series->at(i).position;
            if (at.track > 0 && at.track != track && at.discSecond >= 0)
                tracks->addTick(at.discSecond, QString::number(at.track));
            if (at.track > 0)
                track = at.track;
        }
    }
    target->xAxis2->setTicker(tracks);
    target->xAxis2->setLabel(disc ? QStringLiteral("Track") : QString());
    target->xAxis2->setVisible(disc);
    target->xAxis2->setTickLabels(disc);
    discAxisShown = disc;
}

QCPRange WholeRunPlot::span() const {
    if (alongDisc()) {
        double first = qInf(), last = -qInf();
        for (int i = 0; i < series->size(); ++i) {
            const int at = series->at(i).position.discSecond;
            if (at >= 0) {
                first = std::min(first, double(at));
                last = std::max(last, double(at + 1));
            }
        }
        return QCPRange(first, std::max(last, first + 60.0));
    }
    const double end = store && !store->isEmpty() ? store->lastMs() / 1000.0 : 0.0;
    // A range of at least a minute, so that a short run is not stretched over the whole width.
    return QCPRange(0.0, std::max(end, 60.0));
}

void WholeRunPlot::showRun(const RunStore* run, const RunSeries* seconds) {
    store = run;
    series = seconds;
    grew = false;
    setTimeAxis();
    fit();
}

void WholeRunPlot::setReference(const RunSeries* run, const QString& name) {
    reference = run;
    referenceGraph->setName(name);
    if (run && !referenceGraph->visible()) {
        referenceGraph->addToLegend();
        referenceGraph->setVisible(true);
    } else if (!run && referenceGraph->visible()) {
        referenceGraph->removeFromLegend();
        referenceGraph->setVisible(false);
    }
    redraw(false);
    if (target->isVisible())
        target->replot(QCustomPlot::rpQueuedReplot);
}

void WholeRunPlot::fit() {
    // The run may have begun to tell the disc time, or told of another track.
    if (alongDisc() || discAxisShown)
        setTimeAxis();
    const QCPRange whole = span();
    if (target->xAxis->range() == whole)
        redraw(false);
    else
        target->xAxis->setRange(whole);
}

void WholeRunPlot::setScale(const FlagScale& chosen) {
    const bool axisBefore = alongDisc();
    scale = chosen;
    target->yAxis->setLabel(chosen.axisLabel());
    if (!chosen.automatic)
        target->yAxis->setRange(0.0, chosen.fixedTop());
    if (alongDisc() != axisBefore || alongDisc() != discAxisShown) {
        setTimeAxis();
        fit();
    }
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
    if (alongDisc() || discAxisShown)
        setTimeAxis();
    const QCPRange view = target->xAxis->range();
    const QCPRange whole = span();
    // The view follows the run's end while it shows it (within one follow step at 30 ms).
    if (view.lower <= whole.lower && view.upper >= whole.upper - FollowIntervalMs / 1000.0 - 1.5)
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
    // Marks along a stretch above the top: about one for every sixtieth of the view.
    const double markSpacing = view.size() / 60.0;
    // Without a scale of the live plot's (a plot for a report): percent, no marks.
    const double unitPerPercent = scale ? scale->fromPercent(1.0) : 1.0;
    const double edgeTop = scale ? scale->edgeTop() : qInf();
    drawReference(unitPerPercent);
    if (alongDisc()) {
        drawAlongDisc(markSpacing, unitPerPercent, edgeTop);
        drawing = false;
        if (replot)
            target->replot();
        return;
    }
    const int columns = std::max(100, target->axisRect()->width());
    RunStore::Envelope envelope;
    if (store)
        envelope = store->envelope(view.lower * 1000.0, view.upper * 1000.0, columns);
    isDecimated = envelope.decimated;
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

// One point a second at its disc time; the curves break where the disc time jumps (a pause, a
// skip, a second play) and where none was reported.
void WholeRunPlot::drawAlongDisc(double markSpacing, double unitPerPercent, double edgeTop) {
    isDecimated = false;
    QVector<double> keys;
    std::array<QVector<double>, 5> values;
    int previous = -1;
    for (int i = 0; i < series->size(); ++i) {
        const RunSeries::Second& s = series->at(i);
        const int at = s.position.discSecond;
        if (at < 0 || (previous >= 0 && (at < previous || at - previous > DiscJumpSeconds))) {
            if (previous >= 0) {
                keys.append(previous + 0.5);
                for (QVector<double>& v : values)
                    v.append(NaN);
            }
            previous = -1;
            if (at < 0)
                continue;
        }
        keys.append(at);
        for (int k = 0; k < 5; ++k)
            values[size_t(k)].append(RunSeries::percent(s, k) * unitPerPercent);
        previous = at;
    }
    for (int k = 0; k < 5; ++k) {
        QVector<double> markKeys, markValues;
        FlagScale::EdgeTrack track(edgeTop, markSpacing);
        for (int i = 0; i < keys.size(); ++i) {
            if (track.marks(keys[i], values[size_t(k)][i])) {
                markKeys.append(keys[i]);
                markValues.append(track.edge());
            }
        }
        target->graph(k)->setData(keys, values[size_t(k)], false);
        marks(k)->setData(markKeys, markValues, false);
    }
}

// The reference's C1 rate a second, along the same time as the run.
void WholeRunPlot::drawReference(double unitPerPercent) {
    QVector<double> keys, values;
    const bool disc = alongDisc();
    if (reference) {
        qint64 previousEnd = -1;
        for (int i = 0; i < reference->size(); ++i) {
            const RunSeries::Second& s = reference->at(i);
            const double key = disc ? s.position.discSecond : s.elapsedMs / 1000.0;
            if (disc && s.position.discSecond < 0)
                continue;
            if (!disc && previousEnd >= 0 && s.elapsedMs - previousEnd > RunSeries::GapMs) {
                keys.append(key - 0.5);
                values.append(NaN);
            }
            keys.append(key);
            values.append(RunSeries::percent(s, 0) * unitPerPercent);
            previousEnd = s.elapsedMs + s.ms;
        }
    }
    referenceGraph->setData(keys, values, !disc);
}
