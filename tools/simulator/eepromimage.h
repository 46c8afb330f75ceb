#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The board's parameter EEPROM. Its blocks reach up to the last history row at 0x3100, so
// the image spans 16 KiB: with 8 KiB the upper blocks would fold onto the lower ones
// (0x3100 onto the focus byte at 0x1100).
class EepromImage {
public:
    static constexpr int Size = 16384;

    static constexpr uint16_t OperatingTimeAddress = 0x0000;    // 16 bytes
    static constexpr uint16_t LaserCalibrationAddress = 0x0F08; // k, d: little-endian floats
    static constexpr uint16_t ProductionAddress = 0x1000;       // four big-endian words
    static constexpr uint16_t FocusAddress = 0x1100;
    static constexpr uint16_t SettingsAddress = 0x2100; // 9 bytes
    static constexpr uint16_t LoaderCodeAddress = 0x2104;
    static constexpr uint16_t BaudFlagAddress = 0x2108;
    static constexpr uint16_t ZeroHourAddress = 0x210C;
    static constexpr uint8_t FirstHistoryPage = 0x22; // 16 pages of 16 bytes
    static constexpr uint8_t LastHistoryPage = 0x31;

    static constexpr float DefaultSlope = 0.175889f;
    static constexpr float DefaultOffset = 2.07312f;

    EepromImage(); // erased: every byte 0xFF

    // The image a freshly produced board carries.
    static EepromImage makeDefault(uint8_t loaderCode, uint8_t baudFlag, int laserAdc);

    bool contains(int address, int count) const;
    std::vector<uint8_t> read(int address, int count) const; // empty when out of range
    bool write(int address, const std::vector<uint8_t>& data);
    uint8_t at(int address) const { return m_bytes.at(static_cast<size_t>(address)); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

    // The 16-byte operating-time record for `count` units of 7 s: ring bytes 0..13 hold the
    // low byte, byte 14 the middle byte, byte 15 the high byte.
    static std::vector<uint8_t> operatingTimeRecord(uint32_t count);
    static std::vector<uint8_t> floatBytes(float value); // little-endian

    bool load(const std::string& path, std::string& error);
    bool save(const std::string& path, std::string& error) const; // via a temporary + rename

private:
    std::vector<uint8_t> m_bytes;
};
