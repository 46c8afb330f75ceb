#ifndef FLAGFILEREADER_H
#define FLAGFILEREADER_H

#include "runstore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QIODevice;

// Reads a flag file back into a run: one record per row "hh:mm:ss,\t<c1>,\t<c1u>,\t<c2>,\t<c2u>,\t
// <interp>" (line feed or carriage return and line feed). Any other line (torn by a full disk,
// two rows run together by an older version of the tool, anything else) is skipped and counted.
//
// The rows carry no interval and time stamps of whole seconds, so both are worked out from the
// rows per second: a second with 12 or more rows is counted at 30 ms, with 3 or more at 170 ms,
// else at 1 s; a second at the edge of a stretch (fewer rows, as it is only partly measured)
// takes the interval of its neighbour when that is shorter. A record's time is its second's, or
// one interval after the record before where that is later. A jump of more than two seconds
// between two rows is a gap (nothing was measured in between).
class FlagFileReader {
public:
    struct Result {
        qint64 rows = 0;
        qint64 skipped = 0;
    };
    static Result read(QIODevice& in, RunStore* store);
    // One row: the seconds of its time stamp and its counts (taken back from the signed 16-bit
    // form the file prints them in). False for anything that is not a row.
    static bool parseRow(const QByteArray& line, qint64* seconds, RunStore::Counts* counts);
    // The creation time in a flag file's name (yyyyMMddHHmmss, perhaps followed by "_n"); invalid
    // when the name has another form.
    static QDateTime created(const QString& fileName);
};

#endif // FLAGFILEREADER_H
