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

#include <memory>

class QThread;
class ResultsOutbox;
class RunJournal;

// The record of every run in the results database (SQLite or PostgreSQL, see ResultsLocation).
// Lives on the caller's thread and never waits for the database there: every version of a run
// goes to the local outbox (ResultsOutbox) on this thread before anything else, and the
// connecting, the sending and the queries happen on a thread of its own (ResultsWorker), which
// takes the runs from memory and never touches the outbox. So a database that hangs holds up
// nothing but that thread; one that is away makes runs wait; only when no outbox takes a run
// (a full disk) does it live in memory, tried again and told in the status.
//
// A run is written when its first version arrives, then at most every `updateIntervalMs` while
// it changes, and at once when it ends. The runs of a program that ended without finishing them
// are marked as ended unexpectedly by the next store that starts (RunJournal).
class ResultsStore : public QObject {
    Q_OBJECT
public:
    // The settings key of the location.
    static constexpr const char* SettingsKey = "resultsDatabase";

    struct Options {
        QString location;   // the settings value, see ResultsLocation
        QString outboxPath; // empty: results-outbox.sqlite in the application data folder
        // Where the outbox goes when its own folder takes nothing, in turn (the Logs and Flags
        // folders); runs waiting there are sent like the others.
        QStringList spareFolders;
        int updateIntervalMs = 10000;
        ResultsWorker::Timing timing;
        int shutdownMs = 2000;  // how long the destructor waits for the database, at most
        int saveAgainMs = 2000; // how often runs no outbox took are tried again
    };

    explicit ResultsStore(const Options& options, QObject* parent = nullptr);
    // Flushes with the shut-down bound; runs that no place took are logged, column by column.
    ~ResultsStore() override;

    static QString defaultOutboxPath();

    // The run as it stands now (its first version is written at once).
    void update(const RunResult& run);
    // The run has ended: written at once, marked finished.
    void finish(const RunResult& run);
    // Writes every pending version to the outbox, hands it to the database and waits at most
    // `timeoutMs` for it. True when every run is in the database (none waits).
    bool flush(int timeoutMs);
    // Tries at once to write the runs that no outbox took; true when none is left.
    bool saveNow();
    // The runs that no outbox took, the latest version of each.
    QVector<RunResult> unsavedRuns() const { return unsaved.values().toVector(); }

    // Asks for the runs that pass `filter`, newest first, the runs still waiting in the outbox
    // included; answered by queryDone with the returned id. While the database does not answer,
    // the outbox answers at once.
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
    void handOver(const QVector<RunResult>& runs);
    // Takes in what the worker reported: the runs the database has leave the outbox.
    void collect();
    template <typename Question> void ask(Question question);
    void answered(int id, const QVector<RunResult>& found, const QString& error);
    void seriesAnswered(int id, const QVector<RunSeries::Chunk>& found, const QString& error);
    void workerStatus(const ResultsStatus& s);
    void updateStatus();

    const Options options;
    const QString outboxPath;
    const std::shared_ptr<ResultsHandover> handover;
    std::unique_ptr<ResultsOutbox> outbox;
    std::unique_ptr<RunJournal> journal;
    QThread* thread;
    ResultsWorker* worker;
    // The runs going on, in their latest version, and those changed since last written.
    QHash<QString, RunResult> going;
    QSet<QString> changed;
    QTimer updateTimer;
    qint64 lastRevision = 0;
    // Runs the database has not taken: id and latest revision.
    QHash<QString, qint64> waiting;
    // Runs that no outbox took, held here until one does or the database has them.
    QHash<QString, RunResult> unsaved;
    QString unsavedWhy;
    QTimer saveAgain;
    QTimer watch;                    // looks for a call to the database that does not return
    QHash<int, ResultsFilter> asked; // queries not answered yet
    QHash<int, QString> askedSeries; // series asked for and not answered yet: their runs
    int lastQuery = 0;
    ResultsStatus fromWorker;
    QString notice;
    ResultsStatus current;
};

#endif // RESULTSSTORE_H
