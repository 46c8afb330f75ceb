#ifndef EEPROMLAYOUT_H
#define EEPROMLAYOUT_H

#include <QByteArray>

// The layout of the board's EEPROM: the memory frames that read and write it, what a memory
// reply (0x99: code, length, address high, address low, count, data) carries, and which reply
// confirms a programming step. Plain functions; the board keeps the values.
class EepromLayout {
public:
    static constexpr int HistoryFirstPage = 0x22;
    static constexpr int HistoryLastPage = 0x31;
    static constexpr float DefaultSlope = 0.175889f;
    static constexpr float DefaultOffset = 2.07312f;

    // ---- request frames ----
    // 62 count high low
    static QByteArray memoryRead(int count, int addressHigh, int addressLow);
    // 60 0A page offset FF x 10, offset 06 for the second half of the row, else 00
    static QByteArray historyEraseWrite(int page, bool secondHalf);
    // part 1: 60 0C 00 00 and twelve 00; part 2: 60 04 00 0C 00 00 00 00
    static QByteArray runtimeClearWrite(int part);
    // 60 01 21 0C value
    static QByteArray zeroByteWrite(quint8 value);

    // ---- the laser calibration block (0x0F08): k and d as little-endian IEEE singles ----
    static QByteArray laserBytes(float slope, float offset);
    // Needs 8 bytes; false (nothing taken) otherwise.
    static bool laserFromBytes(const QByteArray& bytes, float* slope, float* offset);

    // ---- a memory reply taken while no programming step waits ----
    enum class Block {
        None,
        AudioByte,  // 6 bytes, 0x2100, count 1
        LoaderByte, // 6 bytes, 0x2104, count 1
        Settings,   // 14 bytes, length 12, 0x21xx, count 9
        Production, // 13 bytes, 0x10xx
        Runtime,    // 21 bytes, 0x00xx
        Laser,      // 13 bytes, 0x0F08
        Focus,      // 6 bytes, 0x1100
    };
    struct Reply {
        Block block = Block::None;
        quint8 audio_byte = 0;
        quint8 loader_code = 0;
        quint8 settings_spare = 0xFF;
        int baudRate = 128000;
        quint8 production_bytes[8] = {};
        quint16 customer_id = 0;
        quint16 production_day = 0;
        quint16 flashed_by = 0;
        quint16 serial_number = 0;
        quint64 runtime_s = 0;
        float laser_slope = DefaultSlope;
        float laser_offset = DefaultOffset;
        quint8 focus_setting = 0;
    };
    static Reply parseReply(const QByteArray& frame);

    // ---- confirmation of a programming step ----
    // The bytes the running step wrote.
    struct Expected {
        QByteArray laser;      // 8 bytes of k and d
        QByteArray production; // 8 bytes of the production record
        quint8 loader_code = 0;
        quint8 audio_byte = 0;
        quint8 focus_setting_to_write = 0xFF;
    };
    enum class Check {
        NoMatch,  // not the reply this state waits for
        Mismatch, // the right block, but its bytes differ
        Confirmed,
    };
    // The state a confirmed reply leads to (state 1 -> 3, 3 -> 5, 5 -> 7, 7 -> 8, 8 -> 9).
    static int nextState(int state);
    static Check confirm(int state, const QByteArray& frame, const Expected& expected);
};

#endif // EEPROMLAYOUT_H
