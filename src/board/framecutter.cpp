#include "framecutter.h"

#include "logging.h"

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
        frame = QByteArray(data + position, length + 2);
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
