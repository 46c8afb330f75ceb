#include "laser/laserlist.h"

void LaserList::push(quint32 value) {
    if (sampleCount < Capacity)
        ++sampleCount;
    samples[write_index] = value;
    write_index = (write_index + 1) % Capacity;
    quint32 total = 0;
    for (int i = 0; i < sampleCount; ++i)
        total += samples[i];
    sampleSum = total;
    avg = static_cast<quint32>((static_cast<double>(sampleSum) + 0.5) / sampleCount);
    emit pushed(sampleCount);
}

void LaserList::flush() {
    sampleCount = 0;
    write_index = 0;
}

QString LaserList::averageText(quint32 average) {
    return QString::number(average, 16).toUpper() + QStringLiteral(" (") +
           QString::number(average * 3.3 / 18.414, 'f', 1) + QStringLiteral(" mA)");
}

QString LaserList::countText(int count) {
    return QStringLiteral("Average Laser ADC Value of %1 values").arg(count);
}
