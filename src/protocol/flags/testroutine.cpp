#include "flags/testroutine.h"

#include "flags/cflags.h"
#include "flags/subroutine.h"
#include "shell/logging.h"

TestRoutine::TestRoutine(QObject* parent) : QObject(parent) {
    // (id, mode, startSecond, endSecond)
    const int table[3][4] = {{1, 2, 3, 12}, {3, 3, 3, 6}, {2, 9, 3, 11}};
    for (const auto& row : table)
        addSubRoutine(row[0], row[1], row[2], row[3]);
}

SubRoutine* TestRoutine::addSubRoutine(int id, int mode, int startSecond, int endSecond) {
    auto* sub = new SubRoutine(id, mode, startSecond, endSecond, this);
    qCDebug(dk61Flags) << "Subroutine" << subRoutines.size() << sub->id << sub->mode
                       << sub->startSecond << sub->endSecond;
    subRoutines.append(sub);
    return sub;
}

void TestRoutine::parseCFLags(CFlags* cflags) {
    if (!subRoutines.isEmpty())
        subRoutines.first()->parseCFlags(cflags);
}
