#ifndef MEMORYSEQUENCE_H
#define MEMORYSEQUENCE_H

#include "board/boardevents.h"

#include <QByteArray>
#include <QString>

// A multi-step exchange driven by the board's memory replies (0x99): the laser history read, the
// zero-hour byte read, the history erase. While one runs, every memory reply goes to it; it moves
// on with the replies it waits for, ignores the others, and says when it is over. An exchange
// whose next reply does not come within TimeoutMs is ended by its owner.
class MemorySequence {
public:
    static constexpr int TimeoutMs = 2000;
    // Why an exchange ended without its result.
    enum class Stop { NoAnswer, Refused, LinkClosed };

    virtual ~MemorySequence() = default;
    virtual bool isRunning() const = 0;
    // Takes a memory reply; the requests and events of the next step go into `out`. True when
    // the exchange is over.
    virtual bool onReply(const QByteArray& frame, DecodeOutcome& out) = 0;
    // Ends the exchange without a result.
    virtual void cancel() = 0;
    // What the exchange does, for the operator: "Laser history read".
    virtual QString what() const = 0;

    // What the operator reads when the exchange ended without its result.
    virtual QString stoppedText(Stop reason) const {
        switch (reason) {
        case Stop::NoAnswer:
            return QStringLiteral("Error: %1 stopped, the CD-Board did not answer within 2 s!")
                .arg(what());
        case Stop::Refused:
            return QStringLiteral("Error: Write Access to EEPROM denied! %1 stopped.").arg(what());
        case Stop::LinkClosed:
            return QStringLiteral("%1 stopped: the connection to the CD-Board was closed.")
                .arg(what());
        }
        return QString();
    }
};

// An exchange whose steps are an enum class that starts at Idle: it runs until it is back there.
template <typename StepType> class SteppedSequence : public MemorySequence {
public:
    using Step = StepType;
    bool isRunning() const override { return step != Step::Idle; }
    void cancel() override { step = Step::Idle; }

    Step step = Step::Idle;
};

#endif // MEMORYSEQUENCE_H
