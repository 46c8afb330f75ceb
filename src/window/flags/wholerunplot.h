#ifndef WHOLERUNPLOT_H
#define WHOLERUNPLOT_H

#include "flags/flagscale.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class QCPGraph;
class QCPRange;
class QCustomPlot;
class RunSeries;
class RunStore;

// The flag page's second plot: a whole run on an elapsed-time axis, zoomed and panned with the
// mouse (wheel and drag, along the time axis; a double click shows the whole run again). The
// curves are the store's envelope for the pixel columns in view, worked out again whenever the
// view moves, so a day of records draws as fast as a minute. While the view reaches the run's
// end it follows the run as it grows, redrawn at most once a second. The rates are in the live
// plot's unit and scale; points above the top are marked on its edge.
//
// Where the board reported the time on the disc and the scale asks for it, the run is drawn by
// the second along the disc time (mm:ss), with the tracks marked on the top axis. A reference
// run's C1 curve may be drawn in grey behind the run, along the same time.
class WholeRunPlot : public QObject {
    Q_OBJECT

public:
    static constexpr int FollowIntervalMs = 1000;

    // Takes the names and pens of the live plot's five curves and their edge marks.
    WholeRunPlot(QCustomPlot* plot, QCustomPlot* livePlot, QObject* parent = nullptr);

    // The run to draw (null: none) with its seconds and disc positions (null: none); the view
    // shows all of it.
    void showRun(const RunStore* store, const RunSeries* series = nullptr);
    // The run drawn behind in grey (null: none), named in the legend.
    void setReference(const RunSeries* reference, const QString& name);
    // Records were added to the run drawn.
    void runGrew();
    // The whole run in view.
    void fit();
    void setScale(const FlagScale& scale);
    // Draws the curves for the view now (and redraws the plot when `replot`).
    void redraw(bool replot = true);

    QCustomPlot* plot() const { return target; }
    // Whether the curves are decimated (min/max per column) or every record is a point.
    bool decimated() const { return isDecimated; }
    // Whether the time axis is the disc time (the scale asks for it and the run has it).
    bool alongDisc() const;

private:
    void viewMoved();
    void follow();
    void followData();
    void setTimeAxis();
    // The range the whole run covers on the time axis, in seconds.
    QCPRange span() const;
    void drawAlongDisc(double markSpacing, double unitPerPercent, double edgeTop);
    void drawReference(double unitPerPercent);
    QCPGraph* marks(int k) const;

    QCustomPlot* target;
    const RunStore* store = nullptr;
    const RunSeries* series = nullptr;
    const RunSeries* reference = nullptr;
    QCPGraph* referenceGraph = nullptr;
    std::optional<FlagScale> scale;
    QTimer followTimer;
    bool grew = false;
    bool isDecimated = false;
    bool drawing = false;
    bool discAxisShown = false;
};

#endif // WHOLERUNPLOT_H
