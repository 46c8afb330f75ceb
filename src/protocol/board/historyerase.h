#ifndef HISTORYERASE_H
#define HISTORYERASE_H

#include "board/memorysequence.h"

enum class HistoryEraseStep { Idle, Rows, ClearRuntime, ClearRuntimeTail };

// Erases the laser history: every 16-byte row of pages 0x22..0x31 is filled with 0xFF by two
// overlapping 10-byte writes (offsets 0 and 6), then the operating-time record is cleared in two
// writes. Each memory reply moves the erase on by one write.
class HistoryErase : public SteppedSequence<HistoryEraseStep> {
public:
    // Returns the first write (page 0x22, offset 0).
    QByteArray start();
    bool onReply(const QByteArray& frame, DecodeOutcome& out) override;
    QString what() const override { return QStringLiteral("Laser history erase"); }

    int history_page = 0x22;
    // The next write of the row goes to its second half.
    bool history_reset_half = true;

private:
    QByteArray nextWrite();
};

#endif // HISTORYERASE_H
