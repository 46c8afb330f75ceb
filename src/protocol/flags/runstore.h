#ifndef RUNSTORE_H
#define RUNSTORE_H

#include <QVector>
#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

// Every record of a run, compact enough for a day at the 30 ms interval (about 2.9 million
// records in under 40 MB), with the lowest and highest flag rates of every block of up to 64
// records, so that a view of the whole run is drawn without visiting every record.
//
// A record is its time (milliseconds since the run started; a time earlier than the record
// before counts as that one's), its five counts and the interval setting it was counted over.
// A block holds records of one setting; a new one also starts after a gap (nothing was measured
// since the record before) and where its records would span more than 65 s.
class RunStore {
public:
    using Counts = std::array<quint16, 5>;
    static constexpr int BlockRecords = 64;

    // A count as a rate in percent of the interval's frames: the flag plot's scale, but always
    // unsigned (a count is never negative).
    static double percent(quint16 count, int setting);

    void clear();
    void append(qint64 ms, const Counts& counts, int setting);
    // Nothing was measured between the last record and the next one.
    void markGap();

    qint64 size() const { return count; }
    bool isEmpty() const { return count == 0; }
    qint64 timeMs(qint64 index) const;
    Counts counts(qint64 index) const;
    int setting(qint64 index) const;
    bool followsGap(qint64 index) const;
    qint64 lastMs() const { return latestMs; }

    // Calls f(ms, counts, setting, followsGap) for every record, in order.
    template <typename F> void forEach(F&& f) const {
        for (const Block& b : blocks) {
            for (int j = 0; j < b.count; ++j) {
                const Record& r = record(b.first + j);
                f(qint64(b.startMs) + r.offset, Counts{r.c[0], r.c[1], r.c[2], r.c[3], r.c[4]},
                  int(b.setting), j == 0 && b.followsGap);
            }
        }
    }

    // The five curves of a view of [fromMs, toMs] that is `columns` pixels wide. Where more
    // records fall in the view than twice its columns, each column with records gets the
    // lowest and the highest rate of each flag, as two points at the column's middle; otherwise
    // every record is a point. One record on either side of the view is taken along, so the
    // curves reach its edges, and a NaN point breaks the curves at every gap. Keys in seconds.
    struct Envelope {
        QVector<double> keys;
        std::array<QVector<double>, 5> values;
        bool decimated = false;
    };
    Envelope envelope(double fromMs, double toMs, int columns) const;

    // Bytes held for the records and blocks (allocated, not only used).
    qint64 memoryBytes() const;

private:
    static constexpr int ChunkRecords = 65536;
    struct Record {
        quint16 offset; // milliseconds after the block's first record
        quint16 c[5];
    };
    struct Block {
        quint32 first;
        quint32 startMs;
        quint16 count;
        quint8 setting;
        bool followsGap;
        float low[5];
        float high[5];
    };

    const Record& record(qint64 index) const {
        return chunks[size_t(index / ChunkRecords)][size_t(index % ChunkRecords)];
    }
    Record& record(qint64 index) {
        return chunks[size_t(index / ChunkRecords)][size_t(index % ChunkRecords)];
    }
    // The block holding record `index`.
    const Block& blockOf(qint64 index) const;
    int blockIndexOf(qint64 index) const;
    // The first record at or after `ms`.
    qint64 firstAtOrAfter(double ms) const;

    std::vector<std::unique_ptr<Record[]>> chunks;
    std::vector<Block> blocks;
    qint64 count = 0;
    quint32 latestMs = 0;
    bool gapPending = false;
};

#endif // RUNSTORE_H
