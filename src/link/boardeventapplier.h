#ifndef BOARDEVENTAPPLIER_H
#define BOARDEVENTAPPLIER_H

#include "board/boardevents.h"

class CD_Board;

// Turns what the decoder found into the board's requests and signals: the one place where the
// decoder's findings leave the board. One event a call, in the order the decoder found them.
class BoardEventApplier {
public:
    // Memory exchanges and programming steps whose replies did not come in time end here.
    explicit BoardEventApplier(CD_Board& board);

    // A frame cut from either link goes to the journal and is decoded at once.
    void frameReceived(QByteArray&& bytes);
    // Decodes every frame of the journal not decoded yet, one at a time, and applies each.
    void decodePending();
    // Runs a step of the decoder outside a frame and applies what it found.
    template <typename Step> void decodeWith(Step step) {
        DecodeOutcome out;
        step(out);
        apply(out);
    }
    // Sends the requests, then applies the events, and empties the outcome.
    void apply(DecodeOutcome& outcome);

    void operator()(const BoardEvent::WriteRefused&);
    void operator()(const BoardEvent::PllState&);
    void operator()(const BoardEvent::DiscCleared&);
    void operator()(const BoardEvent::FirmwareVersion&);
    void operator()(const BoardEvent::LaserReading&);
    void operator()(const BoardEvent::SamplesSufficient&);
    void operator()(const BoardEvent::ModuleOff&);
    void operator()(const BoardEvent::ServiceStep&);
    void operator()(const BoardEvent::DiscId&);
    void operator()(const BoardEvent::FlagStatus&);
    void operator()(const BoardEvent::FlagFirmware&);
    void operator()(BoardEvent::FlagRecord&);
    void operator()(const BoardEvent::LoaderList&);
    void operator()(const BoardEvent::LoaderFromEeprom&);
    void operator()(const BoardEvent::LoaderSelected&);
    void operator()(const BoardEvent::LoaderLabel&);
    void operator()(const BoardEvent::LoaderTypeOk&);
    void operator()(const BoardEvent::LaserHistoryRead&);
    void operator()(const BoardEvent::ZeroByteRead&);
    void operator()(const BoardEvent::ZeroByteWritten&);
    void operator()(const BoardEvent::EepromStepConfirmed&);
    void operator()(const BoardEvent::EepromBlockRead&);
    void operator()(const BoardEvent::MemoryExchangeOver&);
    void operator()(const BoardEvent::TagPollDue&);
    void operator()(const BoardEvent::DisplayInfoChanged&);

private:
    CD_Board& board;
    DecodeOutcome reusedOutcome;
    bool applying = false;
};

#endif // BOARDEVENTAPPLIER_H
