#ifndef RESULTSTABLE_H
#define RESULTSTABLE_H

#include "resultsfilter.h"
#include "runresult.h"

#include <QString>
#include <QVector>

class QSqlDatabase;

// The table `runs` and the schema version in an open database, SQLite or PostgreSQL, with the
// same SQL for both. Every call reports a failure with false (or an empty result) and the
// database's reason in `error`.
class ResultsTable {
public:
    // The schema this program writes. A database that says it is newer is refused untouched.
    static constexpr int SchemaVersion = 1;

    // Creates the tables where missing, in one transaction; checks the version of a database
    // that has them.
    static bool prepare(QSqlDatabase& db, QString* error);
    // Inserts or updates each run by its `run_id`, all in one transaction; a stored row of a
    // later revision is kept.
    static bool upsert(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error);
    // Deletes each run whose stored revision is at most the given run's.
    static bool remove(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error);
    static QVector<RunResult> select(QSqlDatabase& db, const ResultsFilter& filter, bool* ok,
                                     QString* error);
    // Rows in `runs`; -1 when unknown.
    static int count(QSqlDatabase& db);
};

#endif // RESULTSTABLE_H
