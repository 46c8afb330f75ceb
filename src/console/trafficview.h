#ifndef TRAFFICVIEW_H
#define TRAFFICVIEW_H

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QTextBrowser;

// Puts the traffic lines into the Data Log view, which keeps its newest lines only. Once the view
// is full, every line added makes the document drop its first line, and the text layout then
// walks the whole document again (milliseconds at 20,000 lines, whatever the number of lines
// added). So a view that has been laid out takes its lines in batches: while it is shown at most
// one batch every FlushIntervalMs, while its page is hidden none until it is shown again. A view
// never laid out has nothing to walk and takes every line at once. Either way it ends up with
// the same lines in the same order.
class TrafficView : public QObject {
    Q_OBJECT

public:
    static constexpr int FlushIntervalMs = 100;

    // `maxLines` is the view's limit (its document's maximum block count).
    TrafficView(QTextBrowser* view, int maxLines, QObject* parent = nullptr);

    void add(const QStringList& lines);
    // Puts every waiting line into the view now.
    void flush();
    int pendingCount() const { return static_cast<int>(pending.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void flushIfShown();

    QTextBrowser* view;
    int maxLines;
    QStringList pending;
    QTimer timer;
    QElapsedTimer sinceFlush;
};

#endif // TRAFFICVIEW_H
