#include "runrecorder.h"

#include "flaginterval.h"
#include "resultsstore.h"
#include "runsummary.h"

namespace {

// "PASS" or "FAIL"; empty without a verdict.
QString verdictWord(bool judged, bool passed) {
    if (!judged)
        return QString();
    return passed ? QStringLiteral("PASS") : QStringLiteral("FAIL");
}

} // namespace

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
    fillUnit(&run, unit);
}

void RunRecorder::setUnit(const UnitIdentity& unit) {
    RunResult named = run;
    fillUnit(&named, unit);
    if (named.serialNumber == run.serialNumber && named.customerId == run.customerId &&
        named.firmware == run.firmware && named.unitId == run.unitId)
        return;
    fillUnit(&run, unit);
    if (results && going())
        results->update(run);
}

void RunRecorder::recorded(const RunSummary& summary, int setting, const QDateTime& nowUtc) {
    if (run.runId.isEmpty())
        start(QString(), UnitIdentity(), nowUtc);
    fillSummary(&run, summary);
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

void RunRecorder::fillUnit(RunResult* run, const UnitIdentity& unit) {
    run->serialNumber = unit.fromBoard ? QString::number(unit.serialNumber) : QString();
    run->customerId = unit.fromBoard ? QString::number(unit.customerId) : QString();
    run->firmware = unit.fromBoard ? QString::number(unit.firmware) : QString();
    run->unitId = unit.isKnown() ? unit.unit() : QString();
}

void RunRecorder::fillSummary(RunResult* run, const RunSummary& summary) {
    run->records = summary.records();
    run->c1Total = summary.flag(0).total;
    run->c1uTotal = summary.flag(1).total;
    run->c2Total = summary.flag(2).total;
    run->c2uTotal = summary.flag(3).total;
    run->interpTotal = summary.flag(4).total;
    run->blerMax10s = summary.maxBler();
    run->e32Total = summary.e32();
    using S = RunSummary::Standard;
    using V = RunSummary::Verdict;
    run->verdictStandard =
        verdictWord(summary.standard() != S::NoRecords, summary.standard() == S::Pass);
    run->verdictLimits =
        verdictWord(summary.verdict() != V::NoLimits, summary.verdict() == V::Pass);
}
