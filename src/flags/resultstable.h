#ifndef RESULTSTABLE_H
#define RESULTSTABLE_H

#include "resultsfilter.h"
#include "runresult.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QSqlDatabase;

// The table `runs` and the schema version in an open database, SQLite or PostgreSQL, with the
// same SQL for both. Every call reports a failure with false (or an empty result) and the
// database's reason in `error`.
class ResultsTable {
public:
    // The schema this program writes. A database that says it is newer is refused untouched.
    static constexpr int SchemaVersion = 2;

    // Creates the tables where missing and brings an older schema up to this one, in one
    // transaction; a database of this version is left as it is.
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
    // The runs whose program ended while they went on (killed, power lost), in one transaction:
    // `ended` says "unexpectedly" and `finished` stays 0. Finished runs and ids without a row
    // are passed over. What a stored run holds beyond its row is brought up to date here too.
    static bool endUnexpectedly(QSqlDatabase& db, const QStringList& runIds, QString* error);
    // SQLite says the open file is no database, or a damaged one (a truncated or overwritten
    // file); false for any other trouble (busy, full, not writable) and for other databases.
    static bool damaged(QSqlDatabase& db);
};

#endif // RESULTSTABLE_H
