#ifndef FRAMEJOURNAL_H
#define FRAMEJOURNAL_H

#include "board/boardframe.h"
#include "board/indexedlist.h"

#include <QByteArray>

// What went over the links, frame by frame, each addressed by an absolute index: every frame
// received from either link in arrival order (with the decoder's read position), and every request
// written with its byte count. The traffic view reads both and lets go of what it has shown; a
// received frame stays until the decoder has passed it.
class FrameJournal {
public:
    // ---- received frames ----
    void addReceived(BoardFrame&& frame) { frames.append(std::move(frame)); }
    const IndexedList<BoardFrame>& received() const { return frames; }
    // Index of the next frame to decode; it only grows, so every frame is decoded once.
    qint64 decodePosition() const { return decoded; }
    // The bytes of the next frame to decode (the position moves past it), or null when every
    // frame is decoded. They stay valid until the frame is let go of.
    const QByteArray* nextToDecode() {
        if (decoded >= frames.size())
            return nullptr;
        // nearly always the frame just added
        const BoardFrame& frame = decoded == frames.size() - 1 ? frames.last() : frames.at(decoded);
        ++decoded;
        return &frame.bytes;
    }
    // Lets go of the frames below `index` that the decoder has passed.
    void dropReceivedBefore(qint64 index) { frames.dropBefore(qMin(index, decoded)); }

    // ---- written requests ----
    void addSent(const QByteArray& frame, int length) {
        sent.append(frame);
        lengths.append(length);
    }
    const IndexedList<QByteArray>& sentFrames() const { return sent; }
    const IndexedList<int>& sentLengths() const { return lengths; }
    void dropSentBefore(qint64 index) {
        sent.dropBefore(index);
        lengths.dropBefore(index);
    }

private:
    IndexedList<BoardFrame> frames;
    qint64 decoded = 0;
    IndexedList<QByteArray> sent;
    IndexedList<int> lengths;
};

#endif // FRAMEJOURNAL_H
