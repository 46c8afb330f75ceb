#include "flags/flagscale.h"

#include <cmath>
#include <limits>

double FlagScale::perCount(double intervalSeconds) const {
    return unit == Unit::PerSecond ? 1.0 / intervalSeconds
                                   : 100.0 / (intervalSeconds * FramesPerSecond);
}

double FlagScale::fromPercent(double percent) const {
    return unit == Unit::PerSecond ? percent * FramesPerSecond / 100.0 : percent;
}

QString FlagScale::axisLabel() const {
    return unit == Unit::PerSecond ? QStringLiteral("Flags per second")
                                   : QStringLiteral("Flags in %");
}

double FlagScale::automaticTop(double largest) const {
    const double wanted = std::max(largest * 1.05, fromPercent(0.1));
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * decade >= wanted)
            return step * decade;
    }
    return 10.0 * decade;
}

double FlagScale::automaticTop(double largest, double largestCovered, double covered) const {
    // A legend over most of the height leaves too little room to keep anything clear of it.
    if (covered <= 0.0 || covered > 0.8)
        return automaticTop(largest);
    return automaticTop(std::max(largest, largestCovered / (1.0 - covered)));
}

double FlagScale::edgeTop() const {
    return automatic ? std::numeric_limits<double>::infinity() : fixedTop();
}

bool FlagScale::EdgeTrack::marks(double key, double value) {
    if (!(value > top)) { // NaN (a gap) ends a stretch as well
        above = false;
        return false;
    }
    const bool marked = !above || key - lastMark >= spacing;
    if (marked)
        lastMark = key;
    above = true;
    return marked;
}
