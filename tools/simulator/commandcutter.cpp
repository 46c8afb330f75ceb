#include "commandcutter.h"

#include <climits>

size_t CommandCutter::expectedSize(const std::vector<uint8_t>& head) {
    if (head.empty())
        return 0;
    const uint8_t code = head[0];
    if (code >= 0xA0 && code <= 0xAF)
        return 1;
    if (code >= 0x80)
        return 1; // a stray byte: taken alone and rejected
    if (head.size() < 2)
        return 0;
    const size_t count = head[1];
    if (code == 0x62)
        return 4;
    if (code == 0x60)
        return 4 + count;
    return 2 + count;
}

void CommandCutter::feed(const uint8_t* data, size_t size, int64_t nowMs) {
    if (size == 0)
        return;
    if (!m_buffer.empty() && nowMs - m_lastByteMs > m_gapMs) {
        m_ready.push_back({m_buffer, false});
        m_buffer.clear();
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
    m_lastByteMs = nowMs;
    cut();
}

void CommandCutter::cut() {
    for (;;) {
        const size_t need = expectedSize(m_buffer);
        if (need == 0 || m_buffer.size() < need)
            return;
        Command c;
        c.bytes.assign(m_buffer.begin(), m_buffer.begin() + static_cast<long>(need));
        c.complete = !(c.bytes[0] >= 0x80 && (c.bytes[0] < 0xA0 || c.bytes[0] > 0xAF));
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<long>(need));
        m_ready.push_back(std::move(c));
    }
}

std::vector<CommandCutter::Command> CommandCutter::take(int64_t nowMs) {
    if (!m_buffer.empty() && nowMs - m_lastByteMs > m_gapMs) {
        m_ready.push_back({m_buffer, false});
        m_buffer.clear();
    }
    std::vector<Command> out;
    out.swap(m_ready);
    return out;
}

int64_t CommandCutter::nextDeadlineMs() const {
    if (m_buffer.empty())
        return INT64_MAX;
    return m_lastByteMs + m_gapMs + 1;
}
