#ifndef RUNREPORT_H
#define RUNREPORT_H

#include "flags/flagscale.h"
#include "flags/unitidentity.h"

#include <QDateTime>
#include <QString>

class QCustomPlot;
class QIODevice;
class RunSeries;
class RunStore;
class RunSummary;

// One run on one printable A4 page (portrait, 15 mm margins), as PDF: the unit measured, the
// start, the time measured and the interval(s), the whole run as a plot scaled to its highest
// rate, the summary table with the operator's limits, both verdicts (the limits' and the CD
// standard's) and the flag file's name.
//
// The plot is in the flag page's unit, its axis saying which (percent or per second), with the
// limits as dashed lines and, per second, the CD standard's 220 C1 blocks a second; its legend
// lies under it. It runs along the disc time with the tracks marked where the scale asks for it
// and the board reported it, and may show a reference run's C1 curve in grey.
class RunReport {
public:
    struct Run {
        UnitIdentity unit;
        QDateTime started;
        const RunStore* store = nullptr;
        const RunSummary* summary = nullptr;
        QString flagFile;                  // empty: none
        const RunSeries* series = nullptr; // its seconds with the disc positions; null: none
        // Where the curve comes from when it is not the records ("the results database"): the
        // report says so.
        QString readFrom{};
    };
    struct Look {
        FlagScale scale; // the unit, and whether the disc time is the time axis
        const RunSeries* reference = nullptr;
        QString referenceName;
    };

    // Writes the report of `run` to `path` (or `out`), its curves named and drawn as on the flag
    // page's `livePlot`. False when the file could not be written.
    static bool write(const QString& path, const Run& run, QCustomPlot* livePlot, const Look& look);
    static bool write(QIODevice& out, const Run& run, QCustomPlot* livePlot, const Look& look);
    // In percent along the elapsed time, without a reference.
    static bool write(const QString& path, const Run& run, QCustomPlot* livePlot);
};

#endif // RUNREPORT_H
