#include "resultsworker.h"

#include "resultstable.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>
#include <QUuid>

#include <algorithm>

Q_LOGGING_CATEGORY(dk61Results, "dk61.results", QtWarningMsg)

namespace {

QString connectionName(const char* role) {
    return QStringLiteral("dk61-results-%1-%2")
        .arg(QLatin1String(role), QUuid::createUuid().toString(QUuid::WithoutBraces));
}

bool newerFirst(const RunResult& a, const RunResult& b) {
    return a.startedAt != b.startedAt ? a.startedAt > b.startedAt : a.runId < b.runId;
}

// `more` into `runs`, the later revision of a run winning (with the chunks of its series that
// only the other one carries).
void merge(QHash<QString, RunResult>& runs, const QVector<RunResult>& more) {
    for (const RunResult& r : more) {
        auto it = runs.find(r.runId);
        if (it == runs.end()) {
            runs.insert(r.runId, r);
        } else if (it->revision < r.revision) {
            RunResult newer = r;
            newer.keepSeriesOf(*it);
            *it = newer;
        } else {
            it->keepSeriesOf(r);
        }
    }
}

// `more` into `chunks`, a chunk of a later revision winning.
void mergeChunks(QVector<RunSeries::Chunk>& chunks, const QVector<RunSeries::Chunk>& more) {
    for (const RunSeries::Chunk& c : more) {
        auto same = std::find_if(chunks.begin(), chunks.end(), [&](const RunSeries::Chunk& o) {
            return o.firstSecond == c.firstSecond;
        });
        if (same == chunks.end())
            chunks.append(c);
        else if (same->revision <= c.revision)
            *same = c;
    }
}

} // namespace

ResultsWorker::ResultsWorker(const ResultsLocation& target, const QString& outboxPath,
                             const Timing& timing, std::shared_ptr<ResultsHandover> handover)
    : target(target), outbox(ResultsLocation::parse(QStringLiteral("sqlite:") + outboxPath)),
      timing(timing), handover(std::move(handover)), targetName(connectionName("target")),
      outboxName(connectionName("outbox")), retry(this), pauseMs(timing.firstRetryMs) {
    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, [this] { push(true); });
}

void ResultsWorker::start() {
    QDir().mkpath(QFileInfo(outbox.filePath).absolutePath());
    QSqlDatabase db = outbox.connection(outboxName, timing.connectTimeoutS);
    outboxOpen = db.open() && ResultsTable::prepare(db, &outboxError);
    if (!outboxOpen) {
        if (outboxError.isEmpty())
            outboxError = db.lastError().text();
        qCWarning(dk61Results) << "no outbox at" << outbox.filePath << outboxError;
    }
    push(true);
}

void ResultsWorker::takeQueue() {
    QVector<RunResult> runs;
    {
        QMutexLocker lock(&handover->mutex);
        runs.swap(handover->queue);
        handover->writing = !runs.isEmpty();
    }
    if (runs.isEmpty())
        return;
    keep(runs);
    // While a pause runs, the database is left alone: its end tries again.
    push(!retry.isActive());
    {
        QMutexLocker lock(&handover->mutex);
        handover->writing = false;
        handover->settled.wakeAll();
    }
    emit runsTaken();
}

void ResultsWorker::keep(const QVector<RunResult>& runs) {
    QString error;
    if (outboxOpen) {
        QSqlDatabase db = QSqlDatabase::database(outboxName, false);
        if (ResultsTable::upsert(db, runs, &error))
            return;
        qCWarning(dk61Results) << "outbox write failed:" << error;
    }
    merge(held, runs);
}

QVector<RunResult> ResultsWorker::kept(const ResultsFilter& filter) {
    QHash<QString, RunResult> all;
    if (outboxOpen) {
        QSqlDatabase db = QSqlDatabase::database(outboxName, false);
        bool ok = false;
        QString error;
        merge(all, ResultsTable::select(db, filter, &ok, &error));
    }
    QVector<RunResult> runs = all.values().toVector();
    std::sort(runs.begin(), runs.end(), newerFirst);
    return runs;
}

