#ifndef RUNRESULT_H
#define RUNRESULT_H

#include "flags/runseries.h"
#include "flags/runsummary.h"
#include "flags/unitidentity.h"

#include <QDateTime>
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVector>

// One run as the results database keeps it: a row of the table `runs`. The caller fills the
// identity, the totals and the verdicts; the store sets `revision`.
struct RunResult {
    QString runId;       // a UUID, the row's key
    QString station;     // host name of the bench
    QDateTime startedAt; // UTC
    QDateTime endedAt;   // UTC: the end, or the latest record of a run still going on
    bool finished = false;
    QString serialNumber;
    QString customerId;
    QString firmware;
    QString unitId;
    qint64 records = 0;
    int intervalMs = 0; // the interval of the latest record
    qint64 c1Total = 0;
    qint64 c1uTotal = 0;
    qint64 c2Total = 0;
    qint64 c2uTotal = 0;
    qint64 interpTotal = 0;
    double blerMax10s = 0.0; // per second
    qint64 e32Total = 0;
    QString verdictStandard; // "PASS" or "FAIL"
    QString verdictLimits;   // "PASS" or "FAIL", empty without limits
    QString flagFile;        // full path, empty when flag files are off
    // Grows with every version of the row handed to the store; an older version never
    // overwrites a newer one.
    qint64 revision = 0;
    // How a run that is not `finished` ended: EndedUnexpectedly once a later start of the
    // program found that the program measuring it had ended without finishing it (killed, power
    // lost); empty otherwise.
    QString ended;
    // The run's curve as far as it changed since the version before (rows of `run_series`; not
    // compared by ==). A version that replaces another before it was written takes over the
    // chunks that only the other one carries (keepSeriesOf).
    QVector<RunSeries::Chunk> series{};

    static constexpr const char* EndedUnexpectedly = "unexpectedly";

    // The identity columns of a unit: serial number, customer ID and firmware of a board that
    // named itself, the unit as shown (its serial number or the typed ID) when it is known.
    void takeUnit(const UnitIdentity& unit);
    // The record count, totals and verdicts ("PASS"/"FAIL", empty without a verdict) of a run.
    void takeSummary(const RunSummary& summary);
    // The unit the row names: the board's numbers when it named itself, else the typed ID.
    UnitIdentity unit() const;
    // How the run was judged while it was measured (its verdicts and BLER).
    RunSummary::Judged judged() const;
    // A run that ended unexpectedly: where its stored `series` holds more records than the row,
    // the records, totals, BLER (the higher of the two) and CD-standard verdict are taken from
    // it; the verdict on the limits stays as it was judged. True when anything was taken.
    bool takeSeriesTotals(const RunSeries& series);
    // Takes over the chunks of `older`, a version of this run that this one replaces, that this
    // one does not carry itself.
    void keepSeriesOf(const RunResult& older);

    // A run starting now on this host, with a fresh UUID.
    static RunResult begin(const QDateTime& startedAt = QDateTime::currentDateTimeUtc());

    // The columns of `runs`, in table order; the first is the key.
    struct Column {
        const char* name;
        const char* sqlType;
        QVariant (*get)(const RunResult&);
        void (*set)(RunResult&, const QVariant&);
        bool exported; // part of a CSV export (the bookkeeping columns are not)
    };
    static const QVector<Column>& columns();
    // Every column as "name=value", for a log line that keeps the whole run.
    QString columnText() const;

    // Adds `more` to `runs` by id, the later revision of a run winning; the chunks of its
    // series that only the other version carries go with it.
    static void keepLatest(QHash<QString, RunResult>& runs, const QVector<RunResult>& more);

    bool operator==(const RunResult& o) const;
    bool operator!=(const RunResult& o) const { return !(*this == o); }
};

// A run as the results database keeps it, with its curve read back.
struct StoredRun {
    RunResult row;
    RunSeries series;
};

Q_DECLARE_METATYPE(RunResult)
Q_DECLARE_METATYPE(RunSeries::Chunk)

#endif // RUNRESULT_H
