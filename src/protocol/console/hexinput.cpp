#include "console/hexinput.h"

namespace {

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

int nibble(QChar c) {
    return c <= QLatin1Char('9') ? c.unicode() - '0' : c.unicode() - 'A' + 10;
}

} // namespace

QString HexInput::digits(const QString& text) {
    const QString upper = text.toUpper();
    QString out;
    out.reserve(upper.size());
    for (QChar c : upper) {
        if (isHexDigit(c))
            out.append(c);
    }
    return out;
}

QString HexInput::format(const QString& text) {
    QString out = digits(text);
    for (int position = 2; position < out.size(); position += 3)
        out.insert(position, QLatin1Char(' '));
    return out;
}

QByteArray HexInput::toBytes(const QString& digits) {
    QByteArray out;
    out.reserve(digits.size() / 2);
    for (int i = 0; i + 1 < digits.size(); i += 2)
        out.append(static_cast<char>(nibble(digits.at(i)) * 16 + nibble(digits.at(i + 1))));
    return out;
}

QString HexInput::fromBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex()).toUpper();
}

HexInput::Request HexInput::request(const QString& text) {
    Request out;
    const QString hex = digits(text);
    if (hex.size() % 2 != 0) {
        out.warning = QStringLiteral("You must enter an even amount of characters");
        return out;
    }
    out.bytes = toBytes(hex);
    out.mark = text.startsWith(QLatin1String("5A")) ? 0x5A : 0x57;
    return out;
}
