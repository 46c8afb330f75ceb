#include "zerohourbyte.h"

#include "eepromlayout.h"

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

QString ZeroHourByte::cappedText() {
    return QStringLiteral("Average too high for the zero hour current: stored as FE");
}
