#include "framecutter.h"

#include "logging.h"

bool FrameCutter::isAcceptedCode(quint8 byte) {
    if (byte == 0x98 || byte == 0x99)
        return true;
    if (byte >= 0xA0 && byte <= 0xAF)
        return true;
    if (byte >= 0xB1 && byte <= 0xB8)
        return true;
    if (byte >= 0xBA && byte <= 0xBE)
        return true;
    if (byte >= 0xC0 && byte <= 0xCB)
        return true;
    return byte == 0xCD;
}

FrameCutter::Step FrameCutter::next(QByteArray& frame) {
    const int end = buffer.size();
    const char* data = buffer.constData();
    while (position < end) {
        const quint8 code = static_cast<quint8>(data[position]);
        if (!isAcceptedCode(code)) {
            ++position;
            ++discardedBytes;
            continue;
        }
        const int available = end - position;
        if (available < 2)
            return Step::NeedMore;
        const quint8 length = static_cast<quint8>(data[position + 1]);
        if (length & 0x80) {
            qCDebug(dk61Frame) << "length negative?";
            ++position;
            ++negativeLengths;
            continue;
        }
        if (available < length + 2) {
            qCDebug(dk61Frame) << "too short!" << available << "of" << length + 2;
            return Step::NeedMore;
        }
        frame = buffer.mid(position, length + 2);
        position += length + 2;
        return Step::Frame;
    }
    return Step::NeedMore;
}

void FrameCutter::compact() {
    if (position > 0) {
        buffer.remove(0, position);
        position = 0;
    }
}
