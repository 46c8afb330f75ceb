#include "resultstable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <iterator>

namespace {

bool failed(const QSqlError& e, QString* error) {
    *error = e.text().trimmed();
    return false;
}

// Runs `body` in a transaction: committed when it returns true, rolled back otherwise.
template <typename F> bool inTransaction(QSqlDatabase& db, QString* error, F&& body) {
    if (!db.transaction())
        return failed(db.lastError(), error);
    if (!body()) {
        db.rollback();
        return false;
    }
    return db.commit() || failed(db.lastError(), error);
}

bool exec(QSqlQuery& q, const QString& sql, QString* error) {
    return q.exec(sql) || failed(q.lastError(), error);
}

QString columnList() {
    QStringList names;
    for (const RunResult::Column& c : RunResult::columns())
        names << QLatin1String(c.name);
    return names.join(QLatin1String(", "));
}

// A column added to a table unless it is there already.
bool addColumn(QSqlDatabase& db, const char* table, const char* column, const char* type,
               QString* error) {
    const bool postgres = db.driverName() == QLatin1String("QPSQL");
    if (!postgres && db.record(QLatin1String(table)).contains(QLatin1String(column)))
        return true;
    QSqlQuery q(db);
    return exec(q,
                QStringLiteral("ALTER TABLE %1 ADD COLUMN %2%3 %4")
                    .arg(QLatin1String(table),
                         postgres ? QStringLiteral("IF NOT EXISTS ") : QString(),
                         QLatin1String(column), QLatin1String(type)),
                error);
}

// The steps from one schema version to the next, oldest first: `apply` brings version to - 1
// to version `to`. Each leaves a database that has what it adds as it is, so that a new
// database, created with every column, passes through all of them.
struct Upgrade {
    int to;
    bool (*apply)(QSqlDatabase& db, QString* error);
};
constexpr Upgrade Upgrades[] = {
    {2,
     [](QSqlDatabase& db, QString* error) {
         return addColumn(db, "runs", "ended", "TEXT NOT NULL DEFAULT ''", error);
     }},
};
static_assert(Upgrades[std::size(Upgrades) - 1].to == ResultsTable::SchemaVersion,
              "the last upgrade reaches the schema this program writes");

} // namespace

bool ResultsTable::prepare(QSqlDatabase& db, QString* error) {
    const QStringList tables = db.tables();
    if (!tables.contains(QStringLiteral("schema_version")) &&
        tables.contains(QStringLiteral("runs"))) {
        *error = QStringLiteral("The results database has a table \"runs\" of another program; "
                                "it is left untouched.");
        return false;
    }
    int version = 0;
    if (tables.contains(QStringLiteral("schema_version"))) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !q.next())
            return failed(q.lastError(), error);
        version = q.value(0).toInt();
        if (version > SchemaVersion) {
            *error = QStringLiteral("The results database has schema version %1; this program "
                                    "writes version %2 and leaves it untouched.")
                         .arg(version)
                         .arg(SchemaVersion);
            return false;
        }
        if (version == SchemaVersion)
            return true;
    }
    return inTransaction(db, error, [&] {
        QStringList defs;
        for (const RunResult::Column& c : RunResult::columns())
            defs << QLatin1String(c.name) + QLatin1Char(' ') + QLatin1String(c.sqlType);
        QSqlQuery q(db);
        // Two benches may create the schema at once: every step tolerates the other's.
        if (!exec(q,
                  QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (id INTEGER "
                                 "PRIMARY KEY CHECK (id = 1), version INTEGER NOT NULL)"),
                  error) ||
            !exec(q,
                  QStringLiteral("CREATE TABLE IF NOT EXISTS runs (%1)")
                      .arg(defs.join(QLatin1String(", "))),
                  error) ||
            !exec(q,
                  QStringLiteral("CREATE INDEX IF NOT EXISTS runs_started_at ON runs "
                                 "(started_at)"),
                  error))
            return false;
        // A new database has all of it already; an older one gets what it lacks.
        for (const Upgrade& step : Upgrades) {
            if (step.to > version && !step.apply(db, error))
                return false;
        }
        return exec(q,
                    QStringLiteral("INSERT INTO schema_version (id, version) VALUES (1, %1) ON "
                                   "CONFLICT (id) DO UPDATE SET version = excluded.version")
                        .arg(SchemaVersion),
                    error);
    });
}

