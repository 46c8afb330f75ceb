#ifndef WINDOWFIT_H
#define WINDOWFIT_H

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Keeps a top-level window within its screen's available area (the desktop less its panels).
class WindowFit {
public:
    // The size up to `wanted` whose frame (the size plus `frame`: title bar and borders) fits
    // `available`.
    static QSize within(const QSize& wanted, const QSize& frame, const QRect& available);
    // The top left of the frame `frame` moved back into `available` where it sticks out (to the
    // left and top edges where it is larger).
    static QPoint inside(const QRect& frame, const QRect& available);
    // Resizes `window` to `wanted`, or as much of it as its screen's available area holds, and
    // moves it back inside that area where the new size would stick out.
    static void resize(QWidget* window, const QSize& wanted);
};

#endif // WINDOWFIT_H
