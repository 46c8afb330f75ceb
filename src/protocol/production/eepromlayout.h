#ifndef EEPROMLAYOUT_H
#define EEPROMLAYOUT_H

#include <QByteArray>

// The board's EEPROM parameter image: what the start-up reads take from it, what the EEPROM page
// shows and collects, and what a programming run writes back.
struct EepromParameters {
    quint64 runtime_s = 0;         // 0x0000: laser on-time in seconds (7 s per count)
    float laser_slope = 0.175889f; // 0x0F08: k and d of the laser current
    float laser_offset = 2.07312f; //
    quint16 customer_id = 0;       // 0x1000: the production record, four big-endian words
    quint16 production_day = 0;    //         (days after 22 September 2017)
    quint16 flashed_by = 0;        //
    quint16 serial_number = 0;     //
    quint8 focus_setting = 0;      // 0x1100: 0x01 R31 = 12kOhm, else 18kOhm
    quint8 audio_byte = 0;         // 0x2100: the settings block
    quint8 loader_code = 0;        // 0x2104
    quint8 settings_spare = 0xFF;  // 0x2105: written back as read
    quint8 baud_flag = 0xFF;       // 0x2108: 0x01 115200 bit/s, else 128000
    int baudRate() const { return baud_flag == 0x01 ? 115200 : 128000; }
};

// The layout of the board's EEPROM: the memory frames that read and write it and the blocks a
// memory reply (0x99: code, length, address high, address low, count, data) carries. Plain
// functions; the board keeps the values.
class EepromLayout {
public:
    static constexpr int HistoryFirstPage = 0x22;
    static constexpr int HistoryLastPage = 0x31;

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

    // ---- request frames ----
    // 62 count high low
    static QByteArray memoryRead(int count, int addressHigh, int addressLow);
    static QByteArray memoryRead(int address, int count) {
        return memoryRead(count, address >> 8, address & 0xFF);
    }
    // 60 count high low data
    static QByteArray memoryWrite(int address, const QByteArray& data);
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

    // ---- the blocks a programming run writes (Laser, Production, Settings, Focus) ----
    static int address(Block block);
    static QByteArray blockBytes(Block block, const EepromParameters& image);

    // A memory reply taken while no programming run waits: which block it carries; that block's
    // fields go into `image`, the others stay.
    static Block parseReply(const QByteArray& frame, EepromParameters* image);
};

#endif // EEPROMLAYOUT_H
