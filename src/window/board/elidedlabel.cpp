#include "board/elidedlabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent, Narrowest narrowest)
    : QLabel(text, parent), narrowest(narrowest) {}

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    const QString shortest =
        narrowest == Narrowest::Ellipsis ? QStringLiteral("…") : text().trimmed();
    const int width = std::min(fontMetrics().horizontalAdvance(shortest),
                               fontMetrics().horizontalAdvance(text()));
    return {width + margins.left() + margins.right(), QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    const QRect area = contentsRect();
    const QFontMetrics metrics = fontMetrics();
    if (metrics.horizontalAdvance(text()) <= area.width()) {
        QLabel::paintEvent(event);
        return;
    }
    const QString shown = metrics.elidedText(text().trimmed(), Qt::ElideRight, area.width());
    QPainter painter(this);
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
