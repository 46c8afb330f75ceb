#ifndef LASERLIST_H
#define LASERLIST_H

#include <QObject>
#include <QString>

// The ring of the last 64 laser ADC readings and their rounded average.
class LaserList : public QObject {
    Q_OBJECT
public:
    static constexpr int Capacity = 64;

    explicit LaserList(QObject* parent = nullptr) : QObject(parent) {}

    // Stores a reading in the next slot and recomputes sum and average over the valid slots.
    void push(quint32 value);
    int count() const { return sampleCount; }
    int writeIndex() const { return write_index; }
    quint32 sum() const { return sampleSum; }
    quint32 average() const { return avg; }

    // The average as the expert page shows it: upper-case hexadecimal and, in brackets, the
    // current it stands for with one decimal ("190 (71.7 mA)").
    static QString averageText(quint32 average);
    // "Average Laser ADC Value of 12 values"
    static QString countText(int count);

signals:
    void pushed(int count);

public slots:
    // Empties the ring logically: old values stay until overwritten but are no longer summed.
    void flush();

private:
    quint32 samples[Capacity] = {};
    int sampleCount = 0;
    int write_index = 0;
    quint32 sampleSum = 0;
    quint32 avg = 0;
};

#endif // LASERLIST_H
