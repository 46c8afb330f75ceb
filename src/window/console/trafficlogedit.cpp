#include "console/trafficlogedit.h"

#include <QEvent>

TrafficLogEdit::TrafficLogEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    // Lines of traffic are never wrapped: a long debug text scrolls sideways.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
}

void TrafficLogEdit::setBands(QWidget* topBand, QWidget* bottomBand) {
    top = topBand;
    bottom = bottomBand;
    for (QWidget* band : {top, bottom})
        if (band) {
            band->setParent(this);
            band->show();
        }
    placeBands();
}

void TrafficLogEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    placeBands();
}

// The text's area changes also when a scroll bar comes or goes.
bool TrafficLogEdit::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize)
        placeBands();
    return QPlainTextEdit::viewportEvent(event);
}

// Right above and below the text, as wide as it (the scroll bars stay clear).
void TrafficLogEdit::placeBands() {
    const QMargins margins(0, top ? top->sizeHint().height() : 0, 0,
                           bottom ? bottom->sizeHint().height() : 0);
    if (viewportMargins() != margins)
        setViewportMargins(margins);
    const QRect text = viewport()->geometry();
    if (top)
        top->setGeometry(text.x(), text.y() - margins.top(), text.width(), margins.top());
    if (bottom)
        bottom->setGeometry(text.x(), text.bottom() + 1, text.width(), margins.bottom());
}
