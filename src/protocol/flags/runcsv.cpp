#include "flags/runcsv.h"

#include "flags/flaginterval.h"
#include "flags/runfilereader.h"

#include <QIODevice>

#include <cmath>
#include <cstring>

const char* const RunCsv::Header =
    "Date Time,Elapsed (s),Interval (ms),C1,Uncorrectable C1,C2,Uncorrectable C2,Interpolation,"
    "C1 (%),Uncorrectable C1 (%),C2 (%),Uncorrectable C2 (%),Interpolation (%)";

namespace {
const char* const DateTimeFormat = "yyyy-MM-dd HH:mm:ss.zzz";
const qint64 GapMs = 2000;

// The unit's identity from the header's cells after the columns' names ("Caption: value", a
// cell quoted where it holds a comma or a quote).
UnitIdentity unitOf(const QByteArray& cells) {
    QList<QPair<QString, QString>> fields;
    QByteArray cell;
    bool quoted = false;
    auto take = [&] {
        const QString text = QString::fromUtf8(cell);
        const int colon = text.indexOf(QLatin1String(": "));
        if (colon > 0)
            fields.append({text.left(colon), text.mid(colon + 2)});
        cell.clear();
    };
    for (int i = 0; i < cells.size(); ++i) {
        const char c = cells[i];
        if (quoted && c == '"' && i + 1 < cells.size() && cells[i + 1] == '"')
            cell += cells[i++];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            take();
        else
            cell += c;
    }
    take();
    return UnitIdentity::fromFields(fields);
}
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

bool RunCsv::read(QIODevice& in, RunStore* store, QDateTime* started, QString* error,
                  qint64* skipped, UnitIdentity* unit) {
    RunFileReader reader(in, store, RunFileReader::Format::RunCsv);
    const bool ok = reader.readAll() == RunFileReader::State::Finished;
    *started = reader.started();
    if (!ok)
        *error = reader.error();
    if (skipped)
        *skipped = reader.skipped();
    if (unit)
        *unit = reader.unit();
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Line by line

namespace {

const int Fields = 13;

struct Field {
    const char* begin;
    const char* end;
};

// Without the blanks around it.
Field trimmed(Field f) {
    while (f.begin < f.end && (*f.begin == ' ' || *f.begin == '\t'))
        ++f.begin;
    while (f.end > f.begin && (f.end[-1] == ' ' || f.end[-1] == '\t'))
        --f.end;
    return f;
}

// A decimal number of at most `max`, nothing else.
bool unsignedNumber(Field f, quint32 max, quint32* value) {
    f = trimmed(f);
    if (f.begin == f.end)
        return false;
    quint32 v = 0;
    for (const char* p = f.begin; p < f.end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + quint32(*p - '0');
        if (v > max)
            return false;
    }
    *value = v;
    return true;
}

// Seconds a run can last: a finite decimal number from 0 to the longest run (read with a decimal
// point whatever the system's locale).
bool elapsedSeconds(Field f, double* seconds) {
    bool ok = false;
    *seconds = QByteArray::fromRawData(f.begin, int(f.end - f.begin)).toDouble(&ok);
    return ok && std::isfinite(*seconds) && *seconds >= 0.0 &&
           *seconds <= RunCsv::MaxElapsedSeconds;
}

} // namespace

RunCsv::Reader::Reader(RunStore* store) : run(store) {
    run->clear();
}

void RunCsv::Reader::skipLine() {
    if (++lines == 1)
        error = QStringLiteral("line 1: not a run exported by this program");
    else
        ++skippedLines;
}

void RunCsv::Reader::addLine(const char* line, int size) {
    const char* end = line + size;
    while (end > line && (end[-1] == '\r' || end[-1] == '\n'))
        --end;
    if (++lines == 1) {
        // (the unit's identity may follow the columns' names)
        const QByteArray header = QByteArray::fromRawData(line, int(end - line));
        const QByteArray withUnit = QByteArray(Header) + ',';
        if (header.startsWith(withUnit))
            identity = unitOf(header.mid(withUnit.size()));
        else if (header != Header)
            error = QStringLiteral("line 1: not a run exported by this program");
        return;
    }
    if (end == line)
        return;
    Field f[Fields];
    int n = 0;
    for (const char* p = line;; ++n) {
        if (n == Fields) {
            ++skippedLines;
            return;
        }
        const char* comma = static_cast<const char*>(std::memchr(p, ',', size_t(end - p)));
        f[n] = Field{p, comma ? comma : end};
        if (!comma)
            break;
        p = comma + 1;
    }
    double seconds = 0.0;
    quint32 intervalMs = 0;
    RunStore::Counts counts;
    bool ok = n == Fields - 1 && elapsedSeconds(f[1], &seconds) &&
              unsignedNumber(f[2], 1000, &intervalMs);
    const int setting = ok ? FlagInterval::settingFor(int(intervalMs)) : 0;
    for (int k = 0; ok && k < 5; ++k) {
        quint32 c = 0;
        ok = unsignedNumber(f[3 + k], 0xFFFF, &c);
        counts[size_t(k)] = quint16(c);
    }
    if (!ok || setting == 0) {
        ++skippedLines;
        return;
    }
    const qint64 ms = qint64(std::llround(seconds * 1000.0));
    if (records == 0) {
        const QString dateTime = QString::fromLatin1(f[0].begin, int(f[0].end - f[0].begin));
        start = QDateTime::fromString(dateTime, QLatin1String(DateTimeFormat)).addMSecs(-ms);
    } else if (ms - previousMs > FlagInterval::milliseconds(previousSetting) + GapMs) {
        run->markGap();
    }
    run->append(ms, counts, setting);
    ++records;
    previousMs = ms;
    previousSetting = setting;
}

bool RunCsv::Reader::finish() {
    if (lines == 0)
        error = QStringLiteral("empty");
    return !failed();
}
