#include "console/trafficview.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

TrafficView::TrafficView(QPlainTextEdit* view, int maxLines, QObject* parent)
    : QObject(parent), view(view), maxLines(maxLines) {
    // The lines are ASCII: fixing the direction spares the layout a scan of every line for it.
    QTextDocument* document = view->document();
    QTextOption option = document->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    document->setDefaultTextOption(option);
    document->setMaximumBlockCount(maxLines);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &TrafficView::flushIfShown);
    view->installEventFilter(this);
}

void TrafficView::add(const QStringList& lines) {
    if (lines.isEmpty())
        return;
    recent.append(lines);
    waiting += static_cast<int>(lines.size());
    if (recent.size() > maxLines)
        recent.erase(recent.begin(), recent.begin() + (recent.size() - maxLines));
    waiting = std::min(waiting, static_cast<int>(recent.size()));
    if (!hidden) {
        pending.append(lines);
    } else {
        for (const QString& line : lines)
            if (!hidden(line))
                pending.append(line);
    }
    // Lines beyond the limit would fall off the top of the view at once.
    if (pending.size() > maxLines)
        pending.erase(pending.begin(), pending.begin() + (pending.size() - maxLines));
    if (paused)
        tellWaiting();
    if (!view->isVisible() || paused)
        return;
    // A batch costs the view a tenth of the time to the next at most: in a flood, when a batch
    // is the view's whole length, the batches come further apart.
    const qint64 gap = qMax<qint64>(FlushIntervalMs, 10 * lastFlushMs);
    const qint64 since = sinceFlush.isValid() ? sinceFlush.elapsed() : gap;
    if (since >= gap)
        flush();
    else if (!timer.isActive())
        timer.start(static_cast<int>(gap - since));
}

void TrafficView::flush() {
    timer.stop();
    if (pending.isEmpty() || paused)
        return;
    QElapsedTimer took;
    took.start();
    // The lines that would fall off the top go first, in one cut: the document's own limit
    // drops them one at a time, laying out each line before it goes.
    QTextDocument* document = view->document();
    const int held = document->isEmpty() ? 0 : document->blockCount();
    const int surplus = held + static_cast<int>(pending.size()) - maxLines;
    if (surplus > 0) {
        QTextCursor cut(document);
        cut.setPosition(surplus < held ? document->findBlockByNumber(surplus).position()
                                       : document->characterCount() - 1,
                        QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    following([this] { view->appendPlainText(pending.join(QLatin1Char('\n'))); });
    pending.clear();
    waiting = 0;
    lastFlushMs = took.elapsed();
    sinceFlush.start();
}

void TrafficView::setPaused(bool pause) {
    paused = pause;
    if (paused)
        tellWaiting();
    else if (view->isVisible())
        flush();
}

void TrafficView::clear() {
    pending.clear();
    recent.clear();
    waiting = 0;
    view->clear();
    if (paused)
        tellWaiting();
}

void TrafficView::setHidden(Filter hide) {
    if (hide == hidden)
        return;
    const Filter before = hidden;
    hidden = hide;
    // The view holds what it held before `recent` began, and the lines of `recent` already
    // shown that were not left out.
    const int shown = static_cast<int>(recent.size()) - waiting;
    int shownKept = 0;
    for (int i = 0; i < shown; ++i)
        if (!before || !before(recent.at(i)))
            ++shownKept;
    QStringList lines;
    QTextDocument* document = view->document();
    const int held = document->isEmpty() ? 0 : document->blockCount();
    QTextBlock block = document->begin();
    for (int i = 0; i < held - shownKept && block.isValid(); ++i, block = block.next())
        if (!hidden || !hidden(block.text()))
            lines.append(block.text());
    for (int i = 0; i < shown; ++i)
        if (!hidden || !hidden(recent.at(i)))
            lines.append(recent.at(i));
    if (lines.size() > maxLines)
        lines.erase(lines.begin(), lines.begin() + (lines.size() - maxLines));
    following([&] { view->setPlainText(lines.join(QLatin1Char('\n'))); });
    pending.clear();
    for (int i = shown; i < recent.size(); ++i)
        if (!hidden || !hidden(recent.at(i)))
            pending.append(recent.at(i));
    if (paused)
        tellWaiting();
}

// A view at its newest line follows the traffic; one the operator scrolled back stays.
void TrafficView::following(const std::function<void()>& change) {
    QScrollBar* bar = view->verticalScrollBar();
    const bool follow = bar->value() == bar->maximum();
    change();
    if (follow)
        bar->setValue(bar->maximum());
}

void TrafficView::tellWaiting() {
    emit waitingChanged(static_cast<int>(pending.size()));
}

void TrafficView::flushIfShown() {
    if (view->isVisible())
        flush();
}

bool TrafficView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view && event->type() == QEvent::Show)
        flush();
    return QObject::eventFilter(watched, event);
}
