#ifndef FLAGPLOTWINDOW_H
#define FLAGPLOTWINDOW_H

#include <QtGlobal>

class CFlags;

// The arithmetic of the flag plot's sliding window, and the bookkeeping of which records the five
// curves currently hold so that each new record only appends one point and trims the oldest.
//
// Records are numbered absolutely since the record list was last emptied: record i of the list is
// number scroll + i, where scroll counts the records dropped from the front. Record number a is
// drawn at the time a x interval.
class FlagPlotWindow {
public:
    // Length of one statistics interval in seconds for the flag board's interval setting
    // (1: 1 s, 2: 0.17 s, 3: 0.03 s; anything else: 1 s).
    static double intervalFor(int flagSubStatus);
    // Percent of one flagged frame: 100 / (interval x 7350).
    static double scaleFor(double interval);
    // How many records fit the plot window of `width` seconds (a real number).
    static double windowFor(int width, double interval);
    static double timeOf(qint64 number, double interval) {
        return static_cast<double>(number) * interval;
    }
    // The percent value of one count, taken as a signed 16-bit number.
    static double percentOf(quint16 count, double scale) {
        return static_cast<qint16>(count) * scale;
    }

    // One plot step for a list of `count` records (after the oldest was dropped, if it was).
    struct Step {
        qint64 firstTaken = 0;  // list index of the first record drawn; count when none is
        bool setsRange = false; // the x range becomes [timeOf(first), timeOf(last)]
    };
    // Whether a list of `count` records must drop its oldest record first.
    static bool dropsOldest(qint64 count, double window) { return count > window + 1; }
    static Step plan(qint64 count, double window);

    // What the curves must change to show the numbers [first, end) at `interval`.
    struct Update {
        bool rebuild = true; // replace all points by those of [first, end)
        qint64 appendFrom =
            0; // otherwise: drop the points before `first`, append [appendFrom, end)
    };
    // The number of the newest record the curves show (-1 when they show nothing known).
    qint64 shownNewestNumber() const { return shownValid ? shownEnd - 1 : -1; }
    // `atShownNewest` is the record now listed under shownNewestNumber() (null when that number is
    // no longer listed): a list that was emptied and refilled behind the curves' back shows there
    // as a different record and forces a rebuild. `newest` is the record numbered end - 1.
    Update track(qint64 first, qint64 end, double interval, const CFlags* atShownNewest,
                 const CFlags* newest);
    // Forget what the curves hold: the next step rebuilds them.
    void invalidate() { shownValid = false; }

private:
    bool shownValid = false;
    qint64 shownFirst = 0;
    qint64 shownEnd = 0;
    double shownInterval = 0.0;
    const CFlags* shownNewest = nullptr;
};

#endif // FLAGPLOTWINDOW_H
