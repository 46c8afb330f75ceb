#include "flags/runstore.h"

#include "flags/flagplotwindow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const double Scale[4] = {FlagPlotWindow::scaleFor(FlagPlotWindow::intervalFor(1)),
                         FlagPlotWindow::scaleFor(FlagPlotWindow::intervalFor(1)),
                         FlagPlotWindow::scaleFor(FlagPlotWindow::intervalFor(2)),
                         FlagPlotWindow::scaleFor(FlagPlotWindow::intervalFor(3))};

int settingIndex(int setting) {
    return setting == 2 || setting == 3 ? setting : 1;
}

// Collects the points of an envelope column by column.
struct ColumnWriter {
    RunStore::Envelope& out;
    double fromMs;
    double columnMs;
    qint64 column = std::numeric_limits<qint64>::min();
    bool filled = false;
    bool gapBefore = false;
    double low[5] = {};
    double high[5] = {};

    void take(qint64 c, const double* rates) {
        if (c != column) {
            flush();
            column = c;
        }
        for (int k = 0; k < 5; ++k) {
            low[k] = filled ? std::min(low[k], rates[k]) : rates[k];
            high[k] = filled ? std::max(high[k], rates[k]) : rates[k];
        }
        filled = true;
    }
    void takeRange(qint64 c, const float* lows, const float* highs) {
        if (c != column) {
            flush();
            column = c;
        }
        for (int k = 0; k < 5; ++k) {
            low[k] = filled ? std::min(low[k], double(lows[k])) : lows[k];
            high[k] = filled ? std::max(high[k], double(highs[k])) : highs[k];
        }
        filled = true;
    }
    // Whatever follows is on the far side of a gap.
    void gap() {
        flush();
        gapBefore = true;
    }
    void flush() {
        if (!filled)
            return;
        const double key = (fromMs + (double(column) + 0.5) * columnMs) / 1000.0;
        if (gapBefore) {
            out.keys.append(key - columnMs / 2000.0);
            for (int k = 0; k < 5; ++k)
                out.values[k].append(std::numeric_limits<double>::quiet_NaN());
            gapBefore = false;
        }
        out.keys.append(key);
        out.keys.append(key);
        for (int k = 0; k < 5; ++k) {
            out.values[k].append(low[k]);
            out.values[k].append(high[k]);
        }
        filled = false;
    }
};

} // namespace

double RunStore::percent(quint16 count, int setting) {
    return count * Scale[settingIndex(setting)];
}

void RunStore::clear() {
    chunks.clear();
    blocks.clear();
    blocks.shrink_to_fit();
    count = 0;
    latestMs = 0;
    gapPending = false;
}

void RunStore::markGap() {
    if (count > 0)
        gapPending = true;
}

void RunStore::append(qint64 ms, const Counts& counts, int setting) {
    setting = settingIndex(setting);
    const quint32 at = quint32(qBound<qint64>(latestMs, ms, std::numeric_limits<quint32>::max()));
    Block* block = blocks.empty() ? nullptr : &blocks.back();
    if (!block || block->count == BlockRecords || block->setting != setting || gapPending ||
        at - block->startMs > 0xFFFF) {
        if (blocks.size() == blocks.capacity())
            blocks.reserve(std::max<size_t>(64, blocks.size() * 2));
        blocks.push_back(Block{quint32(count), at, 0, quint8(setting), gapPending, {}, {}});
        block = &blocks.back();
        gapPending = false;
    }
    if (count % ChunkRecords == 0 && size_t(count / ChunkRecords) == chunks.size())
        chunks.emplace_back(new Record[ChunkRecords]);
    Record& r = record(count);
    r.offset = quint16(at - block->startMs);
    for (int k = 0; k < 5; ++k) {
        r.c[k] = counts[k];
        const float rate = float(percent(counts[k], setting));
        block->low[k] = block->count ? std::min(block->low[k], rate) : rate;
        block->high[k] = block->count ? std::max(block->high[k], rate) : rate;
    }
    ++block->count;
    ++count;
    latestMs = at;
}

int RunStore::blockIndexOf(qint64 index) const {
    const auto it = std::upper_bound(blocks.begin(), blocks.end(), index,
                                     [](qint64 i, const Block& b) { return i < qint64(b.first); });
    return int(it - blocks.begin()) - 1;
}

