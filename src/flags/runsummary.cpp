#include "runsummary.h"

#include "flaginterval.h"

#include <QStringList>

const char* const RunSummary::FlagNames[Flags] = {"C1", "uncorr. C1", "C2", "uncorr. C2",
                                                  "interpol."};

void RunSummary::clear() {
    for (Flag& f : flags)
        f = Flag();
    recordCount = 0;
    troubled = 0;
    length = 0;
    frames = 0.0;
}

void RunSummary::add(const RunStore::Counts& counts, int setting) {
    ++recordCount;
    length += FlagInterval::milliseconds(setting);
    frames += FlagInterval::frames(setting);
    if (counts[1] || counts[3] || counts[4])
        ++troubled;
    for (int k = 0; k < Flags; ++k) {
        Flag& f = flags[k];
        const double rate = RunStore::percent(counts[k], setting);
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
    if (!flagLimits.any())
        return Verdict::NoLimits;
    for (const Flag& f : flags) {
        if (f.overLimit > 0)
            return Verdict::Fail;
    }
    return Verdict::Pass;
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
    return QStringLiteral("%1 over %2 %").arg(flags[k].overLimit).arg(*limit);
}

QString RunSummary::lengthText() const {
    const qint64 s = length / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString RunSummary::recordsText() const {
    return QString::number(recordCount);
}

QString RunSummary::troubledText() const {
    return QString::number(troubled);
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
                           .arg(lengthText(), recordsText(), troubledText(), verdictText())}
        .join(QLatin1Char('\n'));
}
