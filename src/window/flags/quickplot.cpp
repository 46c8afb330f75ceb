#include "flags/quickplot.h"

#include <QStaticText>

namespace {

// A pixmap buffer that clears to an opaque colour whatever colour the plot asks for. Never holding
// transparency, its pixmap keeps the screen's own format, so that drawing it is a copy.
class OpaqueBuffer : public QCPPaintBufferPixmap {
public:
    OpaqueBuffer(const QSize& size, double devicePixelRatio, const QColor& background)
        : QCPPaintBufferPixmap(size, devicePixelRatio), background(background) {}

    void clear(const QColor&) override { mBuffer.fill(background); }
    void setBackground(const QColor& colour) { background = colour; }

private:
    QColor background;
};

// A legend entry that lays its name out only when the name or its font changes; it draws what the
// stock entry draws, at the same place.
class LaidOutLegendItem : public QCPPlottableLegendItem {
public:
    LaidOutLegendItem(QCPLegend* legend, QCPAbstractPlottable* plottable)
        : QCPPlottableLegendItem(legend, plottable) {}

protected:
    QSize minimumOuterSizeHint() const override {
        if (!mPlottable)
            return {};
        const QSize text = textSize();
        const QSize icon = mParentLegend->iconSize();
        return {icon.width() + mParentLegend->iconTextPadding() + text.width() + mMargins.left() +
                    mMargins.right(),
                qMax(text.height(), icon.height()) + mMargins.top() + mMargins.bottom()};
    }

    void draw(QCPPainter* painter) override {
        // An export (PNG, PDF, a report) draws the stock way, at the device's own resolution.
        if (!mPlottable || painter->modes().testFlag(QCPPainter::pmNoCaching)) {
            QCPPlottableLegendItem::draw(painter);
            return;
        }
        // The stock entry draws the icon (the plottable's own drawing) and the name; here it draws
        // the icon beside an empty name and the name is drawn laid out.
        const QString name = mPlottable->name();
        textSize();
        mPlottable->setName(QString());
        QCPPlottableLegendItem::draw(painter);
        mPlottable->setName(name);
        painter->setFont(getFont());
        painter->setPen(QPen(getTextColor()));
        painter->drawStaticText(mRect.x() + mParentLegend->iconSize().width() +
                                    mParentLegend->iconTextPadding(),
                                mRect.y(), text);
    }

private:
    // The name's extent in the entry's font, as the stock entry measures it; the laid-out text
    // follows the name and the font.
    QSize textSize() const {
        const QFont font = getFont();
        if (!laidOut || mPlottable->name() != text.text() || font != textFont) {
            laidOut = true;
            textFont = font;
            text.setText(mPlottable->name());
            text.setTextFormat(Qt::PlainText);
            text.prepare(QTransform(), font);
            measured = QFontMetrics(font)
                           .boundingRect(0, 0, 0, mParentLegend->iconSize().height(),
                                         Qt::TextDontClip, mPlottable->name())
                           .size();
        }
        return measured;
    }

    mutable bool laidOut = false;
    mutable QStaticText text;
    mutable QFont textFont;
    mutable QSize measured;
};

// Gives every plottable's legend entry the laid-out kind, each in its place.
void layOutLegend(QCPLegend* legend) {
    if (!legend)
        return;
    for (int i = 0; i < legend->itemCount(); ++i) {
        auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i));
        if (!item || dynamic_cast<LaidOutLegendItem*>(item))
            continue;
        int row = 0;
        int column = 0;
        legend->indexToRowCol(i, row, column);
        QCPAbstractPlottable* plottable = item->plottable();
        if (!legend->take(item))
            continue;
        delete item;
        legend->addElement(row, column, new LaidOutLegendItem(legend, plottable));
    }
}

} // namespace

QuickPlot::QuickPlot(QWidget* parent) : QCustomPlot(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The buffers are set up anew at every redraw, after this signal.
    connect(this, &QCustomPlot::beforeReplot, this, &QuickPlot::prepareRedraw);
}

void QuickPlot::prepareRedraw() {
    layOutLegend(legend);
    if (mPaintBuffers.isEmpty())
        return;
    // A plain opaque background: the first buffer clears to it. Anything else (a picture, a
    // colour that lets the window show through, drawing by OpenGL) keeps the stock buffer.
    const QColor colour = mBackgroundBrush.color();
    const bool plain = mBackgroundBrush.style() == Qt::SolidPattern && colour.alpha() == 255 &&
                       mBackgroundPixmap.isNull() && !openGl();
    auto* opaque = dynamic_cast<OpaqueBuffer*>(mPaintBuffers.first().data());
    // Qt paints the window's background beneath only a plot that lets it show through.
    setAttribute(Qt::WA_OpaquePaintEvent, plain);
    if (opaque && plain)
        opaque->setBackground(colour);
    else if (plain)
        mPaintBuffers.first().reset(
            new OpaqueBuffer(viewport().size(), bufferDevicePixelRatio(), colour));
    else if (opaque)
        mPaintBuffers.first().reset(
            new QCPPaintBufferPixmap(viewport().size(), bufferDevicePixelRatio()));
}

bool QuickPlot::paintsOpaque() const {
    return !mPaintBuffers.isEmpty() && dynamic_cast<OpaqueBuffer*>(mPaintBuffers.first().data()) &&
           viewport() == rect() && mPaintBuffers.first()->size() == viewport().size();
}

void QuickPlot::paintEvent(QPaintEvent* event) {
    if (!paintsOpaque()) {
        // Before the first redraw, or resized and not redrawn yet: the stock way, on the plot's
        // background if nothing was painted beneath.
        if (testAttribute(Qt::WA_OpaquePaintEvent)) {
            QPainter background(this);
            background.fillRect(rect(), mBackgroundBrush);
        }
        QCustomPlot::paintEvent(event);
        return;
    }
    QCPPainter painter(this);
    if (!painter.isActive())
        return;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    mPaintBuffers.first()->draw(&painter);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int i = 1; i < mPaintBuffers.size(); ++i)
        mPaintBuffers.at(i)->draw(&painter);
}
