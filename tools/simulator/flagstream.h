#pragma once

#include "framebuilder.h"

#include <cstdint>
#include <vector>

class SimRandom;

// The flag board's measurement: one CFLAG record per interval once an interval is chosen. The
// counts are given per second; a record of 170 ms or 30 ms carries that share of them, so that
// the disc reads the same at every interval.
class FlagStream {
public:
    struct Config {
        double c1 = 0, c1u = 0, c2 = 0, c2u = 0, interp = 0; // mean counts per second
        int error = 0;                                       // 0 none, 1 SPDIF, 2 CFLAG
        uint8_t fw = 0;
        bool frame8 = false;
        bool a9 = false;
        // No variation: the records carry whole counts that add up to the counts given per
        // second (a fraction left in one record goes to the next).
        bool exact = false;
        double timeLapse = 1; // records come this many times as often as their interval
    };

    explicit FlagStream(const Config& config) : m_config(config) {}

    // Interval 1..3 (re)starts the measurement; the first record follows one period later.
    // Other values stop it.
    void setInterval(int interval, int64_t nowMs);
    int interval() const { return m_interval; }
    int64_t nextDueMs() const;
    // Appends the records due at `nowMs` (at most a few when the caller fell behind).
    void advance(int64_t nowMs, SimRandom& random, std::vector<Bytes>& out);
    // The next record of the measurement.
    Bytes makeFrame(SimRandom& random);

    static int periodMs(int interval);     // 1000, 170, 30
    static unsigned samples(int interval); // 7350, 1250, 220
    // Time between two records: the interval, shortened by the time lapse (at least 1 ms).
    int64_t stepMs() const;

private:
    Config m_config;
    int m_interval = 0;
    int64_t m_dueMs = 0;
    int64_t m_records = 0; // made since the interval was chosen
};
