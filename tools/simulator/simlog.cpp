#include "simlog.h"

#include "framebuilder.h"

#include <cerrno>
#include <cstring>

SimLog::~SimLog() {
    if (m_file)
        std::fclose(m_file);
}

bool SimLog::open(const std::string& path, std::string& error) {
    m_file = std::fopen(path.c_str(), "w");
    if (!m_file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string SimLog::line(int64_t nowMs, const char* tag, const std::string& rest) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%lld.%03lld", static_cast<long long>(nowMs / 1000),
                  static_cast<long long>(nowMs % 1000));
    return std::string(stamp) + " " + tag + " " + rest;
}

void SimLog::bytes(int64_t nowMs, const char* tag, const std::vector<uint8_t>& data) {
    text(nowMs, tag, FrameBuilder::hex(data));
}

void SimLog::text(int64_t nowMs, const char* tag, const std::string& message) {
    if (!m_file)
        return;
    const std::string l = line(nowMs, tag, message);
    std::fputs(l.c_str(), m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
}