bool ResultsTable::upsert(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error) {
    if (runs.isEmpty())
        return true;
    QStringList marks, updates;
    for (const RunResult::Column& c : RunResult::columns().mid(1)) {
        updates << QStringLiteral("%1 = excluded.%1").arg(QLatin1String(c.name));
    }
    for (int i = 0; i < RunResult::columns().size(); ++i)
        marks << QStringLiteral("?");
    const QString sql =
        QStringLiteral("INSERT INTO runs (%1) VALUES (%2) ON CONFLICT (run_id) DO "
                       "UPDATE SET %3 WHERE excluded.revision >= runs.revision")
            .arg(columnList(), marks.join(QLatin1Char(',')), updates.join(QLatin1String(", ")));
    return inTransaction(db, error, [&] {
        QSqlQuery q(db);
        if (!q.prepare(sql))
            return failed(q.lastError(), error);
        for (const RunResult& run : runs) {
            for (int i = 0; i < RunResult::columns().size(); ++i)
                q.bindValue(i, RunResult::columns()[i].get(run));
            if (!q.exec())
                return failed(q.lastError(), error);
        }
        return true;
    });
}

bool ResultsTable::remove(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error) {
    return inTransaction(db, error, [&] {
        QSqlQuery q(db);
        if (!q.prepare(QStringLiteral("DELETE FROM runs WHERE run_id = ? AND revision <= ?")))
            return failed(q.lastError(), error);
        for (const RunResult& run : runs) {
            q.bindValue(0, run.runId);
            q.bindValue(1, run.revision);
            if (!q.exec())
                return failed(q.lastError(), error);
        }
        return true;
    });
}

QVector<RunResult> ResultsTable::select(QSqlDatabase& db, const ResultsFilter& filter, bool* ok,
                                        QString* error) {
    QVector<RunResult> runs;
    QVariantList values;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    *ok = q.prepare(QStringLiteral("SELECT %1 FROM runs").arg(columnList()) +
                    filter.sqlTail(&values));
    for (int i = 0; *ok && i < values.size(); ++i)
        q.bindValue(i, values[i]);
    *ok = *ok && q.exec();
    if (!*ok) {
        failed(q.lastError(), error);
        return runs;
    }
    while (q.next()) {
        RunResult r;
        for (int i = 0; i < RunResult::columns().size(); ++i)
            RunResult::columns()[i].set(r, q.value(i));
        runs << r;
    }
    return runs;
}

int ResultsTable::count(QSqlDatabase& db) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM runs")) || !q.next())
        return -1;
    return q.value(0).toInt();
}

bool ResultsTable::endUnexpectedly(QSqlDatabase& db, const QStringList& runIds, QString* error) {
    if (runIds.isEmpty())
        return true;
    return inTransaction(db, error, [&] {
        QSqlQuery q(db);
        if (!q.prepare(
                QStringLiteral("UPDATE runs SET ended = ? WHERE run_id = ? AND finished = 0")))
            return failed(q.lastError(), error);
        for (const QString& id : runIds) {
            q.bindValue(0, QLatin1String(RunResult::EndedUnexpectedly));
            q.bindValue(1, id);
            if (!q.exec())
                return failed(q.lastError(), error);
        }
        return true;
    });
}

bool ResultsTable::damaged(QSqlDatabase& db) {
    if (db.driverName() != QLatin1String("QSQLITE") || !db.isOpen())
        return false;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)"))) {
        // SQLITE_CORRUPT and SQLITE_NOTADB (extended codes keep them in the low byte).
        const int code = q.lastError().nativeErrorCode().toInt() & 0xff;
        return code == 11 || code == 26;
    }
    return q.next() && q.value(0).toString() != QLatin1String("ok");
}
