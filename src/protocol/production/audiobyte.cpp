#include "production/audiobyte.h"

#include <QRegularExpression>

namespace {

int inRange(int value, int highest) {
    return value >= 0 && value <= highest ? value : 0;
}

} // namespace

const QVector<int>& AudioByte::formats() {
    static const QVector<int> order{0xA, 0xB, 0xE, 0x2, 0x6, 0x0, 0x4, 0xC, 0x3, 0x7, 0xF};
    return order;
}

bool AudioByte::hasFormat(int format) {
    return formats().contains(format);
}

QString AudioByte::radioName(int format) {
    return QStringLiteral("rB%1").arg(format & 0x0F, 4, 2, QLatin1Char('0'));
}

quint8 AudioByte::compose(const Choices& choices) {
    return static_cast<quint8>(
        inRange(choices.format, 15) | inRange(choices.clockAccuracy, 3) << 4 |
        inRange(choices.ebuFlags, 1) << 6 | inRange(choices.deemphasis, 1) << 7);
}

AudioByte::Choices AudioByte::takeApart(quint8 value) {
    Choices choices;
    choices.format = value & 0x0F;
    choices.clockAccuracy = (value >> 4) & 0x03;
    choices.ebuFlags = (value >> 6) & 0x01;
    choices.deemphasis = (value >> 7) & 0x01;
    return choices;
}

QString AudioByte::text(quint8 value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

bool AudioByte::parse(const QString& text, quint8* value) {
    static const QRegularExpression digits(QStringLiteral("^[0-9A-Fa-f]{1,2}$"));
    const QString trimmed = text.trimmed();
    if (!digits.match(trimmed).hasMatch())
        return false;
    *value = static_cast<quint8>(trimmed.toUInt(nullptr, 16));
    return true;
}

QString AudioByte::invalidText() {
    return QStringLiteral("Audio Byte must be one or two hexadecimal digits (00 to FF)!");
}
