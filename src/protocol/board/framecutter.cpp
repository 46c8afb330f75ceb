#include "board/framecutter.h"

#include "shell/logging.h"

#include <cstring>

FrameCutter::Step FrameCutter::next(QByteArray& frame) {
    const int end = buffer.size();
    const char* data = buffer.constData();
    int at = position;
    Step step = Step::NeedMore;
    while (at < end) {
        const quint8 code = static_cast<quint8>(data[at]);
        if (!isAcceptedCode(code)) {
            ++at;
            ++discardedBytes;
            continue;
        }
        const int available = end - at;
        if (available < 2)
            break;
        const quint8 length = static_cast<quint8>(data[at + 1]);
        if (length & 0x80) {
            qCDebug(dk61Frame) << "length negative?";
            ++at;
            ++negativeLengths;
            continue;
        }
        if (available < length + 2) {
            qCDebug(dk61Frame) << "too short!" << available << "of" << length + 2;
            break;
        }
        frame = QByteArray(data + at, length + 2);
        at += length + 2;
        step = Step::Frame;
        break;
    }
    position = at;
    return step;
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
