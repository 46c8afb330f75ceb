#include "flags/subroutine.h"

#include "flags/cflags.h"

SubRoutine::SubRoutine(int id, int mode, int startSecond, int endSecond, QObject* parent)
    : QObject(parent), id(id), mode(mode), startSecond(startSecond), endSecond(endSecond) {}

void SubRoutine::parseCFlags(const CFlags* record) {
    if (!record || mode != ActiveMode || record->getTrack() != id)
        return;
    const int t = record->getPlayTimeSeconds();
    if (t == startSecond || t == endSecond) {
        c1Flags = record->getC1Flags();
        c1Uncorrectable = record->getC1Uncorrectable();
        c2Flags = record->getC2Flags();
        c2Uncorrectable = record->getC2Uncorrectable();
        interpolationFlags = record->getInterpolationFlags();
    } else if (startSecond < t && t < endSecond) {
        c1Flags += record->getC1Flags();
        c1Uncorrectable += record->getC1Uncorrectable();
        c2Flags += record->getC2Flags();
        c2Uncorrectable += record->getC2Uncorrectable();
        interpolationFlags += record->getInterpolationFlags();
    }
}
