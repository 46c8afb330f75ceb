#include "eepromconfirmation.h"

#include "logging.h"
#include "responsedecoding.h"

void EepromConfirmation::onReply(const QByteArray& frame, const EepromLayout::Expected& expected,
                                 DecodeOutcome& out) {
    const int state = static_cast<int>(eeprom_state);
    switch (EepromLayout::confirm(state, frame, expected)) {
    case EepromLayout::Check::Confirmed: {
        const int next = EepromLayout::nextState(state);
        eeprom_state = static_cast<Step>(next);
        qCDebug(dk61Eeprom) << "recieved" << next;
        out.add(BoardEvent::EepromStepConfirmed{next});
        break;
    }
    case EepromLayout::Check::Mismatch:
        if (eeprom_state == Step::Laser)
            qCDebug(dk61Eeprom) << "NO RECIEVED " << ResponseDecoding::byteAt(frame, 5);
        else if (eeprom_state == Step::Production)
            qCDebug(dk61Eeprom) << "NO RECIEVED 7 ";
        break;
    case EepromLayout::Check::NoMatch:
        break;
    }
    qCDebug(dk61Eeprom) << "Eeprom State =" << static_cast<int>(eeprom_state);
}

void EepromConfirmation::refuse() {
    if (eeprom_state != Step::Idle)
        eeprom_state = Step::Refused;
}

void EepromConfirmation::historyErased(DecodeOutcome& out) {
    if (eeprom_state != Step::Erasing)
        return;
    eeprom_state = Step::Idle;
    out.add(BoardEvent::EepromStepConfirmed{static_cast<int>(Step::Runtime)});
}
