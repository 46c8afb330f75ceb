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
#include <QSqlDatabase>
#include <QTimer>
#include <QWaitCondition>

#include <atomic>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(dk61Results) // dk61.results: results database

// What a ResultsStore and its worker hand each other, under one mutex. Shared: a worker that a
// store had to leave behind at its end still uses it.
struct ResultsHandover {
    QMutex mutex;
    QWaitCondition settled; // woken whenever the worker has reported
    // Store to worker: the versions to send (already in the outbox) and the runs to mark as
    // ended unexpectedly.
    QVector<RunResult> queue;
    QStringList toMark;
    int asked = 0; // counts the hand-overs
    // Worker to store: the versions the database has, the runs it has marked, and the last
    // hand-over whose runs it has tried to send.
    QVector<RunResult> taken;
    QStringList marked;
    int done = 0;
    // When the worker's current call to the database began (ms since the epoch); 0 between
    // calls. Read without the mutex.
    std::atomic<qint64> callSince{0};
};

// The results database's side of a ResultsStore, on a thread of its own: connects, sends the
// runs handed over (an upsert by run_id, so a run sent twice is stored once), marks the runs of
// programs that ended without finishing them, and answers queries. While the database is away
// it tries again after a growing pause. It never touches the outbox: a call that hangs holds
// up nothing but this thread.
class ResultsWorker : public QObject {
    Q_OBJECT
public:
    struct Timing {
        int connectTimeoutS = 3;
        int firstRetryMs = 2000;
        int maxRetryMs = 60000;
        // PostgreSQL gives up a statement after statementTimeoutMs and a wait for a lock after
        // lockTimeoutMs; SQLite waits lockTimeoutMs for a file another program writes.
        int statementTimeoutMs = 30000;
        int lockTimeoutMs = 10000;
        // A call that runs longer is shown as a database not answering.
        int answerMs = 5000;
    };

    ResultsWorker(const ResultsLocation& target, const Timing& timing,
                  std::shared_ptr<ResultsHandover> handover);

    // Each on the worker's thread.
    void start(); // connects and sends what was handed over before the start
    void takeQueue();
    void query(int id, const ResultsFilter& filter);
    // The chunks of the series of the run `runId` that the database has.
    void series(int id, const QString& runId);
    void stop(); // closes the connection and ends the thread

signals:
    // connected, error and notice; the store counts the runs itself.
    void statusChanged(const ResultsStatus& status);
    // Something was added to `taken` or `marked`.
    void reported();
    // The database's runs that pass `filter`; `error` when it could not be read.
    void queryDone(int id, const QVector<RunResult>& runs, const QString& error);
    // The database's chunks of a series; `error` when it could not be read.
    void seriesDone(int id, const QVector<RunSeries::Chunk>& chunks, const QString& error);

private:
    // Moves what the store handed over into `pending` and `toMark`; the hand-over's number.
    int takeHandedOver();
    bool connectTarget();
    template <typename Result, typename Select> Result read(QString* error, Select select);
    bool limitStatements(QSqlDatabase& db, QString* error);
    void disconnectTarget();
    // Sends the runs pending and the marks; with `mayConnect`, connects first when needed.
    void push(bool mayConnect);
    // The target is an SQLite file that SQLite calls damaged: it is set aside (once a session)
    // and a new one is started.
    bool setAsideIfDamaged();
    void failed(const QString& why);
    void report();
    void settle(int asked);

    const ResultsLocation target;
    const Timing timing;
    const std::shared_ptr<ResultsHandover> handover;
    const QString targetName;
    bool targetAdded = false;
    bool connected = false;
    bool setAsideDone = false;
    QHash<QString, RunResult> pending;
    QStringList toMark;
    QString lastError;
    QString notice;
    QTimer retry;
    int pauseMs;
};

#endif // RESULTSWORKER_H
