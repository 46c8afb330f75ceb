#include "flags/runseries.h"

#include "flags/flaginterval.h"
#include "flags/flagscale.h"
#include "flags/runsummary.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Fields = 9;

void appendNumber(QString& text, qint64 value) {
    text += QString::number(value);
}

} // namespace

void RunSeries::clear() {
    seconds.clear();
    seconds.shrink_to_fit();
    closedChunks.clear();
    openText.clear();
    measured = 0;
    positioned = false;
}

void RunSeries::add(qint64 elapsedMs, const RunStore::Counts& counts, int setting,
                    const Position& at) {
    const int index = int(measured / 1000);
    if (index >= size()) {
        // The second before is complete: its line joins the text.
        if (!seconds.empty()) {
            openText += line(seconds.back());
            if (size() % ChunkSeconds == 0) {
                closedChunks.append(openText);
                openText.clear();
            }
        }
        Second next;
        next.elapsedMs =
            std::max<qint64>(seconds.empty() ? 0 : seconds.back().elapsedMs, elapsedMs);
        seconds.push_back(next);
    }
    Second& s = seconds.back();
    for (int k = 0; k < 5; ++k)
        s.counts[size_t(k)] =
            quint16(std::min<int>(0xFFFF, s.counts[size_t(k)] + counts[size_t(k)]));
    const int ms = FlagInterval::milliseconds(setting);
    s.ms += ms;
    measured += ms;
    if (s.position.track <= 0 && at.track > 0)
        s.position.track = at.track;
    if (s.position.discSecond < 0 && at.discSecond >= 0) {
        s.position.discSecond = at.discSecond;
        positioned = true;
    }
}

QString RunSeries::line(const Second& s) const {
    QString text;
    text.reserve(40);
    appendNumber(text, s.elapsedMs / 1000);
    text += QLatin1Char(',');
    appendNumber(text, s.ms);
    for (quint16 count : s.counts) {
        text += QLatin1Char(',');
        appendNumber(text, count);
    }
    text += QLatin1Char(',');
    if (s.position.track > 0)
        appendNumber(text, s.position.track);
    text += QLatin1Char(',');
    if (s.position.discSecond >= 0)
        appendNumber(text, s.position.discSecond);
    text += QLatin1Char('\n');
    return text;
}

QVector<RunSeries::Chunk> RunSeries::chunksFrom(int fromSecond) const {
    QVector<Chunk> out;
    if (seconds.empty())
        return out;
    const int last = size() - 1;
    for (int c = std::max(0, fromSecond) / ChunkSeconds; c <= last / ChunkSeconds; ++c) {
        Chunk chunk;
        chunk.firstSecond = c * ChunkSeconds;
        if (c < closedChunks.size()) {
            chunk.seconds = ChunkSeconds;
            chunk.text = closedChunks[c];
        } else {
            chunk.seconds = last - chunk.firstSecond + 1;
            chunk.text = openText + line(seconds.back());
        }
        out.append(chunk);
    }
    return out;
}

bool RunSeries::parseLine(const QStringRef& text, Second* s) {
    const QVector<QStringRef> fields = text.split(QLatin1Char(','));
    if (fields.size() != Fields)
        return false;
    bool ok = false;
    const qint64 elapsed = fields[0].toLongLong(&ok);
    if (!ok || elapsed < 0 || elapsed > (qint64(1) << 40))
        return false;
    s->elapsedMs = elapsed * 1000;
    s->ms = fields[1].toInt(&ok);
    if (!ok || s->ms < 0 || s->ms > 10000)
        return false;
    for (int k = 0; k < 5; ++k) {
        s->counts[size_t(k)] = fields[2 + k].toUShort(&ok);
        if (!ok)
            return false;
    }
    s->position = Position();
    if (!fields[7].isEmpty()) {
        s->position.track = fields[7].toInt(&ok);
        if (!ok || s->position.track < 0)
            return false;
    }
    if (!fields[8].isEmpty()) {
        s->position.discSecond = fields[8].toInt(&ok);
        if (!ok || s->position.discSecond < 0)
            return false;
    }
    return true;
}

bool RunSeries::fromChunks(QVector<Chunk> chunks, RunSeries* out, QString* error) {
    out->clear();
    std::sort(chunks.begin(), chunks.end(),
              [](const Chunk& a, const Chunk& b) { return a.firstSecond < b.firstSecond; });
    for (const Chunk& chunk : chunks) {
        if (chunk.firstSecond != out->size()) {
            *error = QStringLiteral("seconds %1 to %2 are missing")
                         .arg(out->size())
                         .arg(chunk.firstSecond - 1);
            out->clear();
            return false;
        }
        const QVector<QStringRef> lines =
            chunk.text.splitRef(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QStringRef& text : lines) {
            Second s;
            if (!parseLine(text, &s)) {
                *error = QStringLiteral("second %1 cannot be read: \"%2\"")
                             .arg(out->size())
                             .arg(text.left(80).toString());
                out->clear();
                return false;
            }
            out->seconds.push_back(s);
            out->measured += s.ms;
            out->positioned = out->positioned || s.position.discSecond >= 0;
        }
        if (out->size() != chunk.firstSecond + chunk.seconds) {
            *error = QStringLiteral("the seconds from %1 on are incomplete").arg(chunk.firstSecond);
            out->clear();
            return false;
        }
    }
    // The text as it stood when the last second was being filled.
    for (int i = 0; i + 1 < out->size(); ++i) {
        out->openText += out->line(out->at(i));
        if ((i + 1) % ChunkSeconds == 0) {
            out->closedChunks.append(out->openText);
            out->openText.clear();
        }
    }
    return true;
}

double RunSeries::percent(const Second& s, int flag) {
    return s.ms > 0 ? s.counts[size_t(flag)] * 100000.0 / (s.ms * FlagScale::FramesPerSecond) : 0.0;
}

RunStore RunSeries::toStore() const {
    RunStore store;
    qint64 previousEnd = -1;
    for (const Second& s : seconds) {
        if (previousEnd >= 0 && s.elapsedMs - previousEnd > GapMs)
            store.markGap();
        RunStore::Counts scaled;
        for (int k = 0; k < 5; ++k) {
            const double perSecond =
                s.ms > 0 ? s.counts[size_t(k)] * 1000.0 / s.ms : double(s.counts[size_t(k)]);
            scaled[size_t(k)] = quint16(std::min(65535.0, std::round(perSecond)));
        }
        store.append(s.elapsedMs, scaled, 1);
        previousEnd = s.elapsedMs + s.ms;
    }
    return store;
}

void RunSeries::addUp(RunSummary& summary) const {
    for (const Second& s : seconds)
        summary.addSpan(s.counts, s.ms);
}
