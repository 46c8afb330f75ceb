#include "laser/zerohourbyte.h"

#include "laser/laserhistory.h"
#include "production/eepromlayout.h"

ZeroHourByte::Value ZeroHourByte::fromAverage(quint32 average) {
    Value value;
    if (average == 0)
        return value;
    const quint32 quarter = average / 4;
    value.valid = true;
    value.capped = quarter > Highest;
    value.byte = value.capped ? Highest : static_cast<quint8>(quarter);
    return value;
}

QByteArray ZeroHourByte::writeFrame(const Value& value) {
    return value.valid ? EepromLayout::zeroByteWrite(value.byte) : QByteArray();
}

namespace {

// "64 (71.4 mA)"
QString byteText(quint8 byte) {
    return QStringLiteral("%1 (%2 mA)")
        .arg(QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0')))
        .arg(LaserHistory::zeroByteMilliampere(byte), 0, 'f', 1);
}

} // namespace

QString ZeroHourByte::writingText(const Value& value) {
    return (value.capped ? QStringLiteral("Average too high: writing %1...")
                         : QStringLiteral("Writing %1..."))
        .arg(byteText(value.byte));
}

QString ZeroHourByte::resultText(const Value& value, quint8 held) {
    if (held != value.byte)
        return QStringLiteral("Not written: the CD-Board holds %1").arg(byteText(held));
    return QStringLiteral("Written: %1").arg(byteText(held)) +
           (value.capped ? QStringLiteral(", average too high") : QString());
}
