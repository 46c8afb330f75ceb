#ifndef RESULTSINDICATOR_H
#define RESULTSINDICATOR_H

#include "resultsstatus.h"

#include <QString>

class QLabel;
class QStatusBar;

// The status bar's word on the results database, shown while something is amiss: runs that no
// outbox could keep, a database that does not answer, runs waiting in the outbox (the database
// cannot be reached or refuses them); the database and the reason are its tooltip.
class ResultsIndicator {
public:
    explicit ResultsIndicator(QStatusBar* bar);

    void show(const ResultsStatus& status);
    // "  RESULTS: 3 runs NOT SAVED (disk full)  ", else "  RESULTS: database not answering  ",
    // else "  RESULTS: 1 run waiting  ", "  RESULTS: 3 runs waiting  "; empty when all is well.
    static QString text(const ResultsStatus& status);

private:
    QLabel* label = nullptr;
};

#endif // RESULTSINDICATOR_H
