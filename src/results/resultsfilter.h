#ifndef RESULTSFILTER_H
#define RESULTSFILTER_H

#include <QDateTime>
#include <QString>
#include <QVariantList>

// Which runs to list: every condition that is set must hold. Runs come newest first.
struct ResultsFilter {
    enum class Verdict { Any, Pass, Fail };

    // Part of the serial number or of the unit ID, any case.
    QString unit;
    // Runs started in [from, to]; an invalid end leaves that side open.
    QDateTime from;
    QDateTime to;
    // A run fails when either verdict is "FAIL"; it passes when the standard's verdict is
    // "PASS" and the limits did not fail it. A run without a verdict is neither.
    Verdict verdict = Verdict::Any;
    QString station; // exactly
    int limit = 0;   // at most this many runs; 0: all

    // The query's WHERE ... ORDER BY ... LIMIT part (SQL common to SQLite and PostgreSQL) and
    // the values for its placeholders.
    QString sqlTail(QVariantList* values) const;
};

#endif // RESULTSFILTER_H
