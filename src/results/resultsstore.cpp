#include "resultsstore.h"

#include "resultsoutbox.h"
#include "resultstable.h"
#include "runjournal.h"
#include "settings/programfolders.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

namespace {

bool newerFirst(const RunResult& a, const RunResult& b) {
    return a.startedAt != b.startedAt ? a.startedAt > b.startedAt : a.runId < b.runId;
}

} // namespace

ResultsStore::ResultsStore(const Options& options, QObject* parent)
    : QObject(parent), options(options),
      outboxPath(options.outboxPath.isEmpty() ? defaultOutboxPath() : options.outboxPath),
      handover(std::make_shared<ResultsHandover>()),
      outbox(std::make_unique<ResultsOutbox>(outboxPath, options.spareFolders)),
      journal(std::make_unique<RunJournal>(QStringList{QFileInfo(outboxPath).absolutePath()} +
                                           options.spareFolders)),
      thread(new QThread), updateTimer(this), saveAgain(this), watch(this) {
    qRegisterMetaType<ResultsStatus>();
    qRegisterMetaType<QVector<RunResult>>();
    qRegisterMetaType<QVector<RunSeries::Chunk>>();
    const ResultsLocation target = ResultsLocation::parse(options.location);
    fromWorker.where = target.describe();
    // No export is written over the database or an outbox.
    ProgramFolders::setInUse(QStringLiteral("results"),
                             QStringList{target.filePath} + outbox->paths());

    // The runs of programs that ended while measuring are marked where they wait, then in the
    // database; what waits from earlier sessions (their curves with them) goes to the database
    // first.
    const QStringList ended = journal->claimEnded();
    outbox->endUnexpectedly(ended);
    const QVector<RunResult> left = outbox->waitingToSend();
    for (const RunResult& r : left) {
        waiting.insert(r.runId, r.revision);
        lastRevision = qMax(lastRevision, r.revision);
    }
    handover->queue = left;
    handover->toMark = ended;
    handover->asked = 1;

    worker = new ResultsWorker(target, options.timing, handover);
    worker->moveToThread(thread);
    connect(worker, &ResultsWorker::statusChanged, this, &ResultsStore::workerStatus);
    connect(worker, &ResultsWorker::reported, this, &ResultsStore::collect);
    connect(worker, &ResultsWorker::queryDone, this, &ResultsStore::answered);
    connect(worker, &ResultsWorker::seriesDone, this, &ResultsStore::seriesAnswered);
    updateTimer.setInterval(options.updateIntervalMs);
    connect(&updateTimer, &QTimer::timeout, this, &ResultsStore::submitChanged);
    saveAgain.setInterval(options.saveAgainMs);
    connect(&saveAgain, &QTimer::timeout, this, &ResultsStore::saveNow);
    watch.setInterval(qBound(50, options.timing.answerMs / 5, 1000));
    connect(&watch, &QTimer::timeout, this, &ResultsStore::updateStatus);
    watch.start();
    thread->setObjectName(QStringLiteral("results"));
    thread->start();
    QMetaObject::invokeMethod(worker, &ResultsWorker::start, Qt::QueuedConnection);
    updateStatus();
}

ResultsStore::~ResultsStore() {
    ProgramFolders::setInUse(QStringLiteral("results"), {});
    blockSignals(true);
    const QDeadlineTimer deadline(options.shutdownMs);
    // The last moment is kept for the worker to end after what was flushed.
    flush(qMax(0, options.shutdownMs - 200));
    // After what is queued for it, the worker closes its connection and ends the thread.
    QMetaObject::invokeMethod(worker, &ResultsWorker::stop, Qt::QueuedConnection);
    if (thread->wait(ulong(qMax<qint64>(0, deadline.remainingTime())))) {
        delete worker;
        delete thread;
    } else {
        // Still in a call to the database: left to the end of the process (its runs are safe in
        // the outbox).
        qCWarning(dk61Results) << "the results database does not answer; leaving it";
    }
    collect();
    for (const RunResult& r : qAsConst(unsaved))
        qCWarning(dk61Results).noquote()
            << QStringLiteral("run NOT SAVED (%1): %2").arg(unsavedWhy, r.columnText());
    journal->close(!unsaved.isEmpty());
}

QString ResultsStore::defaultOutboxPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           QLatin1String(ResultsOutbox::FileName);
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
    journal->add(run.runId);
    // The chunks of a version that no outbox took go with this one.
    const auto held = unsaved.constFind(run.runId);
    if (held != unsaved.constEnd())
        run.keepSeriesOf(*held);
    // On disk before anything can wait, its curve with it: from here on the run survives the
    // program.
    if (outbox->keep({run})) {
        unsaved.remove(run.runId);
    } else {
        unsaved.insert(run.runId, run);
        unsavedWhy = outbox->reason();
        saveAgain.start();
    }
    waiting.insert(run.runId, run.revision);
    handOver({run});
    updateStatus();
    emit runsWritten();
}

void ResultsStore::handOver(const QVector<RunResult>& runs) {
    {
        QMutexLocker lock(&handover->mutex);
        for (const RunResult& run : runs) {
            auto same = std::find_if(handover->queue.begin(), handover->queue.end(),
                                     [&](const RunResult& r) { return r.runId == run.runId; });
            if (same != handover->queue.end()) {
                RunResult latest = run;
                latest.keepSeriesOf(*same);
                *same = latest;
            } else {
                handover->queue.append(run);
            }
        }
        ++handover->asked;
    }
    QMetaObject::invokeMethod(worker, &ResultsWorker::takeQueue, Qt::QueuedConnection);
}

