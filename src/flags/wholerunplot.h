#ifndef WHOLERUNPLOT_H
#define WHOLERUNPLOT_H

#include "flagscale.h"

#include <QObject>
#include <QTimer>

#include <optional>

class QCPGraph;
class QCustomPlot;
class RunStore;

// The flag page's second plot: a whole run on an elapsed-time axis, zoomed and panned with the
// mouse (wheel and drag, along the time axis; a double click shows the whole run again). The
// curves are the store's envelope for the pixel columns in view, worked out again whenever the
// view moves, so a day of records draws as fast as a minute. While the view reaches the run's
// end it follows the run as it grows, redrawn at most once a second. The rates are in the live
// plot's unit and scale; points above the top are marked on its edge.
class WholeRunPlot : public QObject {
    Q_OBJECT

public:
    static constexpr int FollowIntervalMs = 1000;

    // Takes the names and pens of the live plot's five curves and their edge marks.
    WholeRunPlot(QCustomPlot* plot, QCustomPlot* livePlot, QObject* parent = nullptr);

    // The run to draw (null: none); the view shows all of it.
    void showRun(const RunStore* store);
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

private:
    void viewMoved();
    void follow();
    void followData();
    double endSeconds() const;
    QCPGraph* marks(int k) const;

    QCustomPlot* target;
    const RunStore* store = nullptr;
    std::optional<FlagScale> scale;
    QTimer followTimer;
    bool grew = false;
    bool isDecimated = false;
    bool drawing = false;
};

#endif // WHOLERUNPLOT_H
