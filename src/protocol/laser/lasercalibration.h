#ifndef LASERCALIBRATION_H
#define LASERCALIBRATION_H

#include <QList>
#include <QString>

// The two reference points of the laser current line I = k * ADC + d. Starting a point collects
// the board's laser ADC readings for it; after 1000 readings its mean and variance are
// calculated and the point stops sampling, so later readings go to the ring and the live
// current again. The fit takes the two measured currents and the two means.
class LaserCalibration {
public:
    static constexpr int SamplesPerPoint = 1000;
    enum class State { Idle, Sampling, Calculated };
    enum Unit { MilliAmpere = 0, MicroAmpere = 1 }; // the index of boxUnitSelector_n

    // What a reading did.
    struct Reading {
        int point = 0;          // the point that took it; 0: no point samples
        bool completed = false; // it was that point's last: mean and variance are ready
    };

    // Point 1 or 2 starts from no samples and the other point stops sampling.
    void start(int point);
    Reading take(quint16 value);
    // A point that samples stops where it is (the link closed: the readings after it may come
    // from a board started anew).
    void stop();

    State state(int point) const;
    bool isSampling(int point) const { return state(point) == State::Sampling; }
    bool isSampling() const { return isSampling(1) || isSampling(2); }
    bool isCalculated(int point) const { return state(point) == State::Calculated; }
    int sampleCount(int point) const;
    double mean(int point) const;
    double variance(int point) const;
    // How far a point is, for the label beside its button ("345 of 1000 readings"); empty
    // before the point was first started.
    QString progressText(int point) const;

    struct Fit {
        bool ok = false;
        QString warning; // for labelCalculatorWarning; empty when ok
        double k = 0;    // mA per ADC count
        double d = 0;    // mA
    };
    // One point as the page shows it: the current as typed with its unit, and the mean.
    struct Entry {
        QString current;
        int unit = MilliAmpere;
        QString mean;
    };
    // The line through the two points as the operator reads them: the shown means, fraction
    // included. Refused with a warning when a current is not a non-zero number, a point is not
    // calculated or its mean not a non-zero number, or both means are equal.
    Fit fit(const Entry& first, const Entry& second) const;

private:
    struct Point {
        State state = State::Idle;
        QList<double> samples;
        double mean = 0;
        double variance = 0;
    };
    const Point* at(int point) const;
    Point points[2];
};

#endif // LASERCALIBRATION_H
