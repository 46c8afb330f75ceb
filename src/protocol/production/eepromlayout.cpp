#include "production/eepromlayout.h"

#include "board/responsedecoding.h"

#include <QtEndian>

#include <cstring>

namespace {

int at(const QByteArray& frame, int n) {
    return static_cast<quint8>(frame.at(n));
}

quint16 word(const QByteArray& frame, int n) {
    return static_cast<quint16>(at(frame, n) * 256 + at(frame, n + 1));
}

quint32 floatBits(float value) {
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float bitsFloat(quint32 bits) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

QByteArray EepromLayout::memoryRead(int count, int addressHigh, int addressLow) {
    QByteArray frame;
    frame.append(char(0x62));
    frame.append(static_cast<char>(count));
    frame.append(static_cast<char>(addressHigh));
    frame.append(static_cast<char>(addressLow));
    return frame;
}

QByteArray EepromLayout::memoryWrite(int address, const QByteArray& data) {
    QByteArray frame = memoryRead(data.size(), address >> 8, address & 0xFF);
    frame[0] = char(0x60);
    return frame + data;
}

QByteArray EepromLayout::historyEraseWrite(int page, bool secondHalf) {
    return memoryWrite(page << 8 | (secondHalf ? 0x06 : 0x00), QByteArray(10, char(0xFF)));
}

QByteArray EepromLayout::runtimeClearWrite(int part) {
    return part == 1 ? memoryWrite(0x0000, QByteArray(12, char(0)))
                     : memoryWrite(0x000C, QByteArray(4, char(0)));
}

QByteArray EepromLayout::zeroByteWrite(quint8 value) {
    return memoryWrite(0x210C, QByteArray(1, static_cast<char>(value)));
}

QByteArray EepromLayout::laserBytes(float slope, float offset) {
    QByteArray bytes(8, char(0));
    qToLittleEndian<quint32>(floatBits(slope), bytes.data());
    qToLittleEndian<quint32>(floatBits(offset), bytes.data() + 4);
    return bytes;
}

bool EepromLayout::laserFromBytes(const QByteArray& bytes, float* slope, float* offset) {
    if (bytes.size() < 8)
        return false;
    *slope = bitsFloat(qFromLittleEndian<quint32>(bytes.constData()));
    *offset = bitsFloat(qFromLittleEndian<quint32>(bytes.constData() + 4));
    return true;
}

int EepromLayout::address(Block block) {
    switch (block) {
    case Block::Laser:
        return 0x0F08;
    case Block::Production:
        return 0x1000;
    case Block::Focus:
        return 0x1100;
    case Block::Settings:
        return 0x2100;
    default:
        return 0x0000;
    }
}

QByteArray EepromLayout::blockBytes(Block block, const EepromParameters& p) {
    QByteArray bytes;
    switch (block) {
    case Block::Laser:
        return laserBytes(p.laser_slope, p.laser_offset);
    case Block::Production:
        for (quint16 word : {p.customer_id, p.production_day, p.flashed_by, p.serial_number})
            bytes.append(static_cast<char>(word >> 8)).append(static_cast<char>(word & 0xFF));
        return bytes;
    case Block::Settings:
        bytes = QByteArray(9, char(0));
        bytes[0] = static_cast<char>(p.audio_byte);
        bytes[4] = static_cast<char>(p.loader_code);
        bytes[5] = static_cast<char>(p.settings_spare);
        bytes[8] = static_cast<char>(p.baud_flag);
        return bytes;
    case Block::Focus:
        return QByteArray(1, static_cast<char>(p.focus_setting));
    default:
        return bytes;
    }
}

EepromLayout::Block EepromLayout::parseReply(const QByteArray& frame, EepromParameters* image) {
    const int size = frame.size();
    if (size < 6)
        return Block::None;
    const int length = at(frame, 1);
    const int high = at(frame, 2);
    const int low = at(frame, 3);
    const int count = at(frame, 4);
    const auto byte = [&frame](int n) { return static_cast<quint8>(at(frame, 5 + n)); };

    if (size == 6 && length == 4 && high == 0x21 && count == 1) {
        // One byte of the settings block: its address says which one.
        if (low == 0x04) {
            image->loader_code = byte(0);
            return Block::LoaderByte;
        }
        if (low == 0x00) {
            image->audio_byte = byte(0);
            return Block::AudioByte;
        }
    } else if (size == 14 && length == 12 && high == 0x21 && count == 9) {
        image->audio_byte = byte(0);
        image->loader_code = byte(4);
        image->settings_spare = byte(5);
        image->baud_flag = byte(8);
        return Block::Settings;
    } else if (size == 13 && high == 0x10) {
        image->customer_id = word(frame, 5);
        image->production_day = word(frame, 7);
        image->flashed_by = word(frame, 9);
        image->serial_number = word(frame, 11);
        return Block::Production;
    } else if (size == 21 && high == 0x00) {
        ResponseDecoding::Runtime runtime;
        ResponseDecoding::decodeRuntime(frame, &runtime);
        image->runtime_s = runtime.seconds;
        return Block::Runtime;
    } else if (size == 13 && high == 0x0F && low == 0x08) {
        laserFromBytes(frame.mid(5, 8), &image->laser_slope, &image->laser_offset);
        return Block::Laser;
    } else if (size == 6 && high == 0x11 && low == 0x00) {
        image->focus_setting = byte(0);
        return Block::Focus;
    }
    return Block::None;
}
