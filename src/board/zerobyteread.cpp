#include "zerobyteread.h"

#include "eepromlayout.h"
#include "logging.h"
#include "responsedecoding.h"

QByteArray ZeroByteRead::start() {
    step = Step::Waiting;
    return EepromLayout::memoryRead(1, 0x21, 0x0C);
}

bool ZeroByteRead::onReply(const QByteArray& frame, DecodeOutcome& out) {
    if (step == Step::Idle)
        return true;
    if (frame.size() < 6) {
        qCDebug(dk61Laser) << "no zero-hour byte in a frame of" << frame.size() << "bytes";
        return false;
    }
    step = Step::Idle;
    out.add(BoardEvent::ZeroByteRead{ResponseDecoding::byteAt(frame, 5)});
    return true;
}
