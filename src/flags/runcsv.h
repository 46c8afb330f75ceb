#ifndef RUNCSV_H
#define RUNCSV_H

#include "runstore.h"
#include "unitidentity.h"

#include <QDateTime>
#include <QString>

class QIODevice;

// A run as comma-separated values for spreadsheets: a header line, then one line per record
// with its date and time (the run's start plus the record's time, "yyyy-MM-dd HH:mm:ss.zzz"),
// the elapsed seconds, the interval in milliseconds, the five counts and the five rates in
// percent. Lines end in carriage return and line feed; numbers use a decimal point. The header
// line names the unit measured after its columns, one "Caption: value" field per part of its
// identity (quoted where a value holds a comma or a quote), over columns the records leave empty.
class RunCsv {
public:
    static const char* const Header;

    // The header line (without its line end).
    static QByteArray headerLine(const UnitIdentity& unit);
    // False when not everything could be written.
    static bool write(QIODevice& out, const RunStore& store, const QDateTime& started,
                      const UnitIdentity& unit = UnitIdentity());
    // Reads a file written by write() back into a run (the rates are not needed for that); a
    // jump of more than two seconds beyond the interval is a gap. False, with the line number
    // in `error`, for a file of another form.
    static bool read(QIODevice& in, RunStore* store, QDateTime* started, QString* error);
};

#endif // RUNCSV_H
