#ifndef RUNRECORDER_H
#define RUNRECORDER_H

#include "flags/unitidentity.h"
#include "runresult.h"

#include <QDateTime>
#include <QString>

class ResultsStore;
class RunSeries;
class RunSummary;

// Turns the flag page's live run into rows of the results database: a run is handed to the store
// with its first record, then with every new second of its curve (with every record when it has
// none; the store writes it at most every 10 s), and as finished when it ends. Its series goes
// along: the chunk of the second just begun with every new second, the last second when the run
// ends. A run without a record is not kept.
class RunRecorder {
public:
    // `store` may be null (no database): the run is followed all the same, and handed to a store
    // set later.
    explicit RunRecorder(ResultsStore* store = nullptr) : results(store) {}

    // Another store (the settings named another database): a run going on goes there from now
    // on, its whole series with it.
    void setStore(ResultsStore* store);

    // A new run as the run panel began it (key, station, start, flag file, unit); the run before
    // ends.
    void start(const RunResult& begun);
    // The unit became known while the run goes on; the same unit again changes nothing.
    void setUnit(const UnitIdentity& unit);
    // The run was judged again without a record (the limits changed): its verdicts are written.
    void rejudged(const RunSummary& summary);
    // A record was added to the run: `summary` is the run so far, `setting` its interval setting,
    // `series` its curve (null: none).
    void recorded(const RunSummary& summary, int setting, const RunSeries* series = nullptr,
                  const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());
    // The run ends; nothing more comes until the next start().
    void end(const QDateTime& nowUtc = QDateTime::currentDateTimeUtc());

    const RunResult& current() const { return run; }
    bool going() const { return run.records > 0; }

private:
    // The run to the store, with the chunks from the second being filled when last handed on
    // (`all`: every chunk).
    void hand(bool all, bool last);

    ResultsStore* results;
    RunResult run;
    const RunSeries* series = nullptr;
    int handedFrom = 0; // the first second that may have changed since the run was last handed on
    int handedSize = 0; // the series' seconds then
};

#endif // RUNRECORDER_H
