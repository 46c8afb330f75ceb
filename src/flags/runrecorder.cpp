#include "runrecorder.h"

#include "flaginterval.h"
#include "resultsstore.h"
#include "runsummary.h"

void RunRecorder::setStore(ResultsStore* store) {
    results = store;
    if (results && going())
        results->update(run);
}

void RunRecorder::start(const QString& flagFile, const UnitIdentity& unit,
                        const QDateTime& startedUtc) {
    end(startedUtc);
    run = RunResult::begin(startedUtc);
    run.flagFile = flagFile;
    run.takeUnit(unit);
}

void RunRecorder::setUnit(const UnitIdentity& unit) {
    RunResult named = run;
    named.takeUnit(unit);
    if (named.serialNumber == run.serialNumber && named.customerId == run.customerId &&
        named.firmware == run.firmware && named.unitId == run.unitId)
        return;
    run.takeUnit(unit);
    if (results && going())
        results->update(run);
}

void RunRecorder::rejudged(const RunSummary& summary) {
    RunResult judged = run;
    judged.takeSummary(summary);
    if (!going() || judged == run)
        return;
    run = judged;
    if (results)
        results->update(run);
}

void RunRecorder::recorded(const RunSummary& summary, int setting, const QDateTime& nowUtc) {
    if (run.runId.isEmpty())
        start(QString(), UnitIdentity(), nowUtc);
    run.takeSummary(summary);
    run.intervalMs = FlagInterval::milliseconds(setting);
    run.endedAt = nowUtc;
    if (results && going())
        results->update(run);
}

void RunRecorder::end(const QDateTime& nowUtc) {
    if (going()) {
        run.endedAt = nowUtc;
        if (results)
            results->finish(run);
    }
    run = RunResult();
}
