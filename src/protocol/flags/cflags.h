#ifndef CFLAGS_H
#define CFLAGS_H

#include <QMetaType>
#include <QTime>

// One CFLAG record: the five flag counts of one interval, with the track, the clocks and the
// measurement second at which the flag board reported it. Built once, never changed.
//
// A plain value on the heap, not a QObject: one is built for every record the flag board sends
// (up to 33 a second), and a QObject's private part and set-up would cost more than the rest of
// the record's decoding; nothing uses signals, a parent or properties of a record.
class CFlags {
public:
    CFlags(quint16 c1Flags, quint16 c1Uncorrectable, quint16 c2Flags, quint16 c2Uncorrectable,
           quint16 interpolationFlags, quint16 track, const QTime& trackClock,
           const QTime& playTime, quint16 flagSecond);

    quint16 getC1Flags() const { return c1Flags; }
    quint16 getC1Uncorrectable() const { return c1Uncorrectable; }
    quint16 getC2Flags() const { return c2Flags; }
    quint16 getC2Uncorrectable() const { return c2Uncorrectable; }
    quint16 getInterpolationFlags() const { return interpolationFlags; }
    quint16 getTrack() const { return track; }
    QTime getTrackClock() const { return trackClock; }
    QTime getPlayTime() const { return playTime; }
    quint16 getFlagSecond() const { return flagSecond; }
    // The play time in seconds, as a signed 16-bit value.
    qint16 getPlayTimeSeconds() const;

private:
    quint16 c1Flags;
    quint16 c1Uncorrectable;
    quint16 c2Flags;
    quint16 c2Uncorrectable;
    quint16 interpolationFlags;
    quint16 track;
    QTime trackClock;
    QTime playTime;
    quint16 flagSecond;
};

// Records travel as pointers in signals (the window's recievedCFlags).
Q_DECLARE_METATYPE(CFlags*)

#endif // CFLAGS_H
