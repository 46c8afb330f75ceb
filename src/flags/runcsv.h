#ifndef RUNCSV_H
#define RUNCSV_H

#include "runstore.h"

#include <QDateTime>
#include <QString>

class QIODevice;

// A run as comma-separated values for spreadsheets: a header line, then one line per record
// with its date and time (the run's start plus the record's time, "yyyy-MM-dd HH:mm:ss.zzz"),
// the elapsed seconds, the interval in milliseconds, the five counts and the five rates in
// percent. Lines end in carriage return and line feed; numbers use a decimal point.
class RunCsv {
public:
    static const char* const Header;

    // False when not everything could be written.
    static bool write(QIODevice& out, const RunStore& store, const QDateTime& started);
    // Reads a file written by write() back into a run (the rates are not needed for that); a
    // jump of more than two seconds beyond the interval is a gap. False, with the line number
    // in `error`, for a file of another form.
    static bool read(QIODevice& in, RunStore* store, QDateTime* started, QString* error);
};

#endif // RUNCSV_H
