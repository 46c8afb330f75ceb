#ifndef FLAGFILEREADER_H
#define FLAGFILEREADER_H

#include "flags/runstore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

class QIODevice;

// Reads a flag file back into a run: one record per row "hh:mm:ss,\t<c1>,\t<c1u>,\t<c2>,\t<c2u>,\t
// <interp>" (line feed or carriage return and line feed). Any other line (torn by a full disk,
// two rows run together by an older version of the tool, a time stamp of more than MaxHourDigits
// hour digits, anything else) is skipped and counted.
//
// The rows carry no interval and time stamps of whole seconds, so both are worked out from the
// rows per second: a second with 12 or more rows is counted at 30 ms, with 3 or more at 170 ms,
// else at 1 s; a second at the edge of a stretch (fewer rows, as it is only partly measured)
// takes the interval of its neighbour when that is shorter. A record's time is its second's, or
// one interval after the record before where that is later. A jump of more than two seconds
// between two rows is a gap (nothing was measured in between).
//
// Lines go in one at a time (RunFileReader cuts them from the file): a record reaches the store
// as soon as the rows of its second and of the seconds beside it settle its interval, so only a
// few dozen rows are held, whatever the size of the file.
class FlagFileReader {
public:
    // Hours beyond 999,999,999 are not a time stamp this tool writes.
    static constexpr int MaxHourDigits = 9;

    struct Result {
        qint64 rows = 0;
        qint64 skipped = 0;
    };
    // The whole device at once (for a file of any size; RunFileReader reads in slices).
    static Result read(QIODevice& in, RunStore* store);
    // One row (with or without its line end): the seconds of its time stamp and its counts
    // (taken back from the signed 16-bit form the file prints them in). False for anything that
    // is not a row.
    static bool parseRow(const char* line, int size, qint64* seconds, RunStore::Counts* counts);
    static bool parseRow(const QByteArray& line, qint64* seconds, RunStore::Counts* counts) {
        return parseRow(line.constData(), line.size(), seconds, counts);
    }
    // The creation time in a flag file's name (yyyyMMddHHmmss, perhaps followed by "_n"); invalid
    // when the name has another form.
    static QDateTime created(const QString& fileName);

    // Empties the store; the records of the lines given go into it.
    explicit FlagFileReader(RunStore* store);
    // One line, without its line feed.
    void addLine(const char* line, int size);
    // A line that was not taken whole (longer than any row): skipped.
    void skipLine();
    // No more lines: the rows still held go into the store.
    void finish();
    const Result& result() const { return totals; }

private:
    struct Row {
        qint64 second;
        RunStore::Counts counts;
    };
    // A run of rows with the same second.
    struct Second {
        qint64 second;
        qint64 rows;
        int held;     // of them still waiting, at the back of `held`
        bool closed;  // a row of another second followed
        bool settled; // its interval is known; its later rows go straight into the store
        int setting;  // once settled
        bool ownKnown() const;
        int own() const;
    };

    // Stores every held row whose second's interval is settled now.
    void settle();
    void storeRow(const Row& row, int setting);

    RunStore* run;
    Result totals;
    // Empty lines since the last other one: all but a last one at the end of the file count.
    qint64 emptyLines = 0;
    std::vector<Second> seconds; // the seconds whose rows are not all in the store, oldest first
    std::vector<Row> held;       // their rows not in the store yet, in order
    // The last second whose rows all went into the store.
    bool hadSecond = false;
    qint64 lastSecond = 0;
    int lastOwn = 0;
    // The clock going round midnight; the previous row's second, counting the turns.
    qint64 wraps = 0;
    qint64 previousSecond = -1;
    // The records stored so far: the first one's second, the last one's second and time.
    bool stored = false;
    qint64 origin = 0;
    qint64 storedSecond = 0;
    qint64 storedMs = 0;
};

#endif // FLAGFILEREADER_H
