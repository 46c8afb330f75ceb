#ifndef RUNSUMMARY_H
#define RUNSUMMARY_H

#include "flags/flaglimits.h"
#include "flags/runstore.h"

#include <QString>

#include <optional>

// What a run adds up to, per flag: the total count, the highest rate (with its record's count),
// the average rate (all flagged frames over all frames counted) and the records over the limit;
// for the run: its records, the records with any uncorrectable or interpolated frame, its length
// (the time its records were counted over) and whether it passes the limits. Kept up to date
// record by record; rebuilt from the store when the limits change.
//
// Apart from the operator's limits, the run is judged as disc analysers judge a disc by the CD
// standard: the block error rate (BLER, C1-flagged blocks per second) averaged over 10 s must
// stay at or below 220, and no block may stay uncorrectable after C2 (E32 = 0). A 10-s average is
// taken over the last 10 s that were measured: the records' own intervals add up to the time, so
// a record of 30 ms with 9 flagged blocks counts 300 per second like one of 1 s with 300, and a
// stretch while the link was down is no part of any window. A run shorter than 10 s is judged on
// the average of what it has.
class RunSummary {
public:
    static constexpr int Flags = 5;
    // The flag page's names of the five flags.
    static const char* const FlagNames[Flags];
    static constexpr int BlerWindowMs = 10000;
    static constexpr double BlerLimit = 220.0;

    struct Flag {
        qint64 total = 0;
        double maxRate = 0.0;
        quint16 maxCount = 0;
        qint64 overLimit = 0;
    };
    enum class Verdict { NoLimits, Pass, Fail };
    enum class Standard { NoRecords, Pass, Fail };

    // Takes effect for the records added from now on; rebuild() recounts the others.
    void setLimits(const FlagLimits& limits) { flagLimits = limits; }
    const FlagLimits& limits() const { return flagLimits; }
    // An empty run (the limits stay).
    void clear();
    void add(const RunStore::Counts& counts, int setting);
    // Counts measured over `ms` milliseconds (a second of a run read back from the results
    // database), at 7350 frames a second.
    void addSpan(const RunStore::Counts& counts, int ms);
    void rebuild(const RunStore& store);
    // The run was measured at interval `setting` (for intervalsText(), where the records do not
    // tell it).
    void noteInterval(int setting);

    // How the run was judged record by record while it was measured, for a run read back by the
    // second from the results database: these verdicts, this BLER and this number of records
    // stand for the ones the seconds would give, and "over limit" and the troubled records count
    // seconds. clear() forgets them.
    struct Judged {
        Verdict verdict = Verdict::NoLimits;
        Standard standard = Standard::NoRecords;
        double bler = 0.0;
        qint64 records = 0;
    };
    void setJudged(const Judged& judged);
    bool isJudged() const { return judgedAs.has_value(); }

    qint64 records() const { return judgedAs ? judgedAs->records : recordCount; }
    qint64 troubledRecords() const { return troubled; }
    qint64 lengthMs() const { return length; }
    const Flag& flag(int k) const { return flags[k]; }
    double averageRate(int k) const;
    Verdict verdict() const;

    // The CD standard's verdict: the highest 10-s average of C1-flagged blocks per second (the
    // average of the whole run while it is shorter than 10 s), the uncorrectable C2 total (E32).
    double maxBler() const;
    qint64 e32() const { return flags[3].total; }
    bool shorterThanWindow() const { return !blerWindowFilled; }
    Standard standard() const;

    // The texts the flag page shows.
    static QString rateText(double rate); // "0.123 %"
    QString totalText(int k) const;       // "12345"
    QString maximumText(int k) const;     // "5.605 % (412)"
    QString averageText(int k) const;     // "0.123 %"
    QString overLimitText(int k) const;   // "3 over 0.5 %", "no limit"
    QString lengthText() const;           // "01:02:03"
    QString recordsText() const;
    QString troubledText() const;
    QString verdictText() const; // "PASS", "FAIL", "no limits set"
    QString blerText() const;    // "300/s over 10 s", "112.5/s over 4 s"
    QString e32Text() const;     // "3"
    // "PASS", "FAIL: BLER 300/s over 10 s", "FAIL: E32 3", "FAIL: BLER 300/s over 10 s, E32 3",
    // with " (run shorter than 10 s)" after a short run's; "no records".
    QString standardText() const;
    QString intervalsText() const; // "1 s", "1 s, 30 ms"
    // The whole summary as lines of text (for exported plots).
    QString plainText() const;

private:
    void addMeasured(const RunStore::Counts& counts, int ms, double countedFrames,
                     double percentPerCount);

    FlagLimits flagLimits;
    std::optional<Judged> judgedAs;
    Flag flags[Flags];
    qint64 recordCount = 0;
    qint64 troubled = 0;
    qint64 length = 0;
    // Audio frames counted, over all records (an interval holds 7350, 1249.5 or 220.5 frames).
    double frames = 0.0;
    // The intervals counted over, as bits 1 << setting.
    int settings = 0;

    // The records of the last 10 s measured, oldest first, in a ring: room for 10 s of 30 ms
    // records, the one that arrives and a 1 s record that starts the window.
    struct Measured {
        quint16 c1;
        quint16 ms;
    };
    static constexpr int BlerRing = 512;
    Measured blerWindow[BlerRing] = {};
    int blerFirst = 0;
    int blerRecords = 0;
    qint64 blerC1 = 0;
    qint64 blerMs = 0;
    bool blerWindowFilled = false;
    double blerMax = 0.0;
};

#endif // RUNSUMMARY_H
