#ifndef FRAMECUTTER_H
#define FRAMECUTTER_H

#include <QByteArray>

// Cuts the byte stream of a board link into frames: code byte, length byte, parameter bytes.
// Bytes that cannot start a frame are dropped one at a time; an accepted code followed by a
// length with its top bit set drops only the code byte. Incomplete frames wait for more bytes.
// Consumption moves a read position; the buffer is compacted once per pass (compact()).
class FrameCutter {
public:
    enum class Step { Frame, NeedMore };

    // Whether a byte can start a frame sent by the board.
    static bool isAcceptedCode(quint8 byte);

    explicit FrameCutter(QByteArray& buffer) : buffer(buffer) {}

    // Appends freshly read bytes.
    void append(const QByteArray& bytes) { buffer.append(bytes); }
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
    QByteArray& buffer;
    int position = 0;
};

#endif // FRAMECUTTER_H
