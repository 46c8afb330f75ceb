#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Cuts the bytes the PC sends into commands: one-byte commands A0..AF; memory write
// 60 N hi lo + N data bytes; memory read 62 N hi lo; every other code below 0x80 is
// code, count, count parameter bytes. A stray byte of 0x80 or above that cannot start a
// command is rejected at once; a command left incomplete for longer than the gap time
// is rejected (the PC writes each request in one piece).
class CommandCutter {
public:
    struct Command {
        std::vector<uint8_t> bytes;
        bool complete = true;
    };

    static constexpr int64_t DefaultGapMs = 20;

    explicit CommandCutter(int64_t gapMs = DefaultGapMs) : m_gapMs(gapMs) {}

    void feed(const uint8_t* data, size_t size, int64_t nowMs);
    void feed(const std::vector<uint8_t>& data, int64_t nowMs) {
        feed(data.data(), data.size(), nowMs);
    }
    // Complete commands, and incomplete ones whose gap has run out, in arrival order.
    std::vector<Command> take(int64_t nowMs);
    // When a pending incomplete command runs out; INT64_MAX if none is pending.
    int64_t nextDeadlineMs() const;
    bool pending() const { return !m_buffer.empty(); }
    // No command is being received (nothing pending, or what is pending has run out).
    bool idle(int64_t nowMs) const { return m_buffer.empty() || nowMs - m_lastByteMs > m_gapMs; }

    static size_t expectedSize(const std::vector<uint8_t>& head); // 0: not known yet

private:
    void cut();

    std::vector<uint8_t> m_buffer;
    std::vector<Command> m_ready;
    int64_t m_lastByteMs = 0;
    int64_t m_gapMs;
};