void ResultsWorker::push(bool mayConnect) {
    QVector<RunResult> runs = kept(ResultsFilter());
    if (outboxOpen) {
        // The curves go with their runs.
        QSqlDatabase box = QSqlDatabase::database(outboxName, false);
        for (RunResult& r : runs) {
            bool ok = false;
            QString error;
            r.series = ResultsTable::selectSeries(box, r.runId, &ok, &error);
        }
    }
    runs += held.values().toVector();
    waiting = runs.size();
    if (runs.isEmpty() && !mayConnect) {
        report();
        return;
    }
    if (!connected && !(mayConnect && connectTarget())) {
        report();
        return;
    }
    QString error;
    QSqlDatabase db = QSqlDatabase::database(targetName, false);
    if (!ResultsTable::upsert(db, runs, &error)) {
        disconnectTarget();
        failed(error);
        return;
    }
    if (outboxOpen) {
        QSqlDatabase box = QSqlDatabase::database(outboxName, false);
        if (!ResultsTable::remove(box, runs, &error))
            qCWarning(dk61Results) << "outbox not emptied:" << error;
    }
    for (const RunResult& r : runs) {
        auto it = held.find(r.runId);
        if (it != held.end() && it->revision <= r.revision)
            held.erase(it);
    }
    waiting = kept(ResultsFilter()).size() + held.size();
    pauseMs = timing.firstRetryMs;
    lastError.clear();
    report();
}

bool ResultsWorker::connectTarget() {
    if (connected)
        return true;
    if (target.kind == ResultsLocation::Kind::Invalid) {
        lastError = target.error;
        return false;
    }
    if (target.kind == ResultsLocation::Kind::Postgres &&
        !QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        failed(QStringLiteral("Qt's PostgreSQL driver is missing (Debian package "
                              "libqt5sql5-psql)"));
        return false;
    }
    if (target.kind == ResultsLocation::Kind::Sqlite)
        QDir().mkpath(QFileInfo(target.filePath).absolutePath());
    if (!targetAdded) {
        target.connection(targetName, timing.connectTimeoutS);
        targetAdded = true;
    }
    QSqlDatabase db = QSqlDatabase::database(targetName, false);
    QString error;
    if (!db.open()) {
        failed(db.lastError().text().trimmed());
        return false;
    }
    if (!ResultsTable::prepare(db, &error)) {
        db.close();
        failed(error);
        return false;
    }
    qCDebug(dk61Results) << "connected to" << target.describe();
    connected = true;
    return true;
}

void ResultsWorker::disconnectTarget() {
    if (targetAdded)
        QSqlDatabase::database(targetName, false).close();
    connected = false;
}

void ResultsWorker::failed(const QString& why) {
    lastError = why;
    qCDebug(dk61Results) << target.describe() << why << "- next try in" << pauseMs << "ms";
    retry.start(pauseMs);
    pauseMs = qMin(pauseMs * 2, timing.maxRetryMs);
    report();
}

void ResultsWorker::report() {
    ResultsStatus s;
    s.where = target.describe();
    s.connected = connected;
    s.waiting = waiting;
    s.error = lastError.isEmpty() ? outboxError : lastError;
    emit statusChanged(s);
}

void ResultsWorker::query(int id, const ResultsFilter& filter) {
    QHash<QString, RunResult> all;
    QString error;
    if (connectTarget()) {
        bool ok = false;
        QSqlDatabase db = QSqlDatabase::database(targetName, false);
        merge(all, ResultsTable::select(db, filter, &ok, &error));
        if (!ok)
            disconnectTarget();
    } else {
        error = lastError;
    }
    // The runs still waiting are this bench's newest word on them.
    merge(all, kept(filter));
    QVector<RunResult> runs = all.values().toVector();
    std::sort(runs.begin(), runs.end(), newerFirst);
    if (filter.limit > 0 && runs.size() > filter.limit)
        runs.resize(filter.limit);
    emit queryDone(id, runs, error);
}

void ResultsWorker::series(int id, const QString& runId) {
    QVector<RunSeries::Chunk> chunks;
    QString error;
    if (connectTarget()) {
        bool ok = false;
        QSqlDatabase db = QSqlDatabase::database(targetName, false);
        chunks = ResultsTable::selectSeries(db, runId, &ok, &error);
        if (!ok)
            disconnectTarget();
    } else {
        error = lastError;
    }
    // What still waits on this bench is its newest word on the run.
    if (outboxOpen) {
        bool ok = false;
        QString ignored;
        QSqlDatabase box = QSqlDatabase::database(outboxName, false);
        mergeChunks(chunks, ResultsTable::selectSeries(box, runId, &ok, &ignored));
    }
    mergeChunks(chunks, held.value(runId).series);
    emit seriesDone(id, chunks, error);
}

void ResultsWorker::stop() {
    retry.stop();
    disconnectTarget();
    if (targetAdded)
        QSqlDatabase::removeDatabase(targetName);
    QSqlDatabase::database(outboxName, false).close();
    QSqlDatabase::removeDatabase(outboxName);
    thread()->quit();
}
