#include "flags/runsession.h"

#include "console/trafficline.h"
#include "flags/flaginterval.h"
#include "shell/logging.h"

#include <QDir>

#include <algorithm>

namespace {

// A stored run added up by the second, judged as it was while it was measured.
RunSummary judgedSummary(const RunSeries& series, int intervalMs, const RunSummary::Judged& judged,
                         const FlagLimits& limits) {
    RunSummary summary;
    summary.setLimits(limits);
    series.addUp(summary);
    summary.noteInterval(FlagInterval::settingFor(intervalMs));
    summary.setJudged(judged);
    return summary;
}

} // namespace

RunSession::RunSession(std::function<qint64()> sessionClock, QObject* parent)
    : QObject(parent), clock(std::move(sessionClock)) {
    if (!clock) {
        ownClock.start();
        clock = [this] { return ownClock.elapsed(); };
    }
    summaryTimer.setSingleShot(true);
    connect(&summaryTimer, &QTimer::timeout, this, [this] {
        summaryShown.start();
        show();
        emit runUpdated();
    });
}

void RunSession::note(const QString& text) {
    emit logLine(QLatin1Char('[') + TrafficLine::stamp(clock()) + QLatin1Char(']') + text);
}

void RunSession::show() {
    summaryTimer.stop();
    emit changed();
}

// The first record after a quiet spell shows at once, the next ones at most every
// SummaryIntervalMs.
void RunSession::scheduleSummary() {
    if (summaryTimer.isActive())
        return;
    const qint64 since = summaryShown.isValid() ? summaryShown.elapsed() : SummaryIntervalMs;
    summaryTimer.start(int(std::max<qint64>(0, SummaryIntervalMs - since)));
}

// ---------------------------------------------------------------------------------------------
// The live run

void RunSession::startRun(const QString& flagFile) {
    beginRun(flagFile, nullptr);
}

void RunSession::beginRun(const QString& flagFile, const UnitIdentity* unit) {
    endRun();
    // The run that ended stays at hand for a report.
    if (!liveRun.store.isEmpty())
        ended.emplace(std::move(liveRun));
    liveRun = Run();
    liveRun.summary.setLimits(flagLimits);
    liveRun.started = QDateTime::currentDateTime();
    liveRun.flagFile = flagFile;
    liveRun.unit = unit && unit->isKnown() ? *unit : nextUnit();
    liveStartMs = clock();
    liveInterval = chosenInterval;
    liveEnded = false;
    liveLogged = false;
    qCDebug(dk61Flags) << "run started" << flagFile << liveRun.unit.text();
    show();
    emit runStarted();
}

void RunSession::endRun() {
    if (liveEnded)
        return;
    liveEnded = true;
    if (liveLogged)
        note(QStringLiteral("Run ended: %1, %2 records, %3 measured")
                 .arg(liveRun.unit.text(), liveRun.summary.recordsText(),
                      liveRun.summary.lengthText()));
    qCDebug(dk61Flags) << "run ended" << liveRun.unit.text() << liveRun.store.size();
    emit runEnded();
    show();
}

void RunSession::newRun(bool clearTypedId) {
    // An ID that waits for the next run stays.
    if (clearTypedId && UnitIdentity::typedId(typedText).text() == liveRun.unit.text()) {
        typedText.clear();
        emit typedIdCleared();
    }
    startRun(takeNextFlagFile());
}

void RunSession::startChosen(bool clearTypedId) {
    if (liveEnded)
        newRun(clearTypedId);
}

void RunSession::endChosen() {
    if (liveEnded)
        return;
    endRun();
    if (closeFlagFile)
        closeFlagFile();
}

void RunSession::intervalChosen(int setting) {
    chosenInterval = setting;
    if (liveEnded || setting == liveInterval)
        return;
    // The same unit goes on being measured, at another interval.
    const UnitIdentity unit = liveRun.unit;
    beginRun(takeNextFlagFile(), &unit);
}

bool RunSession::recordAdded(const RunStore::Counts& counts, int setting,
                             const RunSeries::Position& at) {
    // An ended run takes no more records.
    if (liveEnded)
        return false;
    // The log file names the unit when the run's first record arrives (a board that answers
    // has named itself by then).
    if (!liveLogged)
        note(liveRun.unit.runStartedLine());
    liveLogged = true;
    const qint64 elapsed = clock() - liveStartMs;
    liveRun.store.append(elapsed, counts, setting);
    liveRun.series.add(elapsed, counts, setting, at);
    liveRun.summary.add(counts, setting);
    scheduleSummary();
    emit recordTaken();
    return true;
}

const RunSession::Run* RunSession::lastEnded() const {
    return !liveEnded && ended ? &*ended : nullptr;
}

int RunSession::latestIntervalMs() const {
    const RunStore& store = liveRun.store;
    return store.isEmpty() ? 0 : FlagInterval::milliseconds(store.setting(store.size() - 1));
}

