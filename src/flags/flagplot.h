#ifndef FLAGPLOT_H
#define FLAGPLOT_H

#include "flagplotwindow.h"

#include <QList>
#include <QObject>

#include <array>

class CFlags;
class PlotRedraw;
class QCheckBox;
class QCustomPlot;
class QSlider;

// The flag page's live plot: the five flag rates in percent over a sliding window of the newest
// records. The width slider sets the window in seconds, the height slider the top of the rate
// axis; each curve is drawn while its check box is checked (a change shows with the next record).
// Each record appends one point to the curves and drops the oldest; the plot is redrawn paced.
class FlagPlot : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        QCustomPlot* plot = nullptr;
        QSlider* width = nullptr;
        QSlider* height = nullptr;
        std::array<QCheckBox*, 5> curves{};
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
    // The rate axis from 0 to the height slider's value.
    void rescaleRates();

    // Records dropped from the front of the list since it was last emptied: the first record of
    // the list is drawn at scrollCount() intervals.
    int scrollCount() const { return scroll; }
    // Forget what the curves hold: the next record rebuilds them.
    void invalidate() { shown.invalidate(); }
    bool redrawPending() const;

private:
    void draw(const QList<CFlags*>& records, double interval, double window);

    Widgets w;
    int scroll = 0;
    FlagPlotWindow shown;
    PlotRedraw* redraw = nullptr;
};

#endif // FLAGPLOT_H
