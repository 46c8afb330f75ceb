#include "flagstream.h"

#include "simrandom.h"

#include <algorithm>
#include <climits>
#include <cmath>

int FlagStream::periodMs(int interval) {
    switch (interval) {
    case 1:
        return 1000;
    case 2:
        return 170;
    case 3:
        return 30;
    default:
        return 0;
    }
}

unsigned FlagStream::samples(int interval) {
    switch (interval) {
    case 1:
        return 7350;
    case 2:
        return 1250;
    case 3:
        return 220;
    default:
        return 0;
    }
}

int64_t FlagStream::stepMs() const {
    const double lapse = m_config.timeLapse > 1.0 ? m_config.timeLapse : 1.0;
    return std::max<int64_t>(1, std::llround(periodMs(m_interval) / lapse));
}

void FlagStream::setInterval(int interval, int64_t nowMs) {
    if (periodMs(interval) == 0) {
        m_interval = 0;
        return;
    }
    m_interval = interval;
    m_dueMs = nowMs + stepMs();
    m_records = 0;
}

int64_t FlagStream::nextDueMs() const {
    return m_interval == 0 ? INT64_MAX : m_dueMs;
}

void FlagStream::advance(int64_t nowMs, SimRandom& random, std::vector<Bytes>& out) {
    if (m_interval == 0)
        return;
    const int64_t period = stepMs();
    int emitted = 0;
    while (m_dueMs <= nowMs && emitted < 4) {
        out.push_back(makeFrame(random));
        m_dueMs += period;
        ++emitted;
    }
    if (m_dueMs <= nowMs) // too far behind: resume from now
        m_dueMs = nowMs + period;
}

Bytes FlagStream::makeFrame(SimRandom& random) {
    const uint8_t code = m_config.a9 ? 0xA9 : 0xC6;
    const bool frame8 = m_config.frame8;
    // With an error nothing is counted: no signal, or no flags reach the board.
    const bool counting = frame8 || m_config.error == 0;
    const unsigned cap = std::max(samples(m_interval), 1u);
    // ms of the interval (1 s when none is chosen): its share of the counts of a second
    const double period = m_interval == 0 ? 1000 : periodMs(m_interval);
    const int64_t n = ++m_records;
    auto draw = [&](double perSecond) {
        if (!counting)
            return 0u;
        // exact: the whole counts up to this record, less those up to the one before
        const auto upTo = [&](int64_t records) {
            return std::llround(perSecond * period * double(records) / 1000.0);
        };
        const unsigned count = m_config.exact ? unsigned(upTo(n) - upTo(n - 1))
                                              : random.poisson(perSecond * period / 1000.0);
        return std::min(count, cap);
    };
    const unsigned c1 = draw(m_config.c1);
    const unsigned c1u = draw(m_config.c1u);
    const unsigned c2 = draw(m_config.c2);
    const unsigned c2u = draw(m_config.c2u);
    const unsigned interp = draw(m_config.interp);
    if (frame8)
        return FrameBuilder::cflag8(code, c1, c1u, c2, c2u, interp);
    const auto status = static_cast<uint8_t>(((m_config.error & 0x0F) << 4) | (m_interval & 0x0F));
    return FrameBuilder::cflag14(code, c1, c1u, c2, c2u, interp, status, m_config.fw);
}