void RunSession::setLimits(const FlagLimits& limits) {
    if (limits.percent == flagLimits.percent)
        return;
    flagLimits = limits;
    // An ended run keeps the verdicts it ended with.
    if (!liveEnded || liveRun.store.isEmpty()) {
        liveRun.summary.setLimits(flagLimits);
        liveRun.summary.rebuild(liveRun.store);
    }
    if (reviewed && reviewed->stored) {
        reviewed->run.summary =
            judgedSummary(reviewed->run.series, reviewed->intervalMs, reviewed->judged, flagLimits);
    } else if (reviewed) {
        reviewed->run.summary.setLimits(flagLimits);
        reviewed->run.summary.rebuild(reviewed->run.store);
    }
    emit limitsChanged();
    show();
    if (!liveEnded)
        emit runUpdated();
}

// ---------------------------------------------------------------------------------------------
// Units

void RunSession::boardIdentified(const UnitIdentity& unit) {
    boardUnit = unit;
    takeUnit();
}

UnitIdentity RunSession::nextUnit() const {
    return boardUnit.fromBoard ? boardUnit : UnitIdentity::typedId(typedText);
}

std::optional<UnitIdentity> RunSession::waitingUnit() const {
    const UnitIdentity next = nextUnit();
    if (next.isKnown() && next.text() != liveRun.unit.text() && !reviewed)
        return next;
    return std::nullopt;
}

void RunSession::takeUnit() {
    const UnitIdentity unit = nextUnit();
    if (!liveEnded && !liveRun.unit.isKnown() && unit.isKnown()) {
        liveRun.unit = unit;
        if (liveLogged)
            note(QStringLiteral("Run unit: ") + unit.text());
        show();
        emit runUpdated();
        return;
    }
    emit changed();
}

// ---------------------------------------------------------------------------------------------
// The link

void RunSession::linkUp(const QString& port, int baud) {
    if (linkIsUp)
        return;
    linkIsUp = true;
    if (linkWentDown)
        note(QStringLiteral("Link back: %1 at %2 Baud").arg(port).arg(baud));
}

void RunSession::linkDown(const QString& port, const QString& reason) {
    // The next unit on the link names itself again (the run keeps the one it has).
    boardUnit = UnitIdentity();
    if (!linkIsUp)
        return;
    linkIsUp = false;
    linkWentDown = true;
    note(QStringLiteral("Link down: %1 (%2)").arg(port, reason));
    liveRun.store.markGap();
}

// ---------------------------------------------------------------------------------------------
// Review

void RunSession::review(RunStore store, const RunSummary& summary, const QDateTime& started,
                        const UnitIdentity& unit, const QString& path, qint64 skipped) {
    reviewed = Reviewed();
    reviewed->run.store = std::move(store);
    reviewed->run.summary = summary;
    reviewed->run.started = started;
    reviewed->run.unit = unit;
    reviewed->run.flagFile = path;
    reviewed->skipped = skipped;
    emit reviewOpened();
    show();
}

void RunSession::review(const Stored& run) {
    reviewed = Reviewed();
    reviewed->run.series = run.series;
    reviewed->run.store = run.series.toStore();
    reviewed->run.summary = storedSummary(run, flagLimits);
    reviewed->run.started = run.started;
    reviewed->run.unit = run.unit;
    reviewed->run.flagFile = run.flagFile;
    reviewed->stored = true;
    reviewed->intervalMs = run.intervalMs;
    reviewed->judged = run.judged;
    emit reviewOpened();
    show();
}

void RunSession::backToLive() {
    if (!reviewed)
        return;
    reviewed.reset();
    emit reviewClosed();
    show();
}

RunSummary RunSession::storedSummary(const Stored& run, const FlagLimits& limits) {
    return judgedSummary(run.series, run.intervalMs, run.judged, limits);
}

QString RunSession::sourceText() const {
    const QString dateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    if (reviewed && reviewed->stored)
        return QStringLiteral("Reviewing the run of %1 from the results database")
            .arg(reviewed->run.started.toString(dateTime));
    if (reviewed) {
        QString text =
            QStringLiteral("Reviewing %1").arg(QDir::toNativeSeparators(reviewed->run.flagFile));
        if (reviewed->skipped > 0)
            text += QStringLiteral(" (%1 lines skipped)").arg(reviewed->skipped);
        return text;
    }
    QString text = QString::fromLatin1(liveEnded ? "Run of %1, ended" : "Run since %1")
                       .arg(liveRun.started.toString(dateTime));
    if (!liveRun.flagFile.isEmpty())
        text += QStringLiteral(", flag file %1").arg(QDir::toNativeSeparators(liveRun.flagFile));
    return text;
}

// ---------------------------------------------------------------------------------------------
// Reference

void RunSession::setReference(const RunSeries& series, const QString& name) {
    referenceSeries = series;
    referenceTitle = series.isEmpty() ? QString() : name;
    emit referenceChanged();
}
