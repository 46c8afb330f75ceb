#ifndef RUNSUMMARY_H
#define RUNSUMMARY_H

#include "flaglimits.h"
#include "runstore.h"

#include <QString>

// What a run adds up to, per flag: the total count, the highest rate (with its record's count),
// the average rate (all flagged frames over all frames counted) and the records over the limit;
// for the run: its records, the records with any uncorrectable or interpolated frame, its length
// (the time its records were counted over) and whether it passes the limits. Kept up to date
// record by record; rebuilt from the store when the limits change.
class RunSummary {
public:
    static constexpr int Flags = 5;
    // The flag page's names of the five flags.
    static const char* const FlagNames[Flags];

    struct Flag {
        qint64 total = 0;
        double maxRate = 0.0;
        quint16 maxCount = 0;
        qint64 overLimit = 0;
    };
    enum class Verdict { NoLimits, Pass, Fail };

    // Takes effect for the records added from now on; rebuild() recounts the others.
    void setLimits(const FlagLimits& limits) { flagLimits = limits; }
    const FlagLimits& limits() const { return flagLimits; }
    // An empty run (the limits stay).
    void clear();
    void add(const RunStore::Counts& counts, int setting);
    void rebuild(const RunStore& store);

    qint64 records() const { return recordCount; }
    qint64 troubledRecords() const { return troubled; }
    qint64 lengthMs() const { return length; }
    const Flag& flag(int k) const { return flags[k]; }
    double averageRate(int k) const;
    Verdict verdict() const;

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
    // The whole summary as lines of text (for exported plots).
    QString plainText() const;

private:
    FlagLimits flagLimits;
    Flag flags[Flags];
    qint64 recordCount = 0;
    qint64 troubled = 0;
    qint64 length = 0;
    // Audio frames counted, over all records (an interval holds 7350, 1249.5 or 220.5 frames).
    double frames = 0.0;
};

#endif // RUNSUMMARY_H
