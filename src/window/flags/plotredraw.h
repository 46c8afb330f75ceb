#ifndef PLOTREDRAW_H
#define PLOTREDRAW_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QCustomPlot;

// Redraws a plot after its data changed: at most once every MinIntervalMs, and only while the
// plot can be seen (a plot on a hidden page or in a minimised window is redrawn when it shows
// again). Records may arrive every 30 ms; every redraw draws the data as it is at that moment.
//
// A redraw refreshes only the axis rectangle with its axes, labels and legend: the plot's other
// layout rows (the run summary's band) do not change with the data, and the widgets stacked over
// them are not painted again. The plot draws into one buffer (the selection layer, which these
// plots do not use, would be a second one to clear and blend at every redraw).
class PlotRedraw : public QObject {
    Q_OBJECT

public:
    // Four redraws a second: at the 1 s interval every record is drawn as it comes, at the 0.17 s
    // interval a redraw shows the one or two records since the last, at the 30 ms interval the
    // eight since the last; at the 30 s window the curves then move by about 6 pixels a step (at
    // the 1 s interval by 25 pixels a record). A redraw costs about 1.8 ms of a core.
    static constexpr int MinIntervalMs = 250;

    explicit PlotRedraw(QCustomPlot* plot, QObject* parent = nullptr);

    // The plot's data or ranges changed.
    void request();
    // A change has not been drawn yet.
    bool isPending() const { return pending; }
    // A redraw is due when its time comes.
    bool isScheduled() const { return timer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool canBeSeen() const;
    void redraw();

    QCustomPlot* plot;
    QTimer timer;
    QElapsedTimer sinceRedraw;
    bool pending = false;
};

#endif // PLOTREDRAW_H
