#include "resultstable.h"

#include "resultsworker.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

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

// The run in the current row of a query of every column.
RunResult readRun(const QSqlQuery& q) {
    RunResult r;
    for (int i = 0; i < RunResult::columns().size(); ++i)
        RunResult::columns()[i].set(r, q.value(i));
    return r;
}

const RunResult::Column* column(const QString& name) {
    for (const RunResult::Column& c : RunResult::columns()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

// A column of `runs` added unless it is there already.
bool addColumn(QSqlDatabase& db, const QString& name, QString* error) {
    const RunResult::Column* c = column(name);
    if (!c) {
        *error = QStringLiteral("no column %1").arg(name);
        return false;
    }
    const bool postgres = db.driverName() == QLatin1String("QPSQL");
    if (!postgres && db.record(QStringLiteral("runs")).contains(name))
        return true;
    QSqlQuery q(db);
    return exec(q,
                QStringLiteral("ALTER TABLE runs ADD COLUMN %1%2 %3")
                    .arg(postgres ? QStringLiteral("IF NOT EXISTS ") : QString(), name,
                         QLatin1String(c->sqlType)),
                error);
}

// The columns a run's end unexpectedly writes: its mark and what its series rebuilds.
const char* const EndedColumns[] = {"ended",     "records",         "c1_total",     "c1u_total",
                                    "c2_total",  "c2u_total",       "interp_total", "bler_max_10s",
                                    "e32_total", "verdict_standard"};

} // namespace

const QVector<ResultsTable::Step>& ResultsTable::steps() {
    static const QVector<Step> all = [] {
        QVector<Step> steps{
            {1, {}, {}},
            // How a run that did not finish ended.
            {2, {QStringLiteral("ended")}, {}},
            // A run's curve: its flag counts summed per second, in chunks of text.
            {3,
             {},
             {QStringLiteral("CREATE TABLE IF NOT EXISTS run_series (run_id TEXT NOT NULL, "
                             "first_second INTEGER NOT NULL, seconds INTEGER NOT NULL, series "
                             "TEXT NOT NULL, revision BIGINT NOT NULL DEFAULT 0, PRIMARY KEY "
                             "(run_id, first_second))")}},
        };
        Q_ASSERT(steps.last().version == SchemaVersion);
        // The first table has every column but those a later step adds.
        QStringList added, defs;
        for (const Step& step : steps)
            added << step.columns;
        for (const RunResult::Column& c : RunResult::columns()) {
            if (!added.contains(QLatin1String(c.name)))
                defs << QLatin1String(c.name) + QLatin1Char(' ') + QLatin1String(c.sqlType);
        }
        steps.first().statements = QStringList{
            QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (id INTEGER PRIMARY KEY "
                           "CHECK (id = 1), version INTEGER NOT NULL)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS runs (%1)")
                .arg(defs.join(QLatin1String(", "))),
            QStringLiteral("CREATE INDEX IF NOT EXISTS runs_started_at ON runs (started_at)")};
        return steps;
    }();
    return all;
}

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
    }
    for (const Step& step : steps()) {
        if (step.version <= version)
            continue;
        const bool done = inTransaction(db, error, [&] {
            for (const QString& name : step.columns) {
                if (!addColumn(db, name, error))
                    return false;
            }
            QSqlQuery q(db);
            for (const QString& statement : step.statements) {
                if (!exec(q, statement, error))
                    return false;
            }
            // Another bench may have gone further meanwhile: the version never goes back.
            return exec(q,
                        QStringLiteral("INSERT INTO schema_version (id, version) VALUES (1, %1) "
                                       "ON CONFLICT (id) DO UPDATE SET version = "
                                       "excluded.version WHERE schema_version.version < "
                                       "excluded.version")
                            .arg(step.version),
                        error);
        });
        if (!done)
            return false;
    }
    return true;
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
        QSqlQuery chunks(db);
        bool prepared = false;
        for (const RunResult& run : runs) {
            for (const RunSeries::Chunk& chunk : run.series) {
                if (!prepared &&
                    !chunks.prepare(QStringLiteral(
                        "INSERT INTO run_series (run_id, first_second, seconds, series, "
                        "revision) VALUES (?, ?, ?, ?, ?) ON CONFLICT (run_id, first_second) DO "
                        "UPDATE SET seconds = excluded.seconds, series = excluded.series, "
                        "revision = excluded.revision WHERE excluded.revision >= "
                        "run_series.revision")))
                    return failed(chunks.lastError(), error);
                prepared = true;
                chunks.bindValue(0, run.runId);
                chunks.bindValue(1, chunk.firstSecond);
                chunks.bindValue(2, chunk.seconds);
                chunks.bindValue(3, chunk.text);
                chunks.bindValue(4, chunk.revision > 0 ? chunk.revision : run.revision);
                if (!chunks.exec())
                    return failed(chunks.lastError(), error);
            }
        }
        return true;
    });
}

