#include "board/zerobyteread.h"

#include "board/responsedecoding.h"
#include "production/eepromlayout.h"
#include "shell/logging.h"

QByteArray ZeroByteRead::start() {
    step = Step::Waiting;
    return EepromLayout::memoryRead(1, 0x21, 0x0C);
}

bool ZeroByteRead::onReply(const QByteArray& frame, DecodeOutcome& out) {
    if (step == Step::Idle)
        return true;
    // only the one byte of 0x210C: a write reply or another read that comes first is not it
    if (frame.size() != 6 || ResponseDecoding::byteAt(frame, 2) != 0x21 ||
        ResponseDecoding::byteAt(frame, 3) != 0x0C) {
        qCDebug(dk61Laser) << "no zero-hour byte in a frame of" << frame.size() << "bytes";
        return false;
    }
    step = Step::Idle;
    out.add(BoardEvent::ZeroByteRead{ResponseDecoding::byteAt(frame, 5)});
    return true;
}
