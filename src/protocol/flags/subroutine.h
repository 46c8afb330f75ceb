#ifndef SUBROUTINE_H
#define SUBROUTINE_H

#include <QObject>

class CFlags;

// Accumulates the flag counts of one track over a span of play time [startSecond, endSecond].
// It acts only in mode 20 and only on records of track `id`.
class SubRoutine : public QObject {
    Q_OBJECT
public:
    static const int ActiveMode = 20;

    SubRoutine(int id, int mode, int startSecond, int endSecond, QObject* parent = nullptr);

    int id;
    int mode;
    int startSecond;
    int endSecond;

    // One accumulator per flag count.
    int c1Flags = 0;
    int c1Uncorrectable = 0;
    int c2Flags = 0;
    int c2Uncorrectable = 0;
    int interpolationFlags = 0;

    // At the first or last second the accumulators take the record's counts, strictly between
    // them the counts are added; other records change nothing.
    void parseCFlags(const CFlags* record);
};

#endif // SUBROUTINE_H
