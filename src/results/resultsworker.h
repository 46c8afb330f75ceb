#ifndef RESULTSWORKER_H
#define RESULTSWORKER_H

#include "resultsfilter.h"
#include "resultslocation.h"
#include "resultsstatus.h"
#include "runresult.h"

#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QObject>
#include <QTimer>
#include <QWaitCondition>

#include <memory>

Q_DECLARE_LOGGING_CATEGORY(dk61Results) // dk61.results: results database

// The runs a ResultsStore hands to its worker, under one mutex. Shared: a worker that a
// store had to leave behind at its end still uses it.
struct ResultsHandover {
    QMutex mutex;
    QWaitCondition settled; // woken when the worker has taken the queue and is done with it
    QVector<RunResult> queue;
    bool writing = false;
};

// All the database work of a ResultsStore, on its own thread. Every run goes to the local
// outbox (an SQLite file) first and leaves it once the results database has it, so a database
// that cannot be reached, or a program that ends, loses nothing; an upsert by run_id means a
// run sent twice is stored once. While the database is away the worker tries again after a
// growing pause.
class ResultsWorker : public QObject {
    Q_OBJECT
public:
    struct Timing {
        int connectTimeoutS = 3;
        int firstRetryMs = 2000;
        int maxRetryMs = 60000;
    };

    ResultsWorker(const ResultsLocation& target, const QString& outboxPath, const Timing& timing,
                  std::shared_ptr<ResultsHandover> handover);

    // Each on the worker's thread.
    void start(); // opens the outbox, connects and sends what waits from an earlier run
    void takeQueue();
    void query(int id, const ResultsFilter& filter);
    // The series of the run `runId`, from the database and what waits in the outbox.
    void series(int id, const QString& runId);
    void stop(); // closes the connections and ends the thread

signals:
    void statusChanged(const ResultsStatus& status);
    // Runs handed over were kept (in the database, or in the outbox until it takes them).
    void runsTaken();
    void queryDone(int id, const QVector<RunResult>& runs, const QString& error);
    void seriesDone(int id, const QVector<RunSeries::Chunk>& chunks, const QString& error);

private:
    bool connectTarget();
    void disconnectTarget();
    // Sends the outbox to the database; with `mayConnect`, connects first when needed.
    void push(bool mayConnect);
    void keep(const QVector<RunResult>& runs);
    QVector<RunResult> kept(const ResultsFilter& filter);
    void failed(const QString& why);
    void report();

    const ResultsLocation target;
    const ResultsLocation outbox;
    const Timing timing;
    const std::shared_ptr<ResultsHandover> handover;
    const QString targetName;
    const QString outboxName;
    bool targetAdded = false;
    bool connected = false;
    bool outboxOpen = false;
    // Runs the outbox could not take: kept in memory instead.
    QHash<QString, RunResult> held;
    int waiting = 0;
    QString lastError;
    QString outboxError;
    QTimer retry;
    int pauseMs;
};

#endif // RESULTSWORKER_H
