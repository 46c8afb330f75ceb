#ifndef RESPONSEDECODING_H
#define RESPONSEDECODING_H

#include <QByteArray>
#include <QString>
#include <QTime>

// The plain decoding rules of the board's responses, apart from the board state they fill.
// Every function takes a whole frame (code byte, length byte, parameter bytes) and checks its
// size before it reads a byte, so no frame can make it read outside its bytes.
class ResponseDecoding {
public:
    // Frame byte n as an unsigned value.
    static int byteAt(const QByteArray& frame, int n) { return static_cast<quint8>(frame.at(n)); }
    // Frame byte n as a signed 8-bit value.
    static int signedAt(const QByteArray& frame, int n) { return static_cast<qint8>(frame.at(n)); }
    // Number of parameter bytes really present.
    static int parameterCount(const QByteArray& frame) {
        return frame.size() > 2 ? frame.size() - 2 : 0;
    }

    // 0xAC: minutes and seconds as signed bytes; negative seconds count as 0. A negative minute
    // count (or seconds above 59) gives an invalid clock.
    static QTime playTime(int minutes, int seconds);

    // The operating-time record, a 21-byte memory reply of address 0x0000: a ring of low bytes
    // at frame bytes 5..18, the middle byte at 19 and the high byte at 20.
    struct Runtime {
        quint64 seconds = 0;
        quint8 last_index = 0;
        // Frame position of the low byte the scan stopped at.
        int low_position = 5;
    };
    // False (and nothing decoded) unless the frame has 21 bytes.
    static bool decodeRuntime(const QByteArray& frame, Runtime* out);

    // A laser history row: a memory reply of 21 bytes whose count byte is 16.
    static bool isHistoryRow(const QByteArray& frame);

    // 0xC5 with four parameters: the identifier, big-endian, bytes unsigned.
    static bool decodeDiscId(const QByteArray& frame, quint32* id);

    // 0xB3 with two parameters: a 16-bit big-endian unsigned value.
    static bool decodeAdcValue(const QByteArray& frame, quint16* value);

    // CFLAG frames (0xA9 and 0xC6) of 8 or 14 bytes.
    struct CFlagFrame {
        bool extended = false; // 14 bytes: 16-bit counts, status byte, firmware version
        quint16 count = 0;
        quint16 f[4] = {0, 0, 0, 0};
        int status = 0;
        int fw_version = 0;
        int subStatus() const { return status % 16; }
        int errorCode() const { return status / 16; }
    };
    static bool decodeCFlagFrame(const QByteArray& frame, CFlagFrame* out);

    // Loader codes: the text of a list entry (mechanism then pickup) and the mechanism name the
    // status bar shows ("Tray Loader" ... "Tray Loader DK-Tria"; null for unnamed mechanisms).
    static QString loaderEntryText(quint8 code);
    static QString loaderMechanismName(quint8 code);
};

#endif // RESPONSEDECODING_H
