#ifndef BENCHSTREAM_H
#define BENCHSTREAM_H

#include <QByteArray>
#include <QList>

class QRandomGenerator;

// A recording of what the boards put on a busy link, for the throughput benchmarks: CFLAG
// records of the flag board at the 30 ms interval (14-byte frames), the DK-61's status ticks
// with the replies to the requests they cause, memory replies, and about 5 % of bytes that cannot
// start a frame between the frames. The same seed gives the same bytes.
namespace BenchStream {

// 128000 baud, 8N1: ten bit times per byte.
constexpr double LinkBytesPerSecond = 12800.0;

// Flag counts of one 30 ms interval of a disc in fair condition (about the simulator's defaults:
// 12 frames with C1 flags, a few C2, rarely uncorrectable).
void randomCounts(QRandomGenerator& random, quint16 counts[5]);
// A 14-byte CFLAG frame with the five counts, the status byte and the firmware version.
QByteArray cflagFrame(const quint16 counts[5], quint8 status = 0x03, quint8 fw = 5);
// At least `minBytes` bytes of recording; every frame in it is complete.
QByteArray recording(int minBytes, quint32 seed = 1);
// Share of the bytes that cannot start a frame.
double garbageShare(const QByteArray& stream);
// The stream cut into reads of `size` bytes (the last one may be shorter).
QList<QByteArray> chunks(const QByteArray& stream, int size);

} // namespace BenchStream

#endif // BENCHSTREAM_H
