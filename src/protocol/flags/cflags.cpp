#include "flags/cflags.h"

CFlags::CFlags(quint16 c1Flags, quint16 c1Uncorrectable, quint16 c2Flags, quint16 c2Uncorrectable,
               quint16 interpolationFlags, quint16 track, const QTime& trackClock,
               const QTime& playTime, quint16 flagSecond)
    : c1Flags(c1Flags), c1Uncorrectable(c1Uncorrectable), c2Flags(c2Flags),
      c2Uncorrectable(c2Uncorrectable), interpolationFlags(interpolationFlags), track(track),
      trackClock(trackClock), playTime(playTime), flagSecond(flagSecond) {}

qint16 CFlags::getPlayTimeSeconds() const {
    if (!playTime.isValid())
        return 0;
    const int seconds = playTime.hour() * 3600 + playTime.minute() * 60 + playTime.second();
    return static_cast<qint16>(seconds);
}
