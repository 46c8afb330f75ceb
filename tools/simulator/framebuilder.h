#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Builds the frames the boards send: code, length (number of bytes that follow), parameters.
class FrameBuilder {
public:
    static Bytes frame(uint8_t code, const Bytes& params);

    // Flag board record; counts are clamped to 16 bits (14-byte frame) or 8 bits (8-byte
    // frame, except the C1 count).
    static Bytes cflag14(uint8_t code, unsigned c1, unsigned c1u, unsigned c2, unsigned c2u,
                         unsigned interp, uint8_t status, uint8_t fw);
    static Bytes cflag8(uint8_t code, unsigned c1, unsigned c1u, unsigned c2, unsigned c2u,
                        unsigned interp);

    // 99 (N + 3), address high, address low, N, data.
    static Bytes memoryReply(uint16_t address, const Bytes& data);
    static Bytes writeRefused();
    static Bytes fwVersion(uint8_t fw);
    static Bytes statusEvent(uint8_t bits);
    static Bytes discEvent(uint8_t event);
    static Bytes trayState(uint8_t code);
    static Bytes currentTrack(uint8_t folder, uint8_t track);
    static Bytes currentTime(uint8_t which, int minutes, int seconds);
    static Bytes discContents(int tracks, int totalSeconds);
    static Bytes adcReading(unsigned value);
    static Bytes discId(uint32_t id);
    static Bytes loaderList(const Bytes& codes);
    static Bytes loaderInUse(uint8_t code);
    static Bytes serviceStep(uint8_t step);
    static Bytes serviceEnd();
    static Bytes pllState(uint8_t state);
    // 0xCC followed by the text bytes (no length byte).
    static Bytes debugText(const std::string& text);

    static std::string hex(const Bytes& bytes);
};
