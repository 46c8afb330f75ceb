#include "plotredraw.h"

#include <QEvent>

#include <qcustomplot.h>

PlotRedraw::PlotRedraw(QCustomPlot* plot, QObject* parent) : QObject(parent), plot(plot) {
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &PlotRedraw::redraw);
    plot->installEventFilter(this);
}

void PlotRedraw::request() {
    pending = true;
    if (!plot->isVisible() || timer.isActive())
        return;
    const qint64 since = sinceRedraw.isValid() ? sinceRedraw.elapsed() : MinIntervalMs;
    timer.start(static_cast<int>(qMax<qint64>(0, MinIntervalMs - since)));
}

void PlotRedraw::redraw() {
    if (!pending || !plot->isVisible())
        return;
    pending = false;
    plot->replot();
    sinceRedraw.start();
}

bool PlotRedraw::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plot && event->type() == QEvent::Show && pending && !timer.isActive())
        timer.start(0);
    return QObject::eventFilter(watched, event);
}
