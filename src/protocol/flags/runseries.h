#ifndef RUNSERIES_H
#define RUNSERIES_H

#include "flags/runstore.h"

#include <QString>
#include <QVector>

#include <vector>

class RunSummary;

// A run's curve as the results database keeps it (table `run_series`): the five flag counts
// summed over each second of measured time (the records' own intervals add up to the time, as in
// RunSummary), with the run time at which the second began, the time it really holds (a second of
// 30 ms records holds 33 or 34 of them, 990 or 1020 ms) and the track and disc time the board
// reported during it. A 74-minute run is about 4,400 seconds, some 110 kB of text.
//
// The seconds go to the database as text in chunks of ChunkSeconds, a row each, one line a
// second: "elapsed,ms,c1,c1u,c2,c2u,interp,track,disc" (decimal; the run time and the disc time
// in whole seconds; track and disc time empty where the board reported none).
class RunSeries {
public:
    static constexpr int ChunkSeconds = 600;

    // Where the disc was when a record was counted: its track (0: none reported) and the disc
    // time in seconds (-1: none reported).
    struct Position {
        int track = 0;
        int discSecond = -1;
    };
    struct Second {
        qint64 elapsedMs = 0; // run time of its first record
        int ms = 0;           // time measured in it
        RunStore::Counts counts{};
        Position position; // the first one reported in it
    };
    // Seconds firstSecond .. firstSecond + seconds - 1 as text; `revision` is the results
    // database's bookkeeping (the revision of the run that wrote it).
    struct Chunk {
        int firstSecond = 0;
        int seconds = 0;
        QString text;
        qint64 revision = 0;
    };

    void clear();
    // A record counted over interval `setting` (1, 2 or 3) at run time `elapsedMs`.
    void add(qint64 elapsedMs, const RunStore::Counts& counts, int setting, const Position& at);

    // The seconds, the one still being filled included.
    int size() const { return int(seconds.size()); }
    bool isEmpty() const { return seconds.empty(); }
    const Second& at(int i) const { return seconds[size_t(i)]; }
    // Some second has a disc time.
    bool hasPositions() const { return positioned; }
    // The run's length as its seconds measured it, in milliseconds.
    qint64 measuredMs() const { return measured; }

    // The chunks that hold seconds from `fromSecond` on, the one being filled included: what
    // changed in the database since the seconds before `fromSecond` were handed over.
    QVector<Chunk> chunksFrom(int fromSecond) const;
    QVector<Chunk> chunks() const { return chunksFrom(0); }
    // Reads chunks back (in any order); false with the reason for text that is no series or
    // chunks that leave seconds out.
    static bool fromChunks(QVector<Chunk> chunks, RunSeries* out, QString* error);

    // The run as one record a second at its run time, the counts scaled to a whole second (a
    // rate is a count over 7350 frames), for the plots; a pause of more than GapMs between two
    // seconds is a gap.
    static constexpr int GapMs = 3000;
    RunStore toStore() const;
    // Adds every second into `summary` (counts and time exactly).
    void addUp(RunSummary& summary) const;
    // A count of a second as a rate in percent of the frames it measured.
    static double percent(const Second& s, int flag);

private:
    QString line(const Second& s) const;
    static bool parseLine(const QStringRef& line, Second* s);

    std::vector<Second> seconds;
    // The text of the chunks whose seconds are all complete, and of the complete seconds of the
    // chunk being filled.
    QVector<QString> closedChunks;
    QString openText;
    qint64 measured = 0;
    bool positioned = false;
};

#endif // RUNSERIES_H
