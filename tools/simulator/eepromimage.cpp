#include "eepromimage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

EepromImage::EepromImage() : m_bytes(Size, 0xFF) {}

EepromImage EepromImage::makeDefault(uint8_t loaderCode, uint8_t baudFlag, int laserAdc) {
    EepromImage image;
    image.write(OperatingTimeAddress, operatingTimeRecord(1234));

    std::vector<uint8_t> calibration = floatBytes(DefaultSlope);
    const std::vector<uint8_t> offset = floatBytes(DefaultOffset);
    calibration.insert(calibration.end(), offset.begin(), offset.end());
    image.write(LaserCalibrationAddress, calibration);

    // Customer 1, produced 2000 days after the reference date, flashed by operator 7,
    // serial number 4711.
    image.write(ProductionAddress, {0x00, 0x01, 0x07, 0xD0, 0x00, 0x07, 0x12, 0x67});
    image.write(FocusAddress, {0xFF});
    image.write(SettingsAddress, {0x5E, 0x00, 0x00, 0x00, loaderCode, 0xFF, 0x00, 0x00, baudFlag});

    const int zeroHour = laserAdc / 4 > 0xFE ? 0xFE : laserAdc / 4;
    image.write(ZeroHourAddress, {static_cast<uint8_t>(zeroHour)});

    // A slowly drifting laser history, one sample per row position.
    for (int page = FirstHistoryPage; page <= LastHistoryPage; ++page) {
        std::vector<uint8_t> row(16);
        for (int i = 0; i < 16; ++i) {
            const int n = (page - FirstHistoryPage) * 16 + i;
            int v = zeroHour + n / 32 + (n % 5) - 2;
            v = v < 0 ? 0 : (v > 0xFE ? 0xFE : v);
            row[static_cast<size_t>(i)] = static_cast<uint8_t>(v);
        }
        image.write(page << 8, row);
    }
    return image;
}

bool EepromImage::contains(int address, int count) const {
    return address >= 0 && count >= 0 && address + count <= Size;
}

std::vector<uint8_t> EepromImage::read(int address, int count) const {
    if (!contains(address, count))
        return {};
    const auto begin = m_bytes.begin() + address;
    return std::vector<uint8_t>(begin, begin + count);
}

bool EepromImage::write(int address, const std::vector<uint8_t>& data) {
    if (!contains(address, static_cast<int>(data.size())))
        return false;
    std::copy(data.begin(), data.end(), m_bytes.begin() + address);
    return true;
}

std::vector<uint8_t> EepromImage::operatingTimeRecord(uint32_t count) {
    // Every ring byte equal: the run of consecutive values ends at once, so the first ring
    // byte is the counter's low byte.
    std::vector<uint8_t> record(16, static_cast<uint8_t>(count & 0xFF));
    record[14] = static_cast<uint8_t>((count >> 8) & 0xFF);
    record[15] = static_cast<uint8_t>((count >> 16) & 0xFF);
    return record;
}

std::vector<uint8_t> EepromImage::floatBytes(float value) {
    uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value, "32-bit float");
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
            static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

bool EepromImage::load(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> data(Size + 1);
    const size_t n = std::fread(data.data(), 1, data.size(), f);
    std::fclose(f);
    if (n != static_cast<size_t>(Size)) {
        error = path + ": an EEPROM image must hold exactly " + std::to_string(Size) + " bytes";
        return false;
    }
    data.resize(Size);
    m_bytes = data;
    return true;
}

bool EepromImage::save(const std::string& path, std::string& error) const {
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = tmp + ": " + std::strerror(errno);
        return false;
    }
    const size_t n = std::fwrite(m_bytes.data(), 1, m_bytes.size(), f);
    const bool closed = std::fclose(f) == 0;
    if (n != m_bytes.size() || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}
