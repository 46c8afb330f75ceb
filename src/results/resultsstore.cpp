#include "resultsstore.h"

#include "resultstable.h"
#include "settings/programfolders.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

ResultsStore::ResultsStore(const Options& options, QObject* parent)
    : QObject(parent), options(options),
      outboxPath(options.outboxPath.isEmpty() ? defaultOutboxPath() : options.outboxPath),
      handover(std::make_shared<ResultsHandover>()), thread(new QThread), updateTimer(this) {
    qRegisterMetaType<ResultsStatus>();
    qRegisterMetaType<QVector<RunResult>>();
    qRegisterMetaType<QVector<RunSeries::Chunk>>();
    const ResultsLocation target = ResultsLocation::parse(options.location);
    current.where = target.describe();
    // No export is written over the database or its outbox.
    ProgramFolders::setInUse(QStringLiteral("results"), {target.filePath, outboxPath});
    worker = new ResultsWorker(target, outboxPath, options.timing, handover);
    worker->moveToThread(thread);
    connect(worker, &ResultsWorker::statusChanged, this, &ResultsStore::setStatus);
    connect(worker, &ResultsWorker::queryDone, this, &ResultsStore::queryDone);
    connect(worker, &ResultsWorker::seriesDone, this, &ResultsStore::seriesDone);
    connect(worker, &ResultsWorker::runsTaken, this, &ResultsStore::runsWritten);
    updateTimer.setInterval(options.updateIntervalMs);
    connect(&updateTimer, &QTimer::timeout, this, &ResultsStore::submitChanged);
    thread->setObjectName(QStringLiteral("results"));
    thread->start();
    QMetaObject::invokeMethod(worker, &ResultsWorker::start, Qt::QueuedConnection);
}

ResultsStore::~ResultsStore() {
    ProgramFolders::setInUse(QStringLiteral("results"), {});
    const QDeadlineTimer deadline(options.shutdownMs);
    flush(options.shutdownMs);
    // After what is queued for it, the worker closes its connections and ends the thread.
    QMetaObject::invokeMethod(worker, &ResultsWorker::stop, Qt::QueuedConnection);
    // A worker that has just written what was flushed gets a moment to end.
    if (thread->wait(ulong(qMax<qint64>(200, deadline.remainingTime())))) {
        delete worker;
        delete thread;
    } else {
        // Still in a call to the server: left to the end of the process (its runs are safe in
        // the outbox).
        qCWarning(dk61Results) << "the results database does not answer; leaving it";
    }
}

QString ResultsStore::defaultOutboxPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QLatin1String("/results-outbox.sqlite");
}

void ResultsStore::update(const RunResult& run) {
    auto it = going.find(run.runId);
    if (it == going.end()) {
        submit(run);
        going.insert(run.runId, run)->series.clear();
        return;
    }
    // The chunks of the version it replaces have not been written yet.
    RunResult latest = run;
    latest.keepSeriesOf(*it);
    *it = latest;
    changed.insert(run.runId);
    if (!updateTimer.isActive())
        updateTimer.start();
}

void ResultsStore::finish(const RunResult& run) {
    RunResult last = run;
    last.keepSeriesOf(going.value(run.runId));
    going.remove(run.runId);
    changed.remove(run.runId);
    last.finished = true;
    submit(last);
}

void ResultsStore::submitChanged() {
    for (const QString& id : qAsConst(changed)) {
        auto it = going.find(id);
        if (it == going.end())
            continue;
        submit(*it);
        it->series.clear();
    }
    changed.clear();
    updateTimer.stop();
}

void ResultsStore::submit(RunResult run) {
    if (run.runId.isEmpty()) {
        qCWarning(dk61Results) << "a run without an id is not recorded";
        return;
    }
    lastRevision = qMax(lastRevision + 1, QDateTime::currentMSecsSinceEpoch());
    run.revision = lastRevision;
    for (RunSeries::Chunk& chunk : run.series) {
        if (chunk.revision == 0)
            chunk.revision = run.revision;
    }
    {
        QMutexLocker lock(&handover->mutex);
        auto same = std::find_if(handover->queue.begin(), handover->queue.end(),
                                 [&](const RunResult& r) { return r.runId == run.runId; });
        if (same != handover->queue.end()) {
            run.keepSeriesOf(*same);
            *same = run;
        } else {
            handover->queue.append(run);
        }
    }
    QMetaObject::invokeMethod(worker, &ResultsWorker::takeQueue, Qt::QueuedConnection);
}

bool ResultsStore::flush(int timeoutMs) {
    submitChanged();
    QDeadlineTimer deadline(timeoutMs);
    QVector<RunResult> left;
    {
        QMutexLocker lock(&handover->mutex);
        while ((!handover->queue.isEmpty() || handover->writing) && !deadline.hasExpired())
            handover->settled.wait(&handover->mutex, deadline);
        left.swap(handover->queue);
    }
    if (!left.isEmpty())
        keepInOutbox(left);
    // The worker's word on what waits arrives as a queued status.
    QCoreApplication::sendPostedEvents(this);
    return left.isEmpty() && current.waiting == 0;
}

void ResultsStore::keepInOutbox(const QVector<RunResult>& runs) {
    const QString name = QStringLiteral("dk61-results-shutdown-%1").arg(quintptr(this));
    QString error;
    {
        const ResultsLocation box = ResultsLocation::parse(QStringLiteral("sqlite:") + outboxPath);
        QSqlDatabase db = box.connection(name, qMax(1, options.shutdownMs / 1000));
        const bool kept = db.open() && ResultsTable::prepare(db, &error) &&
                          ResultsTable::upsert(db, runs, &error);
        if (!kept)
            qCWarning(dk61Results)
                << runs.size() << "runs not kept:" << error << db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int ResultsStore::querySeries(const QString& runId) {
    const int id = ++lastQuery;
    QMetaObject::invokeMethod(
        worker, [w = worker, id, runId] { w->series(id, runId); }, Qt::QueuedConnection);
    return id;
}

int ResultsStore::query(const ResultsFilter& filter) {
    const int id = ++lastQuery;
    QMetaObject::invokeMethod(
        worker, [w = worker, id, filter] { w->query(id, filter); }, Qt::QueuedConnection);
    return id;
}

void ResultsStore::setStatus(const ResultsStatus& s) {
    if (s == current)
        return;
    current = s;
    emit statusChanged(s);
}