bool ResultsStore::saveNow() {
    if (!unsaved.isEmpty()) {
        if (outbox->keep(unsaved.values().toVector()))
            unsaved.clear();
        else
            unsavedWhy = outbox->reason();
    }
    updateStatus();
    return unsaved.isEmpty();
}

void ResultsStore::collect() {
    QVector<RunResult> taken;
    QStringList marked;
    {
        QMutexLocker lock(&handover->mutex);
        taken.swap(handover->taken);
        marked.swap(handover->marked);
    }
    if (!taken.isEmpty())
        outbox->remove(taken);
    for (const RunResult& r : qAsConst(taken)) {
        auto w = waiting.find(r.runId);
        if (w != waiting.end() && *w <= r.revision)
            waiting.erase(w);
        auto u = unsaved.find(r.runId);
        if (u != unsaved.end() && u->revision <= r.revision)
            unsaved.erase(u);
    }
    if (!marked.isEmpty()) {
        journal->releaseClaimed();
        emit runsWritten();
    }
    updateStatus();
}

bool ResultsStore::flush(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    submitChanged();
    saveNow();
    int askedNow = 0;
    for (;;) {
        {
            QMutexLocker lock(&handover->mutex);
            askedNow = qMax(askedNow, handover->asked);
            const bool news = !handover->taken.isEmpty() || !handover->marked.isEmpty();
            if (!news) {
                // Done when the database has every run, or the worker has tried them all.
                if (waiting.isEmpty() || handover->done >= askedNow || deadline.hasExpired())
                    break;
                handover->settled.wait(&handover->mutex, deadline);
            }
        }
        collect();
    }
    collect();
    return waiting.isEmpty() && unsaved.isEmpty();
}

// A question for the worker; while the database does not answer, the status answers it at once.
template <typename Question> void ResultsStore::ask(Question question) {
    if (!current.answering)
        QTimer::singleShot(0, this, [this] { updateStatus(); });
    else
        QMetaObject::invokeMethod(worker, std::move(question), Qt::QueuedConnection);
}

int ResultsStore::query(const ResultsFilter& filter) {
    const int id = ++lastQuery;
    asked.insert(id, filter);
    ask([w = worker, id, filter] { w->query(id, filter); });
    return id;
}

int ResultsStore::querySeries(const QString& runId) {
    const int id = ++lastQuery;
    askedSeries.insert(id, runId);
    ask([w = worker, id, runId] { w->series(id, runId); });
    return id;
}

void ResultsStore::seriesAnswered(int id, const QVector<RunSeries::Chunk>& found,
                                  const QString& error) {
    const auto it = askedSeries.find(id);
    if (it == askedSeries.end())
        return; // answered from the outbox already
    RunResult run;
    run.runId = *it;
    askedSeries.erase(it);
    // What still waits on this bench is its newest word on the run.
    run.series = outbox->series(run.runId);
    run.keepSeriesOf(unsaved.value(run.runId));
    RunResult stored;
    stored.series = found;
    run.keepSeriesOf(stored);
    emit seriesDone(id, run.series, error);
}

void ResultsStore::answered(int id, const QVector<RunResult>& found, const QString& error) {
    const auto it = asked.find(id);
    if (it == asked.end())
        return; // answered from the outbox already
    const ResultsFilter filter = *it;
    asked.erase(it);
    QHash<QString, RunResult> all;
    RunResult::keepLatest(all, found);
    // The runs still waiting are this bench's newest word on them.
    RunResult::keepLatest(all, outbox->waiting(filter));
    QVector<RunResult> runs = all.values().toVector();
    std::sort(runs.begin(), runs.end(), newerFirst);
    if (filter.limit > 0 && runs.size() > filter.limit)
        runs.resize(filter.limit);
    emit queryDone(id, runs, error);
}

void ResultsStore::workerStatus(const ResultsStatus& s) {
    fromWorker = s;
    updateStatus();
}

void ResultsStore::updateStatus() {
    ResultsStatus s = fromWorker;
    s.waiting = waiting.size();
    s.unsaved = unsaved.size();
    s.unsavedWhy = unsaved.isEmpty() ? QString() : unsavedWhy;
    const qint64 since = handover->callSince;
    s.answering =
        since == 0 || QDateTime::currentMSecsSinceEpoch() - since < options.timing.answerMs;
    const QStringList outboxNotices = outbox->takeNotices();
    if (!outboxNotices.isEmpty())
        notice = outboxNotices.join(QLatin1Char(' '));
    if (!notice.isEmpty())
        s.notice = s.notice.isEmpty() ? notice : s.notice + QLatin1Char(' ') + notice;
    if (unsaved.isEmpty())
        saveAgain.stop();
    if (!s.answering) {
        // Queries wait for no call that hangs: the outbox answers them.
        for (int id : asked.keys())
            answered(id, {}, QStringLiteral("it does not answer"));
        for (int id : askedSeries.keys())
            seriesAnswered(id, {}, QStringLiteral("it does not answer"));
    }
    if (s == current)
        return;
    current = s;
    emit statusChanged(s);
}
