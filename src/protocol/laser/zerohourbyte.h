#ifndef ZEROHOURBYTE_H
#define ZEROHOURBYTE_H

#include <QByteArray>
#include <QString>

// The zero-hour laser current byte at EEPROM address 0x210C: the average laser ADC value / 4.
// 0xFF means "not set", so a larger average is stored as 0xFE.
class ZeroHourByte {
public:
    static constexpr quint8 NotSet = 0xFF;
    static constexpr quint8 Highest = 0xFE;

    struct Value {
        bool valid = false; // false for an average of 0: nothing to store
        quint8 byte = NotSet;
        bool capped = false; // the average was above what the byte holds
    };
    static Value fromAverage(quint32 average);
    // 60 01 21 0C byte; empty when the value is not valid.
    static QByteArray writeFrame(const Value& value);
    // What the expert page says while the value is written, and once the board showed the byte
    // it holds.
    static QString writingText(const Value& value);
    static QString resultText(const Value& value, quint8 held);
};

#endif // ZEROHOURBYTE_H
