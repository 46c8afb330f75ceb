#include "framecutter.h"

#include "logging.h"

#include <cstring>

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
    // In place: the buffer keeps its room.
    const int rest = buffer.size() - position;
    if (position > 0 && rest > 0) {
        char* data = buffer.data();
        std::memmove(data, data + position, size_t(rest));
    }
    if (position > 0)
        buffer.resize(rest);
    position = 0;
}
