#ifndef EEPROMCONFIRMATION_H
#define EEPROMCONFIRMATION_H

#include "boardevents.h"
#include "eepromlayout.h"

// Follows the programming of the EEPROM image: each step writes a block and waits for the
// memory reply (its write reply or its read-back) that shows the block as written; the
// confirmation moves the chain on to the next step.
class EepromConfirmation {
public:
    // The numbers are those the chain's steps carry (flashEeprom(step), recievedEepromParameters).
    enum class Step : quint8 {
        Idle = 0,       // memory replies are parameters of the image
        Runtime = 1,    // operating time cleared, waiting for its confirmation
        Laser = 3,      // k and d written
        Production = 5, // production record written
        Settings = 7,   // settings block written
        Focus = 8,      // focus hardware byte written
        Complete = 9,   // last step confirmed
        Erasing = 11,   // the history erase at the head of the chain runs
        Refused = 255,  // the board refused a write
    };

    bool isIdle() const { return eeprom_state == Step::Idle; }
    // A memory reply while a step waits: confirms it when its bytes are those written.
    void onReply(const QByteArray& frame, const EepromLayout::Expected& expected,
                 DecodeOutcome& out);
    // The board refused a write (0x98): a waiting step can no longer be confirmed. Outside the
    // chain (a zero-hour byte or a history erase of the laser page) the image stays readable.
    void refuse();
    // The chain ended without its last step (time-out, link closed): replies are parameters again.
    void end() { eeprom_state = Step::Idle; }
    // The history erase ended; inside the chain the next step (the operating time) follows.
    void historyErased(DecodeOutcome& out);

    Step eeprom_state = Step::Idle;
};

#endif // EEPROMCONFIRMATION_H
