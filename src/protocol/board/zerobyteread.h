#ifndef ZEROBYTEREAD_H
#define ZEROBYTEREAD_H

#include "board/memorysequence.h"

enum class ZeroByteReadStep { Idle, Waiting };

// Reads the zero-hour laser current byte (0x210C).
class ZeroByteRead : public SteppedSequence<ZeroByteReadStep> {
public:
    // Returns the request.
    QByteArray start();
    bool onReply(const QByteArray& frame, DecodeOutcome& out) override;
    QString what() const override { return QStringLiteral("Zero hour current read"); }
};

#endif // ZEROBYTEREAD_H
