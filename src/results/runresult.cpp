#include "runresult.h"

#include <QStringList>
#include <QSysInfo>
#include <QUuid>

#include <algorithm>

namespace {

using Column = RunResult::Column;

// An empty text is stored as '' (a null QString would go in as NULL).
QVariant text(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

// Seconds are enough and keep the text sortable: "2025-03-06T09:04:07Z".
QVariant timeText(const QDateTime& t) {
    return t.isValid() ? QVariant(t.toUTC().toString(Qt::ISODate)) : QVariant(QStringLiteral(""));
}

template <auto M> Column textColumn(const char* name) {
    return {name, "TEXT NOT NULL DEFAULT ''", [](const RunResult& r) { return text(r.*M); },
            [](RunResult& r, const QVariant& v) { r.*M = v.toString(); }, true};
}
template <auto M> Column timeColumn(const char* name) {
    return {name, "TEXT NOT NULL DEFAULT ''", [](const RunResult& r) { return timeText(r.*M); },
            [](RunResult& r, const QVariant& v) {
                r.*M = QDateTime::fromString(v.toString(), Qt::ISODate).toUTC();
            },
            true};
}
template <auto M> Column countColumn(const char* name, bool exported = true) {
    return {name, "BIGINT NOT NULL DEFAULT 0",
            [](const RunResult& r) { return QVariant(qint64(r.*M)); },
            [](RunResult& r, const QVariant& v) {
                using T = std::remove_reference_t<decltype(r.*M)>;
                r.*M = T(v.toLongLong());
            },
            exported};
}

// "PASS" or "FAIL" of either verdict; empty while there is none.
template <typename V> QString verdictWord(V verdict) {
    return verdict == V::Pass   ? QStringLiteral("PASS")
           : verdict == V::Fail ? QStringLiteral("FAIL")
                                : QString();
}

} // namespace

void RunResult::takeUnit(const UnitIdentity& unit) {
    serialNumber = unit.fromBoard ? QString::number(unit.serialNumber) : QString();
    customerId = unit.fromBoard ? QString::number(unit.customerId) : QString();
    firmware = unit.fromBoard ? QString::number(unit.firmware) : QString();
    unitId = unit.isKnown() ? unit.unit() : QString();
}

void RunResult::takeSummary(const RunSummary& summary) {
    records = summary.records();
    qint64* totals[RunSummary::Flags] = {&c1Total, &c1uTotal, &c2Total, &c2uTotal, &interpTotal};
    for (int k = 0; k < RunSummary::Flags; ++k)
        *totals[k] = summary.flag(k).total;
    blerMax10s = summary.maxBler();
    e32Total = summary.e32();
    verdictStandard = verdictWord(summary.standard());
    verdictLimits = verdictWord(summary.verdict());
}

UnitIdentity RunResult::unit() const {
    if (serialNumber.isEmpty())
        return UnitIdentity::typedId(unitId);
    UnitIdentity unit;
    unit.fromBoard = true;
    unit.serialNumber = serialNumber.toUShort();
    unit.customerId = customerId.toUShort();
    unit.firmware = firmware.toInt();
    return unit;
}

RunSummary::Judged RunResult::judged() const {
    RunSummary::Judged j;
    j.verdict = verdictLimits == QLatin1String("PASS")   ? RunSummary::Verdict::Pass
                : verdictLimits == QLatin1String("FAIL") ? RunSummary::Verdict::Fail
                                                         : RunSummary::Verdict::NoLimits;
    j.standard = verdictStandard == QLatin1String("PASS")   ? RunSummary::Standard::Pass
                 : verdictStandard == QLatin1String("FAIL") ? RunSummary::Standard::Fail
                                                            : RunSummary::Standard::NoRecords;
    j.bler = blerMax10s;
    j.records = records;
    return j;
}

bool RunResult::takeSeriesTotals(const RunSeries& stored) {
    // A run has one interval, so its records add up to the time its series measured.
    if (intervalMs <= 0 || stored.isEmpty())
        return false;
    const qint64 measured = (stored.measuredMs() + intervalMs / 2) / intervalMs;
    if (measured <= records)
        return false; // the row is as far as its series or further: it counted exactly
    RunSummary summary;
    stored.addUp(summary);
    records = measured;
    qint64* totals[RunSummary::Flags] = {&c1Total, &c1uTotal, &c2Total, &c2uTotal, &interpTotal};
    for (int k = 0; k < RunSummary::Flags; ++k)
        *totals[k] = summary.flag(k).total;
    // The row's BLER was taken record by record; the series' by the second.
    blerMax10s = std::max(blerMax10s, summary.maxBler());
    e32Total = summary.e32();
    verdictStandard = verdictWord(blerMax10s > RunSummary::BlerLimit || e32Total > 0
                                      ? RunSummary::Standard::Fail
                                      : RunSummary::Standard::Pass);
    return true;
}

void RunResult::keepSeriesOf(const RunResult& older) {
    for (const RunSeries::Chunk& chunk : older.series) {
        const auto mine =
            std::find_if(series.begin(), series.end(), [&](const RunSeries::Chunk& c) {
                return c.firstSecond == chunk.firstSecond;
            });
        if (mine == series.end())
            series.append(chunk);
        else if (mine->revision != 0 && mine->revision < chunk.revision)
            *mine = chunk; // written again since (a version read back from an outbox)
    }
}

RunResult RunResult::begin(const QDateTime& startedAt) {
    RunResult r;
    r.runId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    r.station = QSysInfo::machineHostName();
    r.startedAt = startedAt.toUTC();
    r.endedAt = r.startedAt;
    return r;
}

const QVector<RunResult::Column>& RunResult::columns() {
    static const QVector<Column> all{
        {"run_id", "TEXT PRIMARY KEY", [](const RunResult& r) { return text(r.runId); },
         [](RunResult& r, const QVariant& v) { r.runId = v.toString(); }, true},
        textColumn<&RunResult::station>("station"),
        timeColumn<&RunResult::startedAt>("started_at"),
        timeColumn<&RunResult::endedAt>("ended_at"),
        textColumn<&RunResult::serialNumber>("serial_number"),
        textColumn<&RunResult::customerId>("customer_id"),
        textColumn<&RunResult::firmware>("firmware"),
        textColumn<&RunResult::unitId>("unit_id"),
        countColumn<&RunResult::records>("records"),
        countColumn<&RunResult::intervalMs>("interval_ms"),
        countColumn<&RunResult::c1Total>("c1_total"),
        countColumn<&RunResult::c1uTotal>("c1u_total"),
        countColumn<&RunResult::c2Total>("c2_total"),
        countColumn<&RunResult::c2uTotal>("c2u_total"),
        countColumn<&RunResult::interpTotal>("interp_total"),
        {"bler_max_10s", "DOUBLE PRECISION NOT NULL DEFAULT 0",
         [](const RunResult& r) { return QVariant(r.blerMax10s); },
         [](RunResult& r, const QVariant& v) { r.blerMax10s = v.toDouble(); }, true},
        countColumn<&RunResult::e32Total>("e32_total"),
        textColumn<&RunResult::verdictStandard>("verdict_standard"),
        textColumn<&RunResult::verdictLimits>("verdict_limits"),
        textColumn<&RunResult::flagFile>("flag_file"),
        {"finished", "INTEGER NOT NULL DEFAULT 0",
         [](const RunResult& r) { return QVariant(int(r.finished)); },
         [](RunResult& r, const QVariant& v) { r.finished = v.toInt() != 0; }, true},
        countColumn<&RunResult::revision>("revision", false),
        textColumn<&RunResult::ended>("ended"),
    };
    return all;
}

QString RunResult::columnText() const {
    QStringList parts;
    for (const Column& c : columns())
        parts << QLatin1String(c.name) + QLatin1Char('=') + c.get(*this).toString();
    return parts.join(QLatin1String(", "));
}

void RunResult::keepLatest(QHash<QString, RunResult>& runs, const QVector<RunResult>& more) {
    for (const RunResult& r : more) {
        auto it = runs.find(r.runId);
        if (it == runs.end()) {
            runs.insert(r.runId, r);
        } else if (it->revision < r.revision) {
            RunResult newer = r;
            newer.keepSeriesOf(*it);
            *it = newer;
        } else {
            it->keepSeriesOf(r);
        }
    }
}

bool RunResult::operator==(const RunResult& o) const {
    for (const Column& c : columns()) {
        if (c.get(*this) != c.get(o))
            return false;
    }
    return true;
}
