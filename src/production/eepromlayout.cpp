#include "eepromlayout.h"

#include "responsedecoding.h"

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

QByteArray EepromLayout::historyEraseWrite(int page, bool secondHalf) {
    QByteArray frame;
    frame.append(char(0x60));
    frame.append(char(0x0A));
    frame.append(static_cast<char>(page));
    frame.append(secondHalf ? char(0x06) : char(0x00));
    frame.append(QByteArray(10, char(0xFF)));
    return frame;
}

QByteArray EepromLayout::runtimeClearWrite(int part) {
    QByteArray frame;
    frame.append(char(0x60));
    if (part == 1) {
        frame.append(char(0x0C));
        frame.append(char(0x00));
        frame.append(char(0x00));
        frame.append(QByteArray(12, char(0x00)));
    } else {
        frame.append(char(0x04));
        frame.append(char(0x00));
        frame.append(char(0x0C));
        frame.append(QByteArray(4, char(0x00)));
    }
    return frame;
}

QByteArray EepromLayout::zeroByteWrite(quint8 value) {
    QByteArray frame;
    frame.append(char(0x60));
    frame.append(char(0x01));
    frame.append(char(0x21));
    frame.append(char(0x0C));
    frame.append(static_cast<char>(value));
    return frame;
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

EepromLayout::Reply EepromLayout::parseReply(const QByteArray& frame) {
    Reply reply;
    const int size = frame.size();
    if (size < 6)
        return reply;
    const int length = at(frame, 1);
    const int high = at(frame, 2);
    const int low = at(frame, 3);
    const int count = at(frame, 4);

    if (size == 6 && length == 4 && high == 0x21 && count == 1) {
        // One byte of the settings block: its address says which one.
        if (low == 0x04) {
            reply.block = Block::LoaderByte;
            reply.loader_code = static_cast<quint8>(at(frame, 5));
        } else if (low == 0x00) {
            reply.block = Block::AudioByte;
            reply.audio_byte = static_cast<quint8>(at(frame, 5));
        }
    } else if (size == 14 && length == 12 && high == 0x21 && count == 9) {
        reply.block = Block::Settings;
        reply.audio_byte = static_cast<quint8>(at(frame, 5));
        reply.loader_code = static_cast<quint8>(at(frame, 9));
        reply.settings_spare = static_cast<quint8>(at(frame, 10));
        reply.baudRate = at(frame, 13) == 0x01 ? 115200 : 128000;
    } else if (size == 13 && high == 0x10) {
        reply.block = Block::Production;
        for (int k = 0; k < 8; ++k)
            reply.production_bytes[k] = static_cast<quint8>(at(frame, 5 + k));
        reply.customer_id = word(frame, 5);
        reply.production_day = word(frame, 7);
        reply.flashed_by = word(frame, 9);
        reply.serial_number = word(frame, 11);
    } else if (size == 21 && high == 0x00) {
        ResponseDecoding::Runtime runtime;
        ResponseDecoding::decodeRuntime(frame, &runtime);
        reply.block = Block::Runtime;
        reply.runtime_s = runtime.seconds;
    } else if (size == 13 && high == 0x0F && low == 0x08) {
        reply.block = Block::Laser;
        laserFromBytes(frame.mid(5, 8), &reply.laser_slope, &reply.laser_offset);
    } else if (size == 6 && high == 0x11 && low == 0x00) {
        reply.block = Block::Focus;
        reply.focus_setting = static_cast<quint8>(at(frame, 5));
    }
    return reply;
}

int EepromLayout::nextState(int state) {
    switch (state) {
    case 1:
        return 3;
    case 3:
        return 5;
    case 5:
        return 7;
    case 7:
        return 8;
    case 8:
        return 9;
    default:
        return state;
    }
}

EepromLayout::Check EepromLayout::confirm(int state, const QByteArray& frame,
                                          const Expected& expected) {
    const int size = frame.size();
    if (size < 6)
        return Check::NoMatch;
    const int high = at(frame, 2);
    const int low = at(frame, 3);
    const auto verdict = [](bool equal) { return equal ? Check::Confirmed : Check::Mismatch; };
    switch (state) {
    case 1:
        if (size == 21 && high == 0x00 && low == 0x00)
            return verdict(frame.mid(5, 4) == QByteArray(4, char(0)));
        break;
    case 3:
        if (size == 13 && high == 0x0F && low == 0x08)
            return verdict(frame.mid(5, 8) == expected.laser);
        break;
    case 5:
        if (size == 13 && high == 0x10 && low == 0x00)
            return verdict(frame.mid(5, 8) == expected.production);
        break;
    case 7:
        if (size == 6 && high == 0x21 && low == 0x04)
            return verdict(at(frame, 5) == expected.loader_code);
        if (size == 14 && high == 0x21 && low == 0x00)
            return verdict(at(frame, 9) == expected.loader_code &&
                           at(frame, 5) == expected.audio_byte);
        break;
    case 8:
        if (size == 6 && high == 0x11 && low == 0x00)
            return verdict(at(frame, 5) == expected.focus_setting_to_write);
        break;
    default:
        break;
    }
    return Check::NoMatch;
}