bool ResultsTable::remove(QSqlDatabase& db, const QVector<RunResult>& runs, QString* error) {
    return inTransaction(db, error, [&] {
        QSqlQuery q(db);
        for (const char* table : {"runs", "run_series"}) {
            if (!q.prepare(QStringLiteral("DELETE FROM %1 WHERE run_id = ? AND revision <= ?")
                               .arg(QLatin1String(table))))
                return failed(q.lastError(), error);
            for (const RunResult& run : runs) {
                q.bindValue(0, run.runId);
                q.bindValue(1, run.revision);
                if (!q.exec())
                    return failed(q.lastError(), error);
            }
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
    while (q.next())
        runs << readRun(q);
    return runs;
}

QVector<RunSeries::Chunk> ResultsTable::selectSeries(QSqlDatabase& db, const QString& runId,
                                                     bool* ok, QString* error) {
    QVector<RunSeries::Chunk> chunks;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    *ok = q.prepare(QStringLiteral("SELECT first_second, seconds, series, revision FROM "
                                   "run_series WHERE run_id = ? ORDER BY first_second"));
    if (*ok) {
        q.bindValue(0, runId);
        *ok = q.exec();
    }
    if (!*ok) {
        failed(q.lastError(), error);
        return chunks;
    }
    while (q.next())
        chunks.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(),
                       q.value(3).toLongLong()});
    return chunks;
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
    QStringList sets;
    for (const char* name : EndedColumns)
        sets << QStringLiteral("%1 = ?").arg(QLatin1String(name));
    return inTransaction(db, error, [&] {
        QSqlQuery row(db);
        QSqlQuery update(db);
        row.setForwardOnly(true);
        if (!row.prepare(QStringLiteral("SELECT %1 FROM runs WHERE run_id = ? AND finished = 0")
                             .arg(columnList())))
            return failed(row.lastError(), error);
        if (!update.prepare(QStringLiteral("UPDATE runs SET %1 WHERE run_id = ? AND finished = 0")
                                .arg(sets.join(QLatin1String(", ")))))
            return failed(update.lastError(), error);
        for (const QString& id : runIds) {
            row.bindValue(0, id);
            if (!row.exec())
                return failed(row.lastError(), error);
            if (!row.next())
                continue;
            RunResult run = readRun(row);
            row.finish();
            bool ok = false;
            const QVector<RunSeries::Chunk> chunks = selectSeries(db, id, &ok, error);
            if (!ok)
                return false;
            RunSeries series;
            QString why;
            if (!chunks.isEmpty() && RunSeries::fromChunks(chunks, &series, &why))
                run.takeSeriesTotals(series);
            else if (!chunks.isEmpty())
                qCWarning(dk61Results) << "the series of run" << id << "is not read back:" << why;
            run.ended = QLatin1String(RunResult::EndedUnexpectedly);
            int i = 0;
            for (const char* name : EndedColumns)
                update.bindValue(i++, column(QLatin1String(name))->get(run));
            update.bindValue(i, id);
            if (!update.exec())
                return failed(update.lastError(), error);
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
