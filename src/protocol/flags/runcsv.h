#ifndef RUNCSV_H
#define RUNCSV_H

#include "flags/runstore.h"
#include "flags/unitidentity.h"

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
    // The longest run a store holds (its times are 32-bit milliseconds): no export goes further.
    static constexpr double MaxElapsedSeconds = 4294967.295;

    // The header line (without its line end).
    static QByteArray headerLine(const UnitIdentity& unit);
    // False when not everything could be written.
    static bool write(QIODevice& out, const RunStore& store, const QDateTime& started,
                      const UnitIdentity& unit = UnitIdentity());
    // Reads a file written by write() back into a run (the rates are not needed for that) and
    // the unit its header names; a
    // jump of more than two seconds beyond the interval is a gap. A line that is not a record
    // (torn by a full disk, changed in a spreadsheet, an elapsed time that is no number of
    // seconds a run can last) is skipped and counted in `skipped`. False, with the reason in
    // `error`, for a file that does not begin with the header.
    static bool read(QIODevice& in, RunStore* store, QDateTime* started, QString* error,
                     qint64* skipped = nullptr, UnitIdentity* unit = nullptr);

    // The lines of such a file one at a time (RunFileReader cuts them from the file).
    class Reader {
    public:
        // Empties the store; the records of the lines given go into it.
        explicit Reader(RunStore* store);
        // One line without its line end; the first one must be the header.
        void addLine(const char* line, int size);
        // A line that was not taken whole (longer than any record).
        void skipLine();
        // No more lines; false when the file is no exported run (error()).
        bool finish();

        bool failed() const { return !error.isEmpty(); }
        QString errorText() const { return error; }
        qint64 rows() const { return records; }
        qint64 skipped() const { return skippedLines; }
        // The run's start: the first record's date and time less its elapsed time.
        QDateTime started() const { return start; }
        // The unit the header names (none when it names none).
        const UnitIdentity& unit() const { return identity; }

    private:
        RunStore* run;
        qint64 lines = 0;
        qint64 records = 0;
        qint64 skippedLines = 0;
        qint64 previousMs = -1;
        int previousSetting = 1;
        QDateTime start;
        UnitIdentity identity;
        QString error;
    };
};

#endif // RUNCSV_H
