#ifndef RESULTSSTORE_H
#define RESULTSSTORE_H

#include "resultsfilter.h"
#include "resultslocation.h"
#include "resultsstatus.h"
#include "resultsworker.h"
#include "runresult.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

class QThread;

// The record of every run in the results database (SQLite or PostgreSQL, see ResultsLocation).
// Lives on the caller's thread and never waits for the database there: the writing, the
// connecting and the queries happen on a thread of its own (ResultsWorker).
//
// A run is written when its first version arrives, then at most every `updateIntervalMs` while
// it changes, and at once when it ends; a program that is killed loses at most that interval.
class ResultsStore : public QObject {
    Q_OBJECT
public:
    // The settings key of the location.
    static constexpr const char* SettingsKey = "resultsDatabase";

    struct Options {
        QString location;   // the settings value, see ResultsLocation
        QString outboxPath; // empty: results-outbox.sqlite in the application data folder
        int updateIntervalMs = 10000;
        ResultsWorker::Timing timing;
        int shutdownMs = 2000; // how long the destructor waits for the database, at most
    };

    explicit ResultsStore(const Options& options, QObject* parent = nullptr);
    // Flushes with the shut-down bound.
    ~ResultsStore() override;

    static QString defaultOutboxPath();

    // The run as it stands now (its first version is written at once).
    void update(const RunResult& run);
    // The run has ended: written at once, marked finished.
    void finish(const RunResult& run);
    // Hands every pending version to the database and waits at most `timeoutMs` for it; what
    // the worker has not taken by then goes to the outbox from this thread. True when every
    // run is in the database (none waits in the outbox).
    bool flush(int timeoutMs);

    // Asks for the runs that pass `filter`, newest first, the runs still waiting in the outbox
    // included; answered by queryDone with the returned id.
    int query(const ResultsFilter& filter);

    // Asks for the series of the run `runId` (what waits in the outbox included); answered by
    // seriesDone with the returned id.
    int querySeries(const QString& runId);

    ResultsStatus status() const { return current; }

signals:
    void statusChanged(const ResultsStatus& status);
    // Runs handed to the store were written: a query now finds them as they are.
    void runsWritten();
    // `error` says why the database could not be read; `runs` then holds what waits locally.
    void queryDone(int id, const QVector<RunResult>& runs, const QString& error);
    // The chunks of a series, in any order; `error` as for queryDone.
    void seriesDone(int id, const QVector<RunSeries::Chunk>& chunks, const QString& error);

private:
    void submit(RunResult run);
    void submitChanged();
    void keepInOutbox(const QVector<RunResult>& runs);
    void setStatus(const ResultsStatus& s);

    const Options options;
    const QString outboxPath;
    const std::shared_ptr<ResultsHandover> handover;
    QThread* thread;
    ResultsWorker* worker;
    // The runs going on, in their latest version, and those changed since last written.
    QHash<QString, RunResult> going;
    QSet<QString> changed;
    QTimer updateTimer;
    qint64 lastRevision = 0;
    int lastQuery = 0;
    ResultsStatus current;
};

#endif // RESULTSSTORE_H
