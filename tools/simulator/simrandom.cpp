#include "simrandom.h"

#include <cmath>

SimRandom::SimRandom(uint64_t seed) : m_engine(seed) {}

uint64_t SimRandom::next() {
    return m_engine();
}

double SimRandom::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

int SimRandom::range(int low, int high) {
    if (high <= low)
        return low;
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    const uint64_t limit = UINT64_MAX - UINT64_MAX % span;
    uint64_t v = next();
    while (v >= limit)
        v = next();
    return low + static_cast<int>(v % span);
}

bool SimRandom::chance(double probability) {
    if (probability <= 0.0)
        return false;
    return uniform() < probability;
}

unsigned SimRandom::poisson(double mean) {
    if (!(mean > 0.0))
        return 0;
    if (mean < 40.0) {
        const double limit = std::exp(-mean);
        unsigned k = 0;
        double p = uniform();
        while (p > limit) {
            ++k;
            p *= uniform();
        }
        return k;
    }
    // Normal approximation for large means (Box-Muller).
    const double u1 = 1.0 - uniform();
    const double u2 = uniform();
    const double z = std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
    const double v = std::round(mean + std::sqrt(mean) * z);
    return v < 0.0 ? 0u : static_cast<unsigned>(v);
}
