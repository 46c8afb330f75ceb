#ifndef RESULTSTABLE_H
#define RESULTSTABLE_H

#include "resultsfilter.h"
#include "runresult.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QSqlDatabase;

// The tables `runs` and `run_series` and the schema version in an open database, SQLite or
// PostgreSQL, with the same SQL for both. Every call reports a failure with false (or an empty
// result) and the database's reason in `error`.
class ResultsTable {
public:
    // The schema this program writes. A database that says it is newer is refused untouched.
    static constexpr int SchemaVersion = 3;

    // The schema is built in steps: the step to version n takes a database of version n - 1 to
    // n, in one transaction with the new version noted. It adds the columns of `runs` it names
    // (those a database has already are passed over), then runs its statements, each of which
    // may run again on a database that has what it makes (two benches migrating at once, a step
    // cut short). A new database goes through every step.
    struct Step {
        int version;
        QStringList columns; // of RunResult::columns()
        QStringList statements;
    };
    static const QVector<Step>& steps();

    // Takes the database through the steps it lacks (a new one through all of them); checks the
    // version of one that has them all.
    static bool prepare(QSqlDatabase& db, QString* error);
    // Inserts or updates each run by its `run_id`, and the chunks of its series by run and first
    // second, all in one transaction; a stored row of a later revision is kept.
    static bool upsert(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error);
    // Deletes each run, and each chunk of its series, whose stored revision is at most the given
    // run's.
    static bool remove(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error);
    static QVector<RunResult> select(QSqlDatabase& db, const ResultsFilter& filter, bool* ok,
                                     QString* error);
    // The chunks of a run's series, in order.
    static QVector<RunSeries::Chunk> selectSeries(QSqlDatabase& db, const QString& runId, bool* ok,
                                                  QString* error);
    // Rows in `runs`; -1 when unknown.
    static int count(QSqlDatabase& db);
    // The runs whose program ended while they went on (killed, power lost), in one transaction:
    // `ended` says "unexpectedly" and `finished` stays 0. Finished runs and ids without a row
    // are passed over. Where the run's stored series goes further than its row, the row's
    // records, totals, BLER and CD-standard verdict are rebuilt from the series.
    static bool endUnexpectedly(QSqlDatabase& db, const QStringList& runIds, QString* error);
    // SQLite says the open file is no database, or a damaged one (a truncated or overwritten
    // file); false for any other trouble (busy, full, not writable) and for other databases.
    static bool damaged(QSqlDatabase& db);
};

#endif // RESULTSTABLE_H
