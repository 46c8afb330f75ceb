#pragma once

#include <cstdint>
#include <random>

// Reproducible random numbers: the same seed gives the same sequence on every platform
// (only the engine's raw output is used, no library distributions).
class SimRandom {
public:
    explicit SimRandom(uint64_t seed);

    uint64_t next();
    double uniform();             // [0, 1)
    int range(int low, int high); // low..high inclusive
    bool chance(double probability);
    unsigned poisson(double mean);

private:
    std::mt19937_64 m_engine;
};
