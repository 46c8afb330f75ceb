#include "benchstream.h"

#include "board/framecutter.h"

#include <QRandomGenerator>

namespace BenchStream {

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// A byte that the framing discards when it stands at the front.
char garbageByte(QRandomGenerator& random) {
    for (;;) {
        const auto byte = static_cast<quint8>(random.bounded(256));
        if (!FrameCutter::isAcceptedCode(byte))
            return static_cast<char>(byte);
    }
}

// One second of board output: 33 CFLAG records, a play tick with the replies to the requests
// it causes (time twice, laser ADC, track) and one 16-byte memory reply.
QList<QByteArray> secondOfFrames(int second, QRandomGenerator& random) {
    QList<QByteArray> frames;
    for (int i = 0; i < 33; ++i) {
        quint16 counts[5];
        randomCounts(random, counts);
        frames.append(cflagFrame(counts));
        if (i == 10) {
            frames.append(bytes({0xA0, 0x01, 0x01}));
            frames.append(bytes({0xAC, 0x03, 0x00, (second / 60) % 100, second % 60}));
            frames.append(bytes({0xAC, 0x03, 0x01, (second / 60) % 100, second % 60}));
            frames.append(bytes({0xB3, 0x02, 0x01, 0xF4 + random.bounded(4)}));
        } else if (i == 20) {
            frames.append(bytes({0xAB, 0x04, 0x01, 1 + (second / 240) % 20, 0x00, 0x00}));
        } else if (i == 30) {
            QByteArray memory = bytes({0x99, 0x13, 0x22, 0x00, 0x10});
            for (int k = 0; k < 16; ++k)
                memory.append(static_cast<char>(random.bounded(256)));
            frames.append(memory);
        }
    }
    return frames;
}

} // namespace

void randomCounts(QRandomGenerator& random, quint16 counts[5]) {
    const int bounds[5] = {25, 3, 5, 2, 2};
    for (int k = 0; k < 5; ++k)
        counts[k] = static_cast<quint16>(random.bounded(bounds[k]));
}

QByteArray cflagFrame(const quint16 counts[5], quint8 status, quint8 fw) {
    QByteArray frame = bytes({0xC6, 0x0C});
    for (int k = 0; k < 5; ++k) {
        frame.append(static_cast<char>(counts[k] >> 8));
        frame.append(static_cast<char>(counts[k] & 0xFF));
    }
    frame.append(static_cast<char>(status));
    frame.append(static_cast<char>(fw));
    return frame;
}

QByteArray recording(int minBytes, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray out;
    out.reserve(minBytes + 1024);
    // The disc identifier first, so the ticks do not keep asking for it.
    out.append(bytes({0xC5, 0x04, 0x12, 0x34, 0xAB, 0xCD}));
    qint64 frameBytes = out.size();
    qint64 garbage = 0;
    for (int second = 0; out.size() < minBytes; ++second) {
        for (const QByteArray& frame : secondOfFrames(second, random)) {
            out.append(frame);
            frameBytes += frame.size();
            // Runs of 1..4 stray bytes keep the share at 5 % of all bytes.
            while (garbage * 95 < frameBytes * 5) {
                const int run = 1 + static_cast<int>(random.bounded(4));
                for (int k = 0; k < run; ++k)
                    out.append(garbageByte(random));
                garbage += run;
            }
        }
    }
    return out;
}

double garbageShare(const QByteArray& stream) {
    QByteArray buffer = stream;
    FrameCutter cutter(buffer);
    QByteArray frame;
    while (cutter.next(frame) == FrameCutter::Step::Frame) {
    }
    return stream.isEmpty() ? 0.0 : double(cutter.discardedBytes) / stream.size();
}

QList<QByteArray> chunks(const QByteArray& stream, int size) {
    QList<QByteArray> out;
    for (int at = 0; at < stream.size(); at += size)
        out.append(stream.mid(at, size));
    return out;
}

} // namespace BenchStream
