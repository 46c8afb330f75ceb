#ifndef RUNRECORDER_H
#define RUNRECORDER_H

#include "runresult.h"
#include "unitidentity.h"

#include <QDateTime>
#include <QString>

class ResultsStore;
class RunSummary;

// Turns the flag page's live run into rows of the results database: a run is handed to the store
// with its first record, then with every record (the store writes it at most every 10 s), and as
// finished when the next run starts or the program ends. A run without a record is not kept.
class RunRecorder {
public:
    // `store` may be null (no database): the run is followed all the same, and handed to a store
    // set later.
    explicit RunRecorder(ResultsStore* store = nullptr) : results(store) {}

    // Another store (the settings named another database): a run going on goes there from now on.
    void setStore(ResultsStore* store);

    // A new run measured from `startedUtc` on, written to `flagFile` (empty: none); the run before
    // ends.
    void start(const QString& flagFile, const UnitIdentity& unit,
               const QDateTime& startedUtc = QDateTime::currentDateTimeUtc());
    // The unit became known (or changed) while the run goes on; the same unit again changes
    // nothing.
    void setUnit(const UnitIdentity& unit);
    // The run was judged again without a record (the limits changed): its verdicts are written.
    void rejudged(const RunSummary& summary);
    // A record was added to the run: `summary` is the run so far, `setting` its interval setting.
    void recorded(const RunSummary& summary, int setting,
                  const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());
    // The run ends (program end); nothing more comes until the next start().
    void end(const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());

    const RunResult& current() const { return run; }
    bool going() const { return run.records > 0; }

private:
    ResultsStore* results;
    RunResult run;
};

#endif // RUNRECORDER_H
