#ifndef RESULTSOUTBOX_H
#define RESULTSOUTBOX_H

#include "resultsfilter.h"
#include "runresult.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QSqlDatabase;

// The local outbox of a ResultsStore, used on the store's own thread: SQLite files that hold
// every version of a run until the results database has it, so that no run lives only in
// memory; the chunks of a run's series go with its row. A version goes to the first place that
// takes it: the outbox file itself, else a file of the same name in each spare folder in turn (the
// Logs folder, then the Flags folder). Every place is read and emptied alike, so runs that an
// earlier session left in any of them are sent like the others. A place whose file is damaged sets
// it aside and starts a new one.
class ResultsOutbox {
public:
    static constexpr const char* FileName = "results-outbox.sqlite";

    ResultsOutbox(const QString& path, const QStringList& spareFolders);
    ~ResultsOutbox();
    ResultsOutbox(const ResultsOutbox&) = delete;
    ResultsOutbox& operator=(const ResultsOutbox&) = delete;

    // Writes the runs to the first place that takes them, all in one transaction. False when
    // none does; reason() then says why the outbox itself did not.
    bool keep(const QVector<RunResult>& runs);
    // "disk full", "folder not writable" or "write error": why the last keep() failed.
    QString reason() const { return why; }
    // The runs waiting in every place that passes `filter` (the latest version of each, in no
    // particular order).
    QVector<RunResult> waiting(const ResultsFilter& filter = ResultsFilter());
    // Every run waiting, with every chunk of its series that waits: what goes to the database.
    QVector<RunResult> waitingToSend();
    // The chunks of the run's series that wait in any place (the latest of each).
    QVector<RunSeries::Chunk> series(const QString& runId);
    // The files of every place, whether they exist or not.
    QStringList paths() const;
    // Removes the versions the database has taken (a later version stays) from every place.
    void remove(const QVector<RunResult>& taken);
    // Marks the runs as ended unexpectedly wherever they wait.
    void endUnexpectedly(const QStringList& runIds);
    // What was set aside since last asked: one sentence per damaged file.
    QStringList takeNotices();

private:
    struct Place {
        QString path;
        QString connection;
        bool ready = false;   // open, with the tables in place
        bool failing = false; // the last write failed (told once)
    };
    // The place's connection, open and prepared (created when `create`); false when it fails,
    // with the reason in `error`.
    bool open(Place& place, bool create, QString* error);
    void close(Place& place);
    bool write(Place& place, const QVector<RunResult>& runs);
    // The runs of every place that pass `filter`, with the chunks of their series when
    // `withSeries`.
    QVector<RunResult> read(const ResultsFilter& filter, bool withSeries);
    // `change` on every place that has a file; a place where it fails is told with `failure`.
    void eachPlace(const char* failure, const std::function<bool(QSqlDatabase&, QString*)>& change);
    // The place's file is damaged: it is set aside and the place starts afresh.
    bool setAsideIfDamaged(Place& place);
    static QString reasonFor(const QString& path);

    QVector<Place> places;
    QString why;
    QStringList notices;
};

#endif // RESULTSOUTBOX_H
