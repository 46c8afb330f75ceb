#include "framebuilder.h"

#include <algorithm>
#include <cstdio>

namespace {

uint8_t hi(unsigned v) {
    return static_cast<uint8_t>((v >> 8) & 0xFF);
}
uint8_t lo(unsigned v) {
    return static_cast<uint8_t>(v & 0xFF);
}

} // namespace

Bytes FrameBuilder::frame(uint8_t code, const Bytes& params) {
    Bytes f;
    f.reserve(params.size() + 2);
    f.push_back(code);
    f.push_back(static_cast<uint8_t>(params.size()));
    f.insert(f.end(), params.begin(), params.end());
    return f;
}

Bytes FrameBuilder::cflag14(uint8_t code, unsigned c1, unsigned c1u, unsigned c2, unsigned c2u,
                            unsigned interp, uint8_t status, uint8_t fw) {
    const unsigned counts[] = {c1, c1u, c2, c2u, interp};
    Bytes params;
    for (unsigned c : counts) {
        c = std::min(c, 0xFFFFu);
        params.push_back(hi(c));
        params.push_back(lo(c));
    }
    params.push_back(status);
    params.push_back(fw);
    return frame(code, params);
}

Bytes FrameBuilder::cflag8(uint8_t code, unsigned c1, unsigned c1u, unsigned c2, unsigned c2u,
                           unsigned interp) {
    c1 = std::min(c1, 0xFFFFu);
    return frame(code, {hi(c1), lo(c1), lo(std::min(c1u, 0xFFu)), lo(std::min(c2, 0xFFu)),
                        lo(std::min(c2u, 0xFFu)), lo(std::min(interp, 0xFFu))});
}

Bytes FrameBuilder::memoryReply(uint16_t address, const Bytes& data) {
    Bytes params{hi(address), lo(address), static_cast<uint8_t>(data.size())};
    params.insert(params.end(), data.begin(), data.end());
    return frame(0x99, params);
}

Bytes FrameBuilder::writeRefused() {
    return frame(0x98, {});
}

Bytes FrameBuilder::fwVersion(uint8_t fw) {
    return frame(0xA3, {fw});
}

Bytes FrameBuilder::statusEvent(uint8_t bits) {
    return frame(0xA0, {bits});
}

Bytes FrameBuilder::discEvent(uint8_t event) {
    return frame(0xA1, {event});
}

Bytes FrameBuilder::trayState(uint8_t code) {
    return frame(code, {});
}

Bytes FrameBuilder::currentTrack(uint8_t folder, uint8_t track) {
    return frame(0xAB, {folder, track, 0x00, 0x00});
}

Bytes FrameBuilder::currentTime(uint8_t which, int minutes, int seconds) {
    minutes = std::clamp(minutes, 0, 127);
    seconds = std::clamp(seconds, 0, 59);
    return frame(0xAC, {which, static_cast<uint8_t>(minutes), static_cast<uint8_t>(seconds)});
}

Bytes FrameBuilder::discContents(int tracks, int totalSeconds) {
    const int minutes = std::clamp(totalSeconds / 60, 0, 127);
    const int seconds = totalSeconds % 60;
    // p0 flags (bit 0: audio disc), p1 first track, p3 number of tracks, p5..p7 total time
    // (minutes, seconds, frames), p8 number of sessions.
    return frame(0xAD, {0x01, 0x01, 0x00, static_cast<uint8_t>(std::clamp(tracks, 0, 99)), 0x00,
                        static_cast<uint8_t>(minutes), static_cast<uint8_t>(seconds), 0x00, 0x01});
}

Bytes FrameBuilder::adcReading(unsigned value) {
    value = std::min(value, 0xFFFFu);
    return frame(0xB3, {hi(value), lo(value)});
}

Bytes FrameBuilder::discId(uint32_t id) {
    return frame(0xC5, {static_cast<uint8_t>(id >> 24), static_cast<uint8_t>(id >> 16),
                        static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)});
}

Bytes FrameBuilder::loaderList(const Bytes& codes) {
    return frame(0xC7, codes);
}

Bytes FrameBuilder::loaderInUse(uint8_t code) {
    return frame(0xBD, {code});
}

Bytes FrameBuilder::serviceStep(uint8_t step) {
    return frame(0xC0, {step});
}

Bytes FrameBuilder::serviceEnd() {
    return frame(0xC8, {});
}

Bytes FrameBuilder::pllState(uint8_t state) {
    return frame(0xAA, {state});
}

Bytes FrameBuilder::debugText(const std::string& text) {
    Bytes f{0xCC};
    for (char ch : text) {
        const auto b = static_cast<uint8_t>(ch);
        f.push_back(b >= 0x20 && b < 0x7F ? b : static_cast<uint8_t>('?'));
    }
    return f;
}

std::string FrameBuilder::hex(const Bytes& bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    char buf[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i == 0 ? "%02X" : " %02X", bytes[i]);
        out += buf;
    }
    return out;
}
