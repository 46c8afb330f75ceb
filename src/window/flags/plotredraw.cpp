#include "flags/plotredraw.h"

#include <QEvent>

#include <qcustomplot.h>

PlotRedraw::PlotRedraw(QCustomPlot* plot, QObject* parent) : QObject(parent), plot(plot) {
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &PlotRedraw::redraw);
    if (QCPLayer* overlay = plot->layer(QStringLiteral("overlay")))
        overlay->setMode(QCPLayer::lmLogical);
    plot->installEventFilter(this);
    if (plot->window() != plot)
        plot->window()->installEventFilter(this);
}

bool PlotRedraw::canBeSeen() const {
    return plot->isVisible() && !plot->window()->isMinimized();
}

void PlotRedraw::request() {
    pending = true;
    if (!canBeSeen() || timer.isActive())
        return;
    const qint64 since = sinceRedraw.isValid() ? sinceRedraw.elapsed() : MinIntervalMs;
    timer.start(static_cast<int>(qMax<qint64>(0, MinIntervalMs - since)));
}

void PlotRedraw::redraw() {
    if (!pending || !canBeSeen())
        return;
    pending = false;
    // The plot refreshes all of itself after drawing; held back here, so that only the part
    // that changed is painted again (the flag is Qt's own test in QWidget::update()).
    const bool held = plot->testAttribute(Qt::WA_UpdatesDisabled);
    plot->setAttribute(Qt::WA_UpdatesDisabled, true);
    plot->replot(QCustomPlot::rpQueuedRefresh);
    plot->setAttribute(Qt::WA_UpdatesDisabled, held);
    plot->update(plot->axisRect()->outerRect());
    sinceRedraw.start();
}

bool PlotRedraw::eventFilter(QObject* watched, QEvent* event) {
    const bool shows = (watched == plot && event->type() == QEvent::Show) ||
                       (watched == plot->window() && event->type() == QEvent::WindowStateChange);
    if (shows && pending && !timer.isActive())
        timer.start(0);
    return QObject::eventFilter(watched, event);
}