const RunStore::Block& RunStore::blockOf(qint64 index) const {
    return blocks[size_t(blockIndexOf(index))];
}

qint64 RunStore::timeMs(qint64 index) const {
    return qint64(blockOf(index).startMs) + record(index).offset;
}

RunStore::Counts RunStore::counts(qint64 index) const {
    const Record& r = record(index);
    return Counts{r.c[0], r.c[1], r.c[2], r.c[3], r.c[4]};
}

int RunStore::setting(qint64 index) const {
    return blockOf(index).setting;
}

bool RunStore::followsGap(qint64 index) const {
    const Block& b = blockOf(index);
    return b.followsGap && qint64(b.first) == index;
}

qint64 RunStore::firstAtOrAfter(double ms) const {
    // The last block starting at or before `ms`, then its records.
    const auto it =
        std::upper_bound(blocks.begin(), blocks.end(), ms,
                         [](double t, const Block& b) { return t < double(b.startMs); });
    if (it == blocks.begin())
        return 0;
    const Block& b = *(it - 1);
    for (int j = 0; j < b.count; ++j) {
        if (double(b.startMs) + record(b.first + j).offset >= ms)
            return b.first + j;
    }
    return qint64(b.first) + b.count;
}

RunStore::Envelope RunStore::envelope(double fromMs, double toMs, int columns) const {
    Envelope out;
    if (count == 0 || columns <= 0 || !(toMs > fromMs))
        return out;
    const qint64 lo = std::max<qint64>(0, firstAtOrAfter(fromMs) - 1);
    const qint64 hi = std::min(count, firstAtOrAfter(std::nextafter(toMs, HUGE_VAL)) + 1);
    if (hi <= lo)
        return out;
    out.decimated = hi - lo > 2 * qint64(columns);
    const double columnMs = (toMs - fromMs) / columns;
    ColumnWriter writer{out, fromMs, columnMs};
    const int lastBlock = blockIndexOf(hi - 1);
    double previousMs = 0.0;
    for (int bi = blockIndexOf(lo); bi <= lastBlock; ++bi) {
        const Block& b = blocks[size_t(bi)];
        const qint64 end = qint64(b.first) + b.count;
        const qint64 a = std::max<qint64>(lo, b.first);
        const qint64 e = std::min(hi, end);
        const bool breaks = b.followsGap && a == qint64(b.first) && a > lo;
        const double scale = Scale[b.setting];
        if (!out.decimated) {
            for (qint64 i = a; i < e; ++i) {
                const Record& r = record(i);
                const double ms = double(b.startMs) + r.offset;
                if (breaks && i == a) {
                    out.keys.append((previousMs + ms) / 2000.0);
                    for (int k = 0; k < 5; ++k)
                        out.values[k].append(std::numeric_limits<double>::quiet_NaN());
                }
                out.keys.append(ms / 1000.0);
                for (int k = 0; k < 5; ++k)
                    out.values[k].append(r.c[k] * scale);
                previousMs = ms;
            }
            continue;
        }
        if (breaks)
            writer.gap();
        auto columnOf = [&](double ms) { return qint64(std::floor((ms - fromMs) / columnMs)); };
        const qint64 firstColumn = columnOf(b.startMs);
        if (a == qint64(b.first) && e == end &&
            columnOf(double(b.startMs) + record(end - 1).offset) == firstColumn) {
            writer.takeRange(firstColumn, b.low, b.high);
            continue;
        }
        for (qint64 i = a; i < e; ++i) {
            const Record& r = record(i);
            double rates[5];
            for (int k = 0; k < 5; ++k)
                rates[k] = r.c[k] * scale;
            writer.take(columnOf(double(b.startMs) + r.offset), rates);
        }
    }
    writer.flush();
    return out;
}

qint64 RunStore::memoryBytes() const {
    return qint64(sizeof(*this)) +
           qint64(chunks.capacity()) * qint64(sizeof(std::unique_ptr<Record[]>)) +
           qint64(chunks.size()) * ChunkRecords * qint64(sizeof(Record)) +
           qint64(blocks.capacity()) * qint64(sizeof(Block));
}
