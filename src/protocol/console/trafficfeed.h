#ifndef TRAFFICFEED_H
#define TRAFFICFEED_H

#include "board/boardframe.h"
#include "board/indexedlist.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct BoardState;

// What the Data Log page and the log file get from the board's lists of received frames and
// written requests, each shown and logged once, in order, and what the player displays show
// after a batch of frames. Also the Up/Down recall of written requests into the typed-request
// line. Plain functions of their arguments.
class TrafficFeed {
public:
    // How many of the newest frames already parsed and shown stay in the board's frame list.
    static constexpr int KeptFrames = 1000;
    // How many of the newest written requests Up and Down can recall.
    static constexpr int RecallHistory = 1000;

    struct Received {
        bool any = false;      // there were new frames: the displays below apply
        QString time;          // both time displays (empty while the board reported no time)
        QString track;         // both track displays (empty for a negative track)
        QString laserCurrent;  // "87.9 mA" when a laser current frame was among them, else empty
        QStringList lines;     // one traffic line a frame, for the view and the log file
        qint64 dropBefore = 0; // frames below this index are no longer needed
    };
    // The frames from *next on, with the board state after the batch; the decoder has parsed the
    // frames below `parsed`. *next ends past the newest frame (a position already dropped counts
    // from the oldest frame held).
    static Received received(const IndexedList<BoardFrame>& frames, qint64 parsed,
                             const BoardState& state, qint64 elapsedMs, qint64* next);

    struct Sent {
        QStringList lines;     // one traffic line a request
        qint64 dropBefore = 0; // requests below this index are kept no longer (recall history)
    };
    // The requests written from *next on; *next ends past the newest.
    static Sent sent(const IndexedList<QByteArray>& frames, const IndexedList<int>& lengths,
                     qint64 elapsedMs, qint64* next);

    // Up from the recall position `at`: the older request's index, or `at` at the oldest held.
    static qint64 older(const IndexedList<QByteArray>& frames, qint64 at);
    // Down: the newer request's index below `shown` (the requests shown so far), or `at`.
    static qint64 newer(const IndexedList<QByteArray>& frames, qint64 at, qint64 shown);
    // The request at `index` as the typed-request line takes it: digits without blanks.
    static QString recalled(const IndexedList<QByteArray>& frames, const IndexedList<int>& lengths,
                            qint64 index);
};

#endif // TRAFFICFEED_H
