#include "resultsworker.h"

#include "resultstable.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

Q_LOGGING_CATEGORY(dk61Results, "dk61.results", QtWarningMsg)

namespace {

// Marks the time of a call to the database for the store's watch.
class Call {
public:
    explicit Call(ResultsHandover& h) : h(h) { h.callSince = QDateTime::currentMSecsSinceEpoch(); }
    ~Call() { h.callSince = 0; }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

private:
    ResultsHandover& h;
};

} // namespace

ResultsWorker::ResultsWorker(const ResultsLocation& target, const Timing& timing,
                             std::shared_ptr<ResultsHandover> handover)
    : target(target), timing(timing), handover(std::move(handover)),
      targetName(QStringLiteral("dk61-results-target-") +
                 QUuid::createUuid().toString(QUuid::WithoutBraces)),
      retry(this), pauseMs(timing.firstRetryMs) {
    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, [this] { push(true); });
}

void ResultsWorker::start() {
    const int asked = takeHandedOver();
    push(true);
    settle(asked);
}

void ResultsWorker::takeQueue() {
    const int asked = takeHandedOver();
    // While a pause runs, the database is left alone: its end tries again.
    if (!pending.isEmpty() || !toMark.isEmpty())
        push(!retry.isActive());
    settle(asked);
}

int ResultsWorker::takeHandedOver() {
    QVector<RunResult> runs;
    QMutexLocker lock(&handover->mutex);
    runs.swap(handover->queue);
    toMark << handover->toMark;
    toMark.removeDuplicates();
    handover->toMark.clear();
    RunResult::keepLatest(pending, runs);
    return handover->asked;
}

void ResultsWorker::settle(int asked) {
    QMutexLocker lock(&handover->mutex);
    handover->done = qMax(handover->done, asked);
    handover->settled.wakeAll();
}

void ResultsWorker::push(bool mayConnect) {
    if (pending.isEmpty() && toMark.isEmpty() && !mayConnect) {
        report();
        return;
    }
    if (!connected && !(mayConnect && connectTarget())) {
        report();
        return;
    }
    const QVector<RunResult> runs = pending.values().toVector();
    QString error;
    bool sent = false;
    {
        Call call(*handover);
        QSqlDatabase db = QSqlDatabase::database(targetName, false);
        // The runs first: a run that waited in the outbox goes in before it is marked.
        sent = ResultsTable::upsert(db, runs, &error) &&
               ResultsTable::endUnexpectedly(db, toMark, &error);
    }
    if (!sent) {
        if (setAsideIfDamaged()) {
            push(true);
            return;
        }
        disconnectTarget();
        failed(error);
        return;
    }
    for (const RunResult& r : runs) {
        auto it = pending.find(r.runId);
        if (it != pending.end() && it->revision <= r.revision)
            pending.erase(it);
    }
    {
        QMutexLocker lock(&handover->mutex);
        handover->taken << runs;
        handover->marked << toMark;
        handover->settled.wakeAll();
    }
    toMark.clear();
    emit reported();
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
        QSqlDatabase db = target.connection(targetName, timing.connectTimeoutS);
        if (target.kind == ResultsLocation::Kind::Sqlite)
            db.setConnectOptions(
                QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(timing.lockTimeoutMs));
        targetAdded = true;
    }
    QSqlDatabase db = QSqlDatabase::database(targetName, false);
    QString error;
    bool ready = false;
    {
        Call call(*handover);
        ready = db.open();
        if (!ready)
            error = db.lastError().text().trimmed();
        else if (target.kind == ResultsLocation::Kind::Postgres)
            ready = limitStatements(db, &error);
        ready = ready && ResultsTable::prepare(db, &error);
    }
    if (!ready) {
        if (setAsideIfDamaged())
            return connectTarget();
        db.close();
        failed(error);
        return false;
    }
    qCDebug(dk61Results) << "connected to" << target.describe();
    connected = true;
    return true;
}

bool ResultsWorker::limitStatements(QSqlDatabase& db, QString* error) {
    // Every statement gives up in time: one that waits for a lock held by another session after
    // lockTimeoutMs, any other after statementTimeoutMs. (The server's notices on tables that
    // exist already stay off the program's error output.)
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SET statement_timeout = %1").arg(timing.statementTimeoutMs)) &&
        q.exec(QStringLiteral("SET lock_timeout = %1").arg(timing.lockTimeoutMs)) &&
        q.exec(QStringLiteral("SET client_min_messages = warning")))
        return true;
    *error = q.lastError().text().trimmed();
    return false;
}

bool ResultsWorker::setAsideIfDamaged() {
    if (target.kind != ResultsLocation::Kind::Sqlite || setAsideDone || !targetAdded)
        return false;
    QSqlDatabase db = QSqlDatabase::database(targetName, false);
    if (!ResultsTable::damaged(db))
        return false;
    setAsideDone = true;
    db.close();
    connected = false;
    const QString aside = ResultsLocation::setAside(target.filePath);
    if (aside.isEmpty()) {
        qCWarning(dk61Results) << "the damaged results database" << target.filePath
                               << "cannot be renamed";
        return false;
    }
    notice = QStringLiteral("The results database %1 was damaged; it is kept as %2 and a new one "
                            "was started.")
                 .arg(QDir::toNativeSeparators(target.filePath), QDir::toNativeSeparators(aside));
    qCWarning(dk61Results).noquote() << notice;
    report();
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
    s.error = lastError;
    s.notice = notice;
    emit statusChanged(s);
}

// One read of the database under the call watch; an empty result and `error` when it fails.
template <typename Result, typename Select>
Result ResultsWorker::read(QString* error, Select select) {
    Result found;
    if (!connectTarget()) {
        *error = lastError;
        return found;
    }
    bool ok = false;
    QSqlDatabase db = QSqlDatabase::database(targetName, false);
    {
        Call call(*handover);
        found = select(db, &ok, error);
    }
    if (!ok)
        disconnectTarget();
    return found;
}

void ResultsWorker::query(int id, const ResultsFilter& filter) {
    QString error;
    const auto runs = read<QVector<RunResult>>(&error, [&](QSqlDatabase& db, bool* ok, QString* e) {
        return ResultsTable::select(db, filter, ok, e);
    });
    emit queryDone(id, runs, error);
}

void ResultsWorker::series(int id, const QString& runId) {
    QString error;
    const auto chunks =
        read<QVector<RunSeries::Chunk>>(&error, [&](QSqlDatabase& db, bool* ok, QString* e) {
            return ResultsTable::selectSeries(db, runId, ok, e);
        });
    emit seriesDone(id, chunks, error);
}

void ResultsWorker::stop() {
    retry.stop();
    disconnectTarget();
    if (targetAdded)
        QSqlDatabase::removeDatabase(targetName);
    thread()->quit();
}
