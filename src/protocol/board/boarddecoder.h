#ifndef BOARDDECODER_H
#define BOARDDECODER_H

#include "board/boardevents.h"
#include "board/boardstate.h"
#include "board/historyerase.h"
#include "board/historyread.h"
#include "board/zerobyteread.h"
#include "board/zerobytewrite.h"
#include "production/eepromrun.h"

#include <QByteArray>
#include <QTimer>

// Gives meaning to the frames of both links: updates the board state, and says for each frame
// what to send and what happened. Frames come from outside the program, so every handler checks
// a frame's size before it reads a parameter byte. Knows no window and no port.
class BoardDecoder {
public:
    BoardDecoder();
    // One frame (code byte, length byte, parameter bytes): the state changes, the requests it
    // calls for (the periodic status requests of a tick among them) and its events go to `out`.
    void decode(const QByteArray& frame, DecodeOutcome& out);
    // A memory reply taken as a block of the parameter image.
    void parseEepromParameters(const QByteArray& frame, DecodeOutcome& out);

    // The memory exchanges. Starting one ends the one that runs (the newest request wins);
    // each returns its first request.
    QByteArray readLaserHistory() { return begin(historyRead, historyRead.start()); }
    QByteArray readZeroByte() { return begin(zeroByteRead, zeroByteRead.start()); }
    QByteArray resetLaserHistory() { return begin(historyErase, historyErase.start()); }
    QByteArray writeZeroByte(const ZeroHourByte::Value& value) {
        return begin(zeroByteWrite, zeroByteWrite.start(value));
    }
    // The exchange that memory replies go to, or null.
    MemorySequence* runningSequence() const { return running; }
    // Ends every exchange (a test starts clean).
    void cancelSequences();
    // Ends the exchange that runs, if any, and says why for the operator (empty when none ran).
    QString stopSequence(MemorySequence::Stop reason);
    // Runs while an exchange waits for its next reply (MemorySequence::TimeoutMs unless set); its
    // owner connects its time-out to memoryTimedOut().
    QTimer memoryTimer;
    // The reply did not come: the exchange ends with its failure.
    void memoryTimedOut(DecodeOutcome& out);
    // How long a memory exchange and a programming step wait for their replies.
    void setTimeouts(int memoryMs, int eepromRequestMs) {
        memoryTimer.setInterval(memoryMs);
        eepromRun.setTimeoutPerRequest(eepromRequestMs);
    }
    // The board link closed: no exchange and no programming step outlives it, and after the next
    // open the board names itself and its image is read again.
    void linkClosed(DecodeOutcome& out);

    BoardState state;
    HistoryRead historyRead;
    ZeroByteRead zeroByteRead;
    HistoryErase historyErase;
    ZeroByteWrite zeroByteWrite;
    // The programming run: while it is on, memory replies go to it.
    EepromRun eepromRun;

private:
    QByteArray begin(MemorySequence& sequence, const QByteArray& request);
    void dispatch(const QByteArray& frame, DecodeOutcome& out);
    void followUps(DecodeOutcome& out);
    void discStateReset(DecodeOutcome& out);
    void firmwareVersion(const QByteArray& frame, DecodeOutcome& out);
    void memoryReply(const QByteArray& frame, DecodeOutcome& out);
    void adcReading(const QByteArray& frame, DecodeOutcome& out);
    void cflags(const QByteArray& frame, bool fromFlagBoard, DecodeOutcome& out);
    void loaderList(const QByteArray& frame, DecodeOutcome& out);
    void loaderType(const QByteArray& frame, DecodeOutcome& out);
    void loaderLabel(quint8 code, const QString& prefix, DecodeOutcome& out);
    void loaderFromEeprom(const QString& prefix, DecodeOutcome& out);
    void takeVerifiedImage(DecodeOutcome& out);

    MemorySequence* running = nullptr;
};

#endif // BOARDDECODER_H
