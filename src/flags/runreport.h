#ifndef RUNREPORT_H
#define RUNREPORT_H

#include "unitidentity.h"

#include <QDateTime>
#include <QString>

class QCustomPlot;
class RunStore;
class RunSummary;

// One run on one printable A4 page (portrait, 15 mm margins), as PDF: the unit measured, the
// start, the time measured and the interval(s), the whole run as a plot scaled to its highest
// rate, the summary table with the operator's limits, both verdicts (the limits' and the CD
// standard's) and the flag file's name.
class RunReport {
public:
    struct Run {
        UnitIdentity unit;
        QDateTime started;
        const RunStore* store = nullptr;
        const RunSummary* summary = nullptr;
        QString flagFile; // empty: none
    };

    // Writes the report of `run` to `path`, its curves named and drawn as on the flag page's
    // `livePlot`. False when the file could not be written.
    static bool write(const QString& path, const Run& run, QCustomPlot* livePlot);
};

#endif // RUNREPORT_H
