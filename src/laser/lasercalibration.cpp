#include "lasercalibration.h"

#include "logging.h"

#include <cmath>

namespace {

// A current in mA from the operator's text, or false.
bool current(const QString& text, int unit, double* mA) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || value == 0 || !std::isfinite(value))
        return false;
    *mA = unit == LaserCalibration::MicroAmpere ? value / 1000 : value;
    return true;
}

} // namespace

const LaserCalibration::Point* LaserCalibration::at(int point) const {
    return point == 1 || point == 2 ? &points[point - 1] : nullptr;
}

void LaserCalibration::start(int point) {
    if (!at(point))
        return;
    Point& started = points[point - 1];
    Point& other = points[2 - point];
    started.state = State::Sampling;
    started.samples.clear();
    if (other.state == State::Sampling)
        other.state = State::Idle;
    qCDebug(dk61Laser) << "sampling point" << point;
}

LaserCalibration::Reading LaserCalibration::take(quint16 value) {
    Reading reading;
    for (int k = 0; k < 2; ++k) {
        Point& p = points[k];
        if (p.state != State::Sampling)
            continue;
        reading.point = k + 1;
        p.samples.append(value);
        if (p.samples.size() >= SamplesPerPoint) {
            // mean and variance accumulated in the order of the readings
            const int n = p.samples.size();
            double mean = 0;
            for (double x : qAsConst(p.samples))
                mean += x / n;
            double variance = 0;
            for (double x : qAsConst(p.samples))
                variance += (x - mean) * (x - mean) / n;
            p.mean = mean;
            p.variance = variance;
            p.state = State::Calculated;
            reading.completed = true;
            qCDebug(dk61Laser) << "point" << k + 1 << "mean" << mean << "variance" << variance;
        }
        break;
    }
    return reading;
}

LaserCalibration::State LaserCalibration::state(int point) const {
    const Point* p = at(point);
    return p ? p->state : State::Idle;
}

int LaserCalibration::sampleCount(int point) const {
    const Point* p = at(point);
    return p ? p->samples.size() : 0;
}

double LaserCalibration::mean(int point) const {
    const Point* p = at(point);
    return p ? p->mean : 0;
}

double LaserCalibration::variance(int point) const {
    const Point* p = at(point);
    return p ? p->variance : 0;
}

LaserCalibration::Fit LaserCalibration::fit(const QString& current1, int unit1,
                                            const QString& current2, int unit2) const {
    Fit result;
    const QString notANumber = QStringLiteral("Measured Laser Current Value must be a Number!");
    double i1 = 0;
    double i2 = 0;
    if (!current(current1, unit1, &i1)) {
        result.warning = notANumber;
        return result;
    }
    if (!isCalculated(1) || points[0].mean == 0) {
        result.warning =
            QStringLiteral("Convert Measurment 1 to Digital Value before calculating!");
        return result;
    }
    if (!current(current2, unit2, &i2)) {
        result.warning = notANumber;
        return result;
    }
    if (!isCalculated(2) || points[1].mean == 0) {
        result.warning =
            QStringLiteral("Convert Measurment 2 to Digital Value before calculating!");
        return result;
    }
    const double a1 = std::trunc(points[0].mean);
    const double a2 = std::trunc(points[1].mean);
    if (a1 == a2) {
        result.warning = QStringLiteral(
            "Measurment 1 and 2 have the same Digital Value: measure two different currents!");
        return result;
    }
    result.k = (i2 - i1) / (a2 - a1);
    result.d = (i1 + i2) * 0.5 - (a1 + a2) * (result.k * 0.5);
    result.ok = true;
    qCDebug(dk61Laser) << "Laser Parameters: k =" << result.k << "d =" << result.d;
    return result;
}
