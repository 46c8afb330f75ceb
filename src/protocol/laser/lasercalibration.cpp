#include "laser/lasercalibration.h"

#include "shell/logging.h"

#include <cmath>

namespace {

// A non-zero finite number from the operator's text, or false.
bool nonZero(const QString& text, double* value) {
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok && *value != 0 && std::isfinite(*value);
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

void LaserCalibration::stop() {
    for (Point& p : points)
        if (p.state == State::Sampling)
            p.state = State::Idle;
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

QString LaserCalibration::progressText(int point) const {
    const Point* p = at(point);
    if (!p || (p->state == State::Idle && p->samples.isEmpty()))
        return QString();
    const QString text =
        QStringLiteral("%1 of %2 readings").arg(p->samples.size()).arg(SamplesPerPoint);
    return p->state == State::Idle ? QStringLiteral("Stopped at ") + text : text;
}

LaserCalibration::Fit LaserCalibration::fit(const Entry& first, const Entry& second) const {
    Fit result;
    double current[2];
    double adc[2];
    const Entry* entries[] = {&first, &second};
    for (int k = 0; k < 2; ++k) {
        if (!nonZero(entries[k]->current, &current[k])) {
            result.warning = QStringLiteral("Measured Laser Current Value must be a Number!");
            return result;
        }
        if (entries[k]->unit == MicroAmpere)
            current[k] /= 1000;
        if (!isCalculated(k + 1) || !nonZero(entries[k]->mean, &adc[k])) {
            result.warning =
                QStringLiteral("Convert Measurment %1 to Digital Value before calculating!")
                    .arg(k + 1);
            return result;
        }
    }
    if (adc[0] == adc[1]) {
        result.warning = QStringLiteral(
            "Measurment 1 and 2 have the same Digital Value: measure two different currents!");
        return result;
    }
    result.k = (current[1] - current[0]) / (adc[1] - adc[0]);
    result.d = (current[0] + current[1]) * 0.5 - (adc[0] + adc[1]) * (result.k * 0.5);
    result.ok = true;
    qCDebug(dk61Laser) << "Laser Parameters: k =" << result.k << "d =" << result.d;
    return result;
}
