#include "flags/runsummary.h"

#include "flags/flaginterval.h"
#include "flags/flagscale.h"

#include <QStringList>

#include <algorithm>

const char* const RunSummary::FlagNames[Flags] = {"C1", "uncorr. C1", "C2", "uncorr. C2",
                                                  "interpol."};

namespace {

// "300", "112.5", "220.02": two decimals at most (enough to tell any average over 220 from 220).
QString decimal(double value) {
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

} // namespace

void RunSummary::clear() {
    for (Flag& f : flags)
        f = Flag();
    recordCount = 0;
    troubled = 0;
    length = 0;
    frames = 0.0;
    settings = 0;
    blerFirst = 0;
    blerRecords = 0;
    blerC1 = 0;
    blerMs = 0;
    blerWindowFilled = false;
    blerMax = 0.0;
    judgedAs.reset();
}

void RunSummary::add(const RunStore::Counts& counts, int setting) {
    const int ms = FlagInterval::milliseconds(setting);
    settings |= 1 << FlagInterval::settingFor(ms);
    addMeasured(counts, ms, FlagInterval::frames(setting), RunStore::percent(1, setting));
}

void RunSummary::addSpan(const RunStore::Counts& counts, int ms) {
    if (ms <= 0)
        return;
    const double countedFrames = ms * FlagScale::FramesPerSecond / 1000.0;
    addMeasured(counts, ms, countedFrames, 100.0 / countedFrames);
}

void RunSummary::noteInterval(int setting) {
    if (setting >= 1 && setting <= 3)
        settings |= 1 << setting;
}

void RunSummary::setJudged(const Judged& judged) {
    judgedAs = judged;
}

void RunSummary::addMeasured(const RunStore::Counts& counts, int ms, double countedFrames,
                             double percentPerCount) {
    ++recordCount;
    length += ms;
    frames += countedFrames;

    // The 10-s window: this record in, then the oldest out as long as the rest still spans 10 s.
    blerWindow[(blerFirst + blerRecords) % BlerRing] = Measured{counts[0], quint16(ms)};
    ++blerRecords;
    blerC1 += counts[0];
    blerMs += ms;
    while (blerMs - blerWindow[blerFirst].ms >= BlerWindowMs) {
        blerC1 -= blerWindow[blerFirst].c1;
        blerMs -= blerWindow[blerFirst].ms;
        blerFirst = (blerFirst + 1) % BlerRing;
        --blerRecords;
    }
    if (blerMs >= BlerWindowMs) {
        blerWindowFilled = true;
        blerMax = std::max(blerMax, double(blerC1) * 1000.0 / double(blerMs));
    }

    if (counts[1] || counts[3] || counts[4])
        ++troubled;
    for (int k = 0; k < Flags; ++k) {
        Flag& f = flags[k];
        const double rate = counts[k] * percentPerCount;
        f.total += counts[k];
        if (rate > f.maxRate) {
            f.maxRate = rate;
            f.maxCount = counts[k];
        }
        if (flagLimits.exceeds(k, rate))
            ++f.overLimit;
    }
}

void RunSummary::rebuild(const RunStore& store) {
    clear();
    store.forEach([this](qint64, const RunStore::Counts& counts, int setting, bool) {
        add(counts, setting);
    });
}

double RunSummary::averageRate(int k) const {
    return frames > 0.0 ? 100.0 * double(flags[k].total) / frames : 0.0;
}

RunSummary::Verdict RunSummary::verdict() const {
    if (judgedAs)
        return judgedAs->verdict;
    if (!flagLimits.any())
        return Verdict::NoLimits;
    for (const Flag& f : flags) {
        if (f.overLimit > 0)
            return Verdict::Fail;
    }
    return Verdict::Pass;
}

double RunSummary::maxBler() const {
    if (judgedAs)
        return judgedAs->bler;
    if (blerWindowFilled)
        return blerMax;
    return length > 0 ? double(flags[0].total) * 1000.0 / double(length) : 0.0;
}

RunSummary::Standard RunSummary::standard() const {
    if (judgedAs)
        return judgedAs->standard;
    if (recordCount == 0)
        return Standard::NoRecords;
    return maxBler() > BlerLimit || e32() > 0 ? Standard::Fail : Standard::Pass;
}

QString RunSummary::rateText(double rate) {
    return QString::number(rate, 'f', 3) + QStringLiteral(" %");
}

QString RunSummary::totalText(int k) const {
    return QString::number(flags[k].total);
}

QString RunSummary::maximumText(int k) const {
    return QStringLiteral("%1 (%2)").arg(rateText(flags[k].maxRate)).arg(flags[k].maxCount);
}

QString RunSummary::averageText(int k) const {
    return rateText(averageRate(k));
}

QString RunSummary::overLimitText(int k) const {
    const auto& limit = flagLimits.percent[k];
    if (!limit)
        return QStringLiteral("no limit");
    return QString::fromLatin1(judgedAs ? "%1 s over %2 %" : "%1 over %2 %")
        .arg(flags[k].overLimit)
        .arg(*limit);
}

QString RunSummary::lengthText() const {
    const qint64 s = length / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString RunSummary::recordsText() const {
    return QString::number(records());
}

QString RunSummary::troubledText() const {
    return judgedAs ? QStringLiteral("%1 s").arg(troubled) : QString::number(troubled);
}

QString RunSummary::verdictText() const {
    switch (verdict()) {
    case Verdict::Pass:
        return QStringLiteral("PASS");
    case Verdict::Fail:
        return QStringLiteral("FAIL");
    default:
        return QStringLiteral("no limits set");
    }
}

QString RunSummary::blerText() const {
    const QString seconds =
        blerWindowFilled ? QString::number(BlerWindowMs / 1000) : decimal(length / 1000.0);
    return QStringLiteral("%1/s over %2 s").arg(decimal(maxBler()), seconds);
}

QString RunSummary::e32Text() const {
    return QString::number(e32());
}

QString RunSummary::standardText() const {
    if (recordCount == 0)
        return QStringLiteral("no records");
    QStringList failed;
    if (maxBler() > BlerLimit)
        failed << QStringLiteral("BLER ") + blerText();
    if (e32() > 0)
        failed << QStringLiteral("E32 ") + e32Text();
    QString text = failed.isEmpty() ? QStringLiteral("PASS")
                                    : QStringLiteral("FAIL: ") + failed.join(QStringLiteral(", "));
    if (!blerWindowFilled)
        text += QStringLiteral(" (run shorter than %1 s)").arg(BlerWindowMs / 1000);
    return text;
}

QString RunSummary::intervalsText() const {
    QStringList texts;
    for (int setting = 1; setting <= 3; ++setting) {
        if (settings & (1 << setting))
            texts << FlagInterval::text(setting);
    }
    return texts.join(QStringLiteral(", "));
}

QString RunSummary::plainText() const {
    auto row = [](const QString& head, const QStringList& cells) {
        QString line = head.leftJustified(12);
        for (const QString& cell : cells)
            line += cell.leftJustified(19);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        return line;
    };
    QStringList names, totals, maxima, averages, over;
    for (int k = 0; k < Flags; ++k) {
        names << QString::fromLatin1(FlagNames[k]);
        totals << totalText(k);
        maxima << maximumText(k);
        averages << averageText(k);
        over << overLimitText(k);
    }
    return QStringList{row(QString(), names),
                       row(QStringLiteral("Total"), totals),
                       row(QStringLiteral("Maximum"), maxima),
                       row(QStringLiteral("Average"), averages),
                       row(QStringLiteral("Over limit"), over),
                       QStringLiteral("Run length %1, %2 records, %3 with uncorrectable or "
                                      "interpolated frames: %4")
                           .arg(lengthText(), recordsText(), troubledText(), verdictText()),
                       QStringLiteral("CD standard: max. BLER %1, E32 %2: %3")
                           .arg(blerText(), e32Text(), standardText())}
        .join(QLatin1Char('\n'));
}
