#ifndef TRAFFICVIEW_H
#define TRAFFICVIEW_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QPlainTextEdit;

// Puts the traffic lines into the Data Log view, which keeps its newest lines only. The view takes
// its lines in batches: while it is shown at most one batch every FlushIntervalMs, or ten times as
// long as the last batch took where that is longer (a flood costs the view a tenth of a core at
// most); while it is hidden (its page not current) or the operator paused it, none until it is
// shown or resumed (the newest lines wait, as many as the view keeps). It ends up with the same
// lines in the same order either way; only the lines that stay are ever put into it.
//
// Lines of a kind may be left out of the view (the flag records); the newest lines, as many as
// the view keeps, are held with them, so that the left-out ones still within that limit come back
// when they are shown again.
class TrafficView : public QObject {
    Q_OBJECT

public:
    // Five batches a second: each scrolls and repaints the whole view.
    static constexpr int FlushIntervalMs = 200;

    // `maxLines` is the view's limit (its document's maximum block count).
    TrafficView(QPlainTextEdit* view, int maxLines, QObject* parent = nullptr);

    void add(const QStringList& lines);
    // Puts every waiting line into the view now (unless paused).
    void flush();
    int pendingCount() const { return static_cast<int>(pending.size()); }

    // Paused, the view stands still for the operator to read; the lines wait.
    void setPaused(bool paused);
    bool isPaused() const { return paused; }
    // Empties the view and drops the lines waiting for it.
    void clear();
    // Leaves the lines that `hide` picks out of the view (null: none), those already in it too;
    // those still within the view's limit come back when they are no longer left out.
    using Filter = bool (*)(const QString& line);
    void setHidden(Filter hide);

signals:
    // While paused: how many lines wait for the view now.
    void waitingChanged(int count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void flushIfShown();
    void tellWaiting();
    // Changes the view's text through `change`.
    void following(const std::function<void()>& change);

    QPlainTextEdit* view;
    int maxLines;
    Filter hidden = nullptr;
    QStringList pending; // the lines waiting for the view, less the hidden ones
    QStringList recent;  // the newest lines, hidden ones included, as many as the view keeps
    int waiting = 0;     // how many of the newest of `recent` have not been shown yet
    QTimer timer;
    QElapsedTimer sinceFlush;
    qint64 lastFlushMs = 0; // how long the last batch took
    bool paused = false;
};

#endif // TRAFFICVIEW_H
