#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One line per event, flushed at once: "<seconds.millis> <TAG> <hex bytes or text>".
// Tags: TX (frame sent), RX (command received), RXBAD (rejected received bytes),
// GARBAGE (noise sent between frames), TEXT (debug text sent), DROP (frame not sent: no
// one listening or the reader fell behind), INFO (line state).
class SimLog {
public:
    SimLog() = default;
    ~SimLog();
    SimLog(const SimLog&) = delete;
    SimLog& operator=(const SimLog&) = delete;

    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return m_file != nullptr; }
    void bytes(int64_t nowMs, const char* tag, const std::vector<uint8_t>& data);
    void text(int64_t nowMs, const char* tag, const std::string& message);

    static std::string line(int64_t nowMs, const char* tag, const std::string& rest);

private:
    std::FILE* m_file = nullptr;
};
