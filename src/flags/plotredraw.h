#ifndef PLOTREDRAW_H
#define PLOTREDRAW_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QCustomPlot;

// Redraws a plot after its data changed: at most once every MinIntervalMs, and only while the
// plot is shown (a plot on a hidden page is redrawn when it is shown again). A redraw of the flag
// plot at its full window takes a millisecond or more, while records may arrive much faster when
// the link is busy; every redraw draws the data as it is at that moment.
class PlotRedraw : public QObject {
    Q_OBJECT

public:
    static constexpr int MinIntervalMs = 30;

    explicit PlotRedraw(QCustomPlot* plot, QObject* parent = nullptr);

    // The plot's data or ranges changed.
    void request();
    // A change has not been drawn yet.
    bool isPending() const { return pending; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void redraw();

    QCustomPlot* plot;
    QTimer timer;
    QElapsedTimer sinceRedraw;
    bool pending = false;
};

#endif // PLOTREDRAW_H
