#ifndef FRAMECUTTER_H
#define FRAMECUTTER_H

#include <QByteArray>

// Cuts the byte stream of a board link into frames: code byte, length byte, parameter bytes.
// Bytes that cannot start a frame are dropped one at a time; an accepted code followed by a
// length with its top bit set drops only the code byte. Incomplete frames wait for more bytes.
// Consumption moves a read position; the buffer is compacted once per pass (compact()), in place.
class FrameCutter {
public:
    enum class Step { Frame, NeedMore };

    // Whether a byte can start a frame sent by the board.
    static bool isAcceptedCode(quint8 byte) {
        return (AcceptedCodes[byte >> 5] >> (byte & 31)) & 1u;
    }

    explicit FrameCutter(QByteArray& buffer) : buffer(buffer) {}

    // Appends freshly read bytes: copied into the buffer's own storage, which a buffer given
    // room with reserve() keeps from pass to pass (sharing the read would cost a copy at compact()
    // whenever a frame is left incomplete).
    void append(const QByteArray& bytes) { buffer.append(bytes.constData(), bytes.size()); }
    // The bytes not consumed yet.
    QByteArray pending() const { return buffer.mid(position); }
    int pendingSize() const { return buffer.size() - position; }
    bool startsWith(quint8 byte) const {
        return pendingSize() > 0 && static_cast<quint8>(buffer.at(position)) == byte;
    }

    // Discards what cannot start a frame and cuts the next complete frame into `frame`.
    Step next(QByteArray& frame);
    // Drops the consumed bytes from the front of the buffer.
    void compact();

    // Counters for diagnostics.
    qint64 discardedBytes = 0;
    qint64 negativeLengths = 0;

private:
    // One bit per byte value: 0x98, 0x99, 0xA0..0xAF, 0xB1..0xB8, 0xBA..0xBE, 0xC0..0xCB, 0xCD.
    static constexpr quint32 AcceptedCodes[8] = {0,           0,           0,           0,
                                                 0x03000000u, 0x7DFEFFFFu, 0x00002FFFu, 0};

    QByteArray& buffer;
    int position = 0;
};

#endif // FRAMECUTTER_H
