#include "common/windowfit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

QSize WindowFit::within(const QSize& wanted, const QSize& frame, const QRect& available) {
    return {std::max(0, std::min(wanted.width(), available.width() - frame.width())),
            std::max(0, std::min(wanted.height(), available.height() - frame.height()))};
}

QPoint WindowFit::inside(const QRect& frame, const QRect& available) {
    const int x =
        std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int y =
        std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    return {x, y};
}

void WindowFit::resize(QWidget* window, const QSize& wanted) {
    const QScreen* screen = window->screen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    const QRect available = screen->availableGeometry();
    window->resize(within(wanted, window->frameGeometry().size() - window->size(), available));
    const QPoint corner = inside(window->frameGeometry(), available);
    if (corner != window->frameGeometry().topLeft())
        window->move(corner);
}
