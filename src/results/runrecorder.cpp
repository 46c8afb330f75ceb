#include "runrecorder.h"

#include "flags/flaginterval.h"
#include "flags/runseries.h"
#include "flags/runsummary.h"
#include "resultsstore.h"

void RunRecorder::setStore(ResultsStore* store) {
    results = store;
    if (results && going())
        hand(true, false);
}

void RunRecorder::start(const RunResult& begun) {
    end(begun.startedAt);
    run = begun;
    run.records = 0;
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

void RunRecorder::recorded(const RunSummary& summary, int setting, const RunSeries* curve,
                           const QDateTime& nowUtc) {
    if (run.runId.isEmpty())
        start(RunResult::begin(nowUtc));
    run.takeSummary(summary);
    run.intervalMs = FlagInterval::milliseconds(setting);
    run.endedAt = nowUtc;
    series = curve;
    // With a curve the run goes to the store once a second of it, when a new second begins (the
    // one before is complete); the store writes at most every 10 s anyway.
    if (results && going() && (!series || series->size() > handedSize))
        hand(false, false);
}

void RunRecorder::hand(bool all, bool last) {
    if (series && (all || last || series->size() > handedSize)) {
        run.series = series->chunksFrom(all ? 0 : handedFrom);
        handedFrom = std::max(0, series->size() - 1);
        handedSize = series->size();
    }
    if (last)
        results->finish(run);
    else
        results->update(run);
    run.series.clear();
}

void RunRecorder::end(const QDateTime& nowUtc) {
    if (going()) {
        run.endedAt = nowUtc;
        if (results)
            hand(false, true);
    }
    run = RunResult();
    series = nullptr;
    handedFrom = 0;
    handedSize = 0;
}
