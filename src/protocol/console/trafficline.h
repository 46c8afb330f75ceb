#ifndef TRAFFICLINE_H
#define TRAFFICLINE_H

#include <QByteArray>
#include <QString>

// The text of one traffic line, "[hh:mm:ss]" + tag + every byte as two upper-case hexadecimal
// digits and two blanks, and the time stamp it starts with. Pure functions of their arguments.
class TrafficLine {
public:
    // "PC-Tool: " for a request written to the board, "DK-61  : " for a frame or debug text from
    // it.
    static const char* const SentTag;
    static const char* const ReceivedTag;

    // Elapsed time since start-up as "hh:mm:ss". The hours keep counting past 23 ("24:00:01",
    // "100:00:00") so that a day-long log stays in time order; negative times count as 0.
    static QString stamp(qint64 elapsedMs);
    // The same into `out` (room for MaxStamp characters); returns how many were written.
    static constexpr int MaxStamp = 28;
    static int writeStamp(char* out, qint64 elapsedMs);
    // Every byte as two upper-case hexadecimal digits followed by two blanks.
    static QString hexBytes(const QByteArray& bytes);
    // A request as written: the first `length` bytes of `frame`.
    static QString sent(qint64 elapsedMs, const QByteArray& frame, int length);
    // A frame (or the debug text) received from the board.
    static QString received(qint64 elapsedMs, const QByteArray& bytes);
    // A line of a CFLAG record from the board or the flag board (a frame 0xC6 or 0xA9).
    static bool isFlagRecord(const QString& line);
};

#endif // TRAFFICLINE_H
