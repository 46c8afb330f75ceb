#include "laser/laserhistory.h"

double LaserHistory::toMilliampere(quint8 value, int firmwareVersion) {
    if (value == 0xFF && firmwareVersion >= 59)
        return 0.0;
    return value * 5.0 / 7.0;
}

int LaserHistory::build(quint64 runtime, quint8 last_index, const quint8* values,
                        int firmwareVersion, QVector<double>* times, QVector<double>* currents) {
    currents->clear();
    times->clear();
    const quint64 span = static_cast<quint64>(RingSize) * SampleSeconds;
    for (quint64 t = runtime > span ? runtime - span : 0; t <= runtime; t += SampleSeconds)
        times->append(static_cast<double>(t));
    // as many of the newest samples as there are times, at most the whole ring
    const int kept = qMin(times->size(), RingSize);
    int recorded = 0;
    for (int k = RingSize - kept + 1; k <= RingSize; ++k) {
        const quint8 value = values[(last_index + k) % RingSize];
        recorded += value != 0xFF ? 1 : 0;
        currents->append(toMilliampere(value, firmwareVersion));
    }
    return recorded;
}

QString LaserHistory::eraseQuestion() {
    return QStringLiteral("Erasing the laser history destroys the only record the CD-Board keeps "
                          "of its laser current, and resets its laser on-time.\n\nErase the "
                          "laser history now?");
}
