#ifndef ZEROBYTEWRITE_H
#define ZEROBYTEWRITE_H

#include "board/memorysequence.h"
#include "laser/zerohourbyte.h"

enum class ZeroByteWriteStep { Idle, Writing, ReadingBack };

// Writes the zero-hour laser current byte (0x210C) and waits until the board shows it holds it:
// a write reply that carries the byte written confirms it; a reply without the byte, or with
// another one, is checked by reading the byte back.
class ZeroByteWrite : public SteppedSequence<ZeroByteWriteStep> {
public:
    // Returns the write.
    QByteArray start(const ZeroHourByte::Value& value);
    bool onReply(const QByteArray& frame, DecodeOutcome& out) override;
    QString what() const override { return QStringLiteral("Zero hour current write"); }
    // Short, for the label beside "to EEPROM".
    QString stoppedText(Stop reason) const override;

    ZeroHourByte::Value value;
};

#endif // ZEROBYTEWRITE_H
