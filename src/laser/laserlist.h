#ifndef LASERLIST_H
#define LASERLIST_H

#include <QObject>

// The ring of the last 64 laser ADC readings and their rounded average.
class LaserList : public QObject {
    Q_OBJECT
public:
    static constexpr int Capacity = 64;

    explicit LaserList(QObject* parent = nullptr) : QObject(parent) {}

    void push(quint16 value);
    int count() const { return sampleCount; }
    quint32 average() const { return avg; }

signals:
    void pushed(int count);

public slots:
    void flush();

private:
    quint16 samples[Capacity] = {};
    int sampleCount = 0;
    int write_index = 0;
    quint32 avg = 0;
};

#endif // LASERLIST_H
