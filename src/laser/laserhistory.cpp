#include "laserhistory.h"

double LaserHistory::toMilliampere(quint8 value, int firmwareVersion) {
    if (value == 0xFF && firmwareVersion >= 59)
        return 0.0;
    return value * 5.0 / 7.0;
}

void LaserHistory::build(quint64 runtime, quint8 last_index, const quint8* values,
                         int firmwareVersion, QVector<double>* times, QVector<double>* currents) {
    currents->clear();
    times->clear();
    for (int k = 1; k <= RingSize; ++k)
        currents->append(toMilliampere(values[(last_index + k) % RingSize], firmwareVersion));
    const quint64 span = static_cast<quint64>(RingSize) * SampleSeconds;
    for (quint64 t = runtime > span ? runtime - span : 0; t <= runtime; t += SampleSeconds)
        times->append(static_cast<double>(t));
    if (currents->size() > times->size())
        currents->remove(0, currents->size() - times->size());
}

QString LaserHistory::eraseQuestion() {
    return QStringLiteral("Erasing the laser history destroys the only record the CD-Board keeps "
                          "of its laser current, and resets its laser on-time.\n\nErase the "
                          "laser history now?");
}
