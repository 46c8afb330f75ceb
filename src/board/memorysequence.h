#ifndef MEMORYSEQUENCE_H
#define MEMORYSEQUENCE_H

#include "boardevents.h"

#include <QByteArray>

// A multi-step exchange driven by the board's memory replies (0x99): the laser history read, the
// zero-hour byte read, the history erase. While one runs, every memory reply goes to it; it moves
// on with the replies it waits for, ignores the others, and says when it is over.
class MemorySequence {
public:
    virtual ~MemorySequence() = default;
    virtual bool isRunning() const = 0;
    // Takes a memory reply; the requests and events of the next step go into `out`. True when
    // the exchange is over.
    virtual bool onReply(const QByteArray& frame, DecodeOutcome& out) = 0;
    // Ends the exchange without a result.
    virtual void cancel() = 0;
};

#endif // MEMORYSEQUENCE_H
