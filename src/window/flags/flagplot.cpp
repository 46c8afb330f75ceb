#include "flags/flagplot.h"

#include "flags/cflags.h"
#include "flags/flagscalebar.h"
#include "flags/plotredraw.h"

#include <QCheckBox>
#include <QSlider>
#include <QVector>

#include <qcustomplot.h>

#include <algorithm>

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

// Each curve's marks are a row of triangles under the top edge, the first curve's (C1) the
// topmost: the marks of several curves at one place are all seen, whole.
constexpr int MarkSize = 6;  // pixels
constexpr int MarkPitch = 7; // from row to row
constexpr int MarkRows = 5;

QPainterPath markShape(int row) {
    const double top = 1 + row * MarkPitch;
    QPainterPath path;
    path.moveTo(0, top);
    path.lineTo(MarkSize / 2.0, top + MarkSize);
    path.lineTo(-MarkSize / 2.0, top + MarkSize);
    path.closeSubpath();
    return path;
}

// The value drawn for a count (taken as a signed 16-bit number) worth `perCount` each.
double valueOf(quint16 count, double perCount) {
    return static_cast<qint16>(count) * perCount;
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
    addEdgeMarks(plot);
    // Dense curves redraw much faster without anti-aliasing.
    plot->setNotAntialiasedElements(QCP::aeAll);
    plot->xAxis->setLabel("Time in seconds");
    plot->xAxis->setRange(0, w.width->value());
    plot->legend->setVisible(true);
    plot->setAccessibleName(QStringLiteral("Flag rates"));
    // The height slider sits under the page's "Scale"; the width slider's label tells its value.
    w.height->setAccessibleName(QStringLiteral("Scale"));
    w.width->setAccessibleName(QStringLiteral("Window"));
    scaleBar = new FlagScaleBar(w.width, w.store, this);
    shownScale = {scaleBar->unit(), scaleBar->automatic(), w.height->value(), scaleBar->discTime()};
    plot->yAxis->setLabel(shownScale.axisLabel());
    plot->yAxis->setRange(0, shownScale.fixedTop());
    plot->replot();
    redraw = new PlotRedraw(plot, this);
    connect(scaleBar, &FlagScaleBar::changed, this, &FlagPlot::takeScale);
    connect(plot, &QCustomPlot::beforeReplot, this, &FlagPlot::followData);
}

void FlagPlot::addEdgeMarks(QCustomPlot* plot) {
    for (int k = 0; k < 5; ++k) {
        QCPGraph* edge = plot->addGraph();
        edge->setName(plot->graph(k)->name() + QStringLiteral(" above the scale"));
        edge->removeFromLegend();
        edge->setLineStyle(QCPGraph::lsNone);
        const QColor colour = plot->graph(k)->pen().color();
        edge->setScatterStyle(QCPScatterStyle(markShape(k), colour, colour, MarkSize));
        edge->setAntialiased(false);
    }
    // The first curve (C1, the block error rate) is drawn over the others, the marks over all.
    const QString first = QStringLiteral("firstCurve");
    const QString marks = QStringLiteral("edgeMarks");
    if (!plot->layer(first)) {
        plot->addLayer(first, plot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
        plot->addLayer(marks, plot->layer(first), QCustomPlot::limAbove);
    }
    plot->graph(0)->setLayer(first);
    for (int k = 5; k < 10; ++k)
        plot->graph(k)->setLayer(marks);
    // The legend (at the top right) stays below the rows of marks.
    QMargins margins = plot->axisRect()->insetLayout()->margins();
    margins.setTop(1 + MarkRows * MarkPitch + 4);
    plot->axisRect()->insetLayout()->setMargins(margins);
}

double FlagPlot::automaticTop(QCustomPlot* plot, const FlagScale& scale) {
    // The newest values, from the legend's left edge on, stay below its bottom.
    const QRect area = plot->axisRect()->rect();
    const QRect legend = plot->legend->visible() ? plot->legend->outerRect() : QRect();
    const double covered = legend.isEmpty() || area.height() <= 0
                               ? 0.0
                               : double(legend.bottom() + MarkPitch - area.top()) / area.height();
    const double coveredFrom = plot->xAxis->pixelToCoord(legend.left() - MarkSize);
    double largest = 0.0;
    double largestCovered = 0.0;
    for (int k = 0; k < 5; ++k) {
        const QCPGraph* graph = plot->graph(k);
        if (!graph->visible())
            continue;
        for (const QCPGraphData& point : *graph->data()) {
            if (point.value > largest) // NaN (a gap) is never larger
                largest = point.value;
            if (point.key >= coveredFrom && point.value > largestCovered)
                largestCovered = point.value;
        }
    }
    return scale.automaticTop(largest, largestCovered, covered);
}

QCPGraph* FlagPlot::marks(int k) const {
    return w.plot->graph(5 + k);
}

void FlagPlot::takeScale() {
    const FlagScale chosen{scaleBar->unit(), scaleBar->automatic(), w.height->value(),
                           scaleBar->discTime()};
    if (chosen == shownScale)
        return;
    shownScale = chosen;
    w.plot->yAxis->setLabel(shownScale.axisLabel());
    if (!shownScale.automatic)
        w.plot->yAxis->setRange(0, shownScale.fixedTop());
    shown.invalidate();
    redraw->request();
    emit scaleChanged(shownScale);
}

void FlagPlot::followData() {
    if (shownScale.automatic)
        w.plot->yAxis->setRange(0, automaticTop(w.plot, shownScale));
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
    const double perCount = shownScale.perCount(interval);
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

    // Marks along a stretch above the top: about one for every sixtieth of the window.
    const double markSpacing = w.width->value() / 60.0;
    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = w.plot->graph(k);
        QCPGraph* edge = marks(k);
        graph->setVisible(w.curves[size_t(k)]->isChecked());
        edge->setVisible(graph->visible());
        FlagScale::EdgeTrack& track = tracks[size_t(k)];
        if (update.rebuild) {
            track = FlagScale::EdgeTrack(shownScale.edgeTop(), markSpacing);
            const int n = static_cast<int>(endNumber - firstNumber);
            QVector<double> keys(n), values(n), markKeys, markValues;
            for (int j = 0; j < n; ++j) {
                keys[j] = FlagPlotWindow::timeOf(firstNumber + j, interval);
                values[j] = valueOf(countOf(records.at(static_cast<int>(step.firstTaken) + j), k),
                                    perCount);
                if (track.marks(keys[j], values[j])) {
                    markKeys.append(keys[j]);
                    markValues.append(track.edge());
                }
            }
            graph->setData(keys, values, true);
            edge->setData(markKeys, markValues, true);
        } else {
            QSharedPointer<QCPGraphDataContainer> data = graph->data();
            QSharedPointer<QCPGraphDataContainer> edgeData = edge->data();
            const double first = FlagPlotWindow::timeOf(firstNumber, interval);
            data->removeBefore(first);
            edgeData->removeBefore(first);
            for (qint64 number = update.appendFrom; number < endNumber; ++number) {
                const CFlags* record = records.at(static_cast<int>(number - scroll));
                const double key = FlagPlotWindow::timeOf(number, interval);
                const double value = valueOf(countOf(record, k), perCount);
                data->add(QCPGraphData(key, value));
                if (track.marks(key, value))
                    edgeData->add(QCPGraphData(key, track.edge()));
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
    takeScale();
}
