#ifndef ZEROBYTEREAD_H
#define ZEROBYTEREAD_H

#include "board/memorysequence.h"

// Reads the zero-hour laser current byte (0x210C).
class ZeroByteRead : public MemorySequence {
public:
    enum class Step { Idle, Waiting };

    // Returns the request.
    QByteArray start();
    bool isRunning() const override { return step != Step::Idle; }
    bool onReply(const QByteArray& frame, DecodeOutcome& out) override;
    void cancel() override { step = Step::Idle; }
    QString what() const override { return QStringLiteral("Zero hour current read"); }

    Step step = Step::Idle;
};

#endif // ZEROBYTEREAD_H
