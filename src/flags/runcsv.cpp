#include "runcsv.h"

#include "flaginterval.h"

#include <QIODevice>

#include <cmath>

const char* const RunCsv::Header =
    "Date Time,Elapsed (s),Interval (ms),C1,Uncorrectable C1,C2,Uncorrectable C2,Interpolation,"
    "C1 (%),Uncorrectable C1 (%),C2 (%),Uncorrectable C2 (%),Interpolation (%)";

namespace {
const char* const DateTimeFormat = "yyyy-MM-dd HH:mm:ss.zzz";
const qint64 GapMs = 2000;
} // namespace

QByteArray RunCsv::headerLine(const UnitIdentity& unit) {
    QByteArray line(Header);
    if (!unit.isKnown())
        return line;
    for (const auto& field : unit.fields()) {
        QByteArray cell = (field.first + QStringLiteral(": ") + field.second).toUtf8();
        if (cell.contains(',') || cell.contains('"'))
            cell = '"' + cell.replace('"', "\"\"") + '"';
        line += ',' + cell;
    }
    return line;
}

bool RunCsv::write(QIODevice& out, const RunStore& store, const QDateTime& started,
                   const UnitIdentity& unit) {
    const QByteArray header = headerLine(unit) + "\r\n";
    bool ok = out.write(header) == header.size();
    QByteArray lines;
    auto flush = [&] {
        ok = ok && out.write(lines) == lines.size();
        lines.clear();
    };
    store.forEach([&](qint64 ms, const RunStore::Counts& counts, int setting, bool) {
        lines += started.addMSecs(ms).toString(QLatin1String(DateTimeFormat)).toLatin1();
        lines += ',' + QByteArray::number(ms / 1000.0, 'f', 3);
        lines += ',' + QByteArray::number(FlagInterval::milliseconds(setting));
        for (quint16 c : counts)
            lines += ',' + QByteArray::number(c);
        for (quint16 c : counts)
            lines += ',' + QByteArray::number(RunStore::percent(c, setting), 'f', 4);
        lines += "\r\n";
        if (lines.size() > 1 << 16)
            flush();
    });
    flush();
    return ok;
}

bool RunCsv::read(QIODevice& in, RunStore* store, QDateTime* started, QString* error) {
    store->clear();
    *started = QDateTime();
    qint64 number = 0;
    qint64 previousMs = -1;
    int previousSetting = 1;
    auto fail = [&](const char* what) {
        *error = QStringLiteral("line %1: %2").arg(number).arg(QLatin1String(what));
        return false;
    };
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        ++number;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (number == 1) {
            // (the unit's identity may follow the columns' names)
            if (line != Header && !line.startsWith(QByteArray(Header) + ','))
                return fail("not a run exported by this program");
            continue;
        }
        if (line.isEmpty())
            continue;
        const QList<QByteArray> f = line.split(',');
        if (f.size() != 13)
            return fail("not 13 fields");
        bool ok = false;
        const double seconds = f[1].toDouble(&ok);
        const int setting = FlagInterval::settingFor(f[2].toInt());
        if (!ok || seconds < 0 || setting == 0)
            return fail("no elapsed time or interval");
        RunStore::Counts counts;
        for (int k = 0; k < 5; ++k) {
            const uint c = f[3 + k].toUInt(&ok);
            if (!ok || c > 0xFFFF)
                return fail("a count that is not one");
            counts[k] = quint16(c);
        }
        const qint64 ms = qint64(std::llround(seconds * 1000.0));
        if (store->isEmpty()) {
            *started =
                QDateTime::fromString(QString::fromLatin1(f[0]), QLatin1String(DateTimeFormat))
                    .addMSecs(-ms);
        } else if (ms - previousMs > FlagInterval::milliseconds(previousSetting) + GapMs) {
            store->markGap();
        }
        store->append(ms, counts, setting);
        previousMs = ms;
        previousSetting = setting;
    }
    if (number == 0)
        return fail("empty");
    return true;
}
