#ifndef FLAGPLOT_H
#define FLAGPLOT_H

#include "flags/flagplotwindow.h"
#include "flags/flagscale.h"

#include <QList>
#include <QObject>

#include <array>

class CFlags;
class FlagScaleBar;
class PlotRedraw;
class QCheckBox;
class QCPGraph;
class QCustomPlot;
class QSettings;
class QSlider;

// The flag page's live plot: the five flag rates over a sliding window of the newest records, in
// percent or per second (FlagScaleBar). The width slider sets the window in seconds, the height
// slider the top of the rate axis unless it follows the data (then the newest points stay clear
// of the legend); where a curve rises above the top, triangles under the edge mark its points
// there, a row for each curve. Each curve is drawn while its check box is checked
// (a change shows with the next record). Each record appends one point to the curves and drops the
// oldest; the plot is redrawn paced.
class FlagPlot : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QCustomPlot* plot = nullptr;
        QSlider* width = nullptr;
        QSlider* height = nullptr;
        std::array<QCheckBox*, 5> curves{};
        QSettings* store = nullptr; // remembers the unit and the automatic scale
    };

    // Gives the plot its five named curves, its axes and their ranges.
    FlagPlot(const Widgets& widgets, QObject* parent = nullptr);

    // The board appended a record to `records` (at the flag board's interval `setting`): the
    // oldest record goes once the list no longer fits the window, and the curves show the newest
    // records, unless `paused` (then they keep what they show until the next call unpaused).
    void plot(QList<CFlags*>& records, int setting, bool paused);
    // Empties `records` (newest first) and starts the time axis again at 0, over the width the
    // slider sets.
    void restart(QList<CFlags*>& records);
    // The rate axis from 0 to the height slider's value (unless it follows the data).
    void rescaleRates();
    const FlagScale& scale() const { return shownScale; }

    // Records dropped from the front of the list since it was last emptied: the first record of
    // the list is drawn at scrollCount() intervals.
    int scrollCount() const { return scroll; }
    // Forget what the curves hold: the next record rebuilds them.
    void invalidate() { shown.invalidate(); }
    bool redrawPending() const;
    // Graphs 5 to 9 of a plot whose graphs 0 to 4 are the curves: the marks of points above the
    // top of the axis, triangles in the curve's colour in a row of its own under the edge, not
    // in the legend (which moves below the rows). The first curve is drawn over the others.
    static void addEdgeMarks(QCustomPlot* plot);
    // The top of an automatic rate axis for the visible curves of such a plot: above the largest
    // value, and the newest values clear of the legend.
    static double automaticTop(QCustomPlot* plot, const FlagScale& scale);

signals:
    // The unit or the top of the rate axis changed: the curves are drawn again from the records.
    void scaleChanged(const FlagScale& scale);

private:
    void draw(const QList<CFlags*>& records, double interval, double window);
    void takeScale();
    void followData();
    QCPGraph* marks(int k) const;

    Widgets w;
    int scroll = 0;
    FlagPlotWindow shown;
    PlotRedraw* redraw = nullptr;
    FlagScaleBar* scaleBar = nullptr;
    FlagScale shownScale;
    std::array<FlagScale::EdgeTrack, 5> tracks;
};

#endif // FLAGPLOT_H
