#ifndef LASERHISTORY_H
#define LASERHISTORY_H

#include <QString>
#include <QVector>

// The laser history of the EEPROM turned into plot points: a ring of 256 one-byte samples, one
// per 112 s of play time, each b x 5 / 7 mA.
class LaserHistory {
public:
    static constexpr int SampleSeconds = 112;
    static constexpr int RingSize = 256;

    // One history byte in mA; an erased byte (0xFF) is 0 mA from firmware 59 on.
    static double toMilliampere(quint8 value, int firmwareVersion);
    // The zero-hour byte in mA.
    static double zeroByteMilliampere(quint8 value) { return value * 5.0 / 7.0; }

    // The question before the history is erased: the board keeps no other record of its laser.
    static QString eraseQuestion();
    // Why the history cannot be read or erased now.
    static QString stopModeText() {
        return QStringLiteral("Please use this function only during STOP mode!");
    }
    static QString busyText() {
        return QStringLiteral("Please wait until the EEPROM has been flashed!");
    }
    // `what`: the exchange still running ("Laser history read").
    static QString waitText(const QString& what) {
        return QStringLiteral("Please wait until the %1 has finished!").arg(what.toLower());
    }

    // The samples from the oldest (after last_index) to the newest (at last_index) and the play
    // times they belong to, ending at runtime; only the newest samples that have a time are
    // kept, so both lists pair from the start. Returns how many of them were recorded (not
    // erased): none for an empty history.
    static int build(quint64 runtime, quint8 last_index, const quint8* values, int firmwareVersion,
                     QVector<double>* times, QVector<double>* currents);
    static QString emptyText() {
        return QStringLiteral("The laser history is empty: no laser current recorded yet.");
    }
};

#endif // LASERHISTORY_H
