#ifndef RESULTSCSV_H
#define RESULTSCSV_H

#include "runresult.h"

#include <QVector>

class QIODevice;

// Runs as comma-separated values: a header line with the column names of `runs`, then one
// line per run. Lines end in carriage return and line feed; numbers use a decimal point; a text
// that a spreadsheet would take for a formula starts with an apostrophe.
class ResultsCsv {
public:
    // False when not everything could be written.
    static bool write(QIODevice& out, const QVector<RunResult>& runs);
};

#endif // RESULTSCSV_H
