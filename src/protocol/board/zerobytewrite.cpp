#include "board/zerobytewrite.h"

#include "board/responsedecoding.h"
#include "production/eepromlayout.h"
#include "shell/logging.h"

using RD = ResponseDecoding;

QByteArray ZeroByteWrite::start(const ZeroHourByte::Value& written) {
    value = written;
    step = Step::Writing;
    return ZeroHourByte::writeFrame(value);
}

QString ZeroByteWrite::stoppedText(Stop reason) const {
    switch (reason) {
    case Stop::NoAnswer:
        return QStringLiteral("Not confirmed: no answer within 2 s");
    case Stop::Refused:
        return QStringLiteral("Not written: EEPROM write denied");
    case Stop::LinkClosed:
        return QStringLiteral("Not confirmed: the connection was closed");
    }
    return QString();
}

bool ZeroByteWrite::onReply(const QByteArray& frame, DecodeOutcome& out) {
    if (step == Step::Idle)
        return true;
    if (frame.size() < 5 || RD::byteAt(frame, 2) != 0x21 || RD::byteAt(frame, 3) != 0x0C) {
        qCDebug(dk61Laser) << "no reply for the zero-hour byte in" << frame.toHex(' ');
        return false;
    }
    const bool carriesByte = frame.size() >= 6 && RD::byteAt(frame, 4) >= 1;
    if (step == Step::Writing && (!carriesByte || RD::byteAt(frame, 5) != value.byte)) {
        step = Step::ReadingBack;
        out.send(EepromLayout::memoryRead(1, 0x21, 0x0C));
        return false;
    }
    if (!carriesByte)
        return false;
    step = Step::Idle;
    const quint8 held = static_cast<quint8>(RD::byteAt(frame, 5));
    out.add(BoardEvent::ZeroByteWritten{held == value.byte, ZeroHourByte::resultText(value, held)});
    return true;
}
