#include "console/slineedit.h"

#include <QKeyEvent>

void SLineEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        emit pressedUp();
        return;
    }
    if (event->key() == Qt::Key_Down) {
        emit pressedDown();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
