#ifndef HEXINPUT_H
#define HEXINPUT_H

#include <QByteArray>
#include <QString>

// The typed-request line: hexadecimal digits in pairs separated by blanks ("11 01 AB").
class HexInput {
public:
    // Upper case, every character but 0-9 and A-F removed, a blank after every two digits:
    // "1101ab" -> "11 01 AB", "11-01 x5" -> "11 01 5".
    static QString format(const QString& text);
    // The hexadecimal digits of `text` in upper case, nothing else.
    static QString digits(const QString& text);
    // Pairs of digits to bytes, the first digit of a pair the high nibble; `digits` must hold an
    // even number of hexadecimal digits only.
    static QByteArray toBytes(const QString& digits);
    // A request as the line shows it before formatting: upper-case digits without blanks.
    static QString fromBytes(const QByteArray& bytes);
};

#endif // HEXINPUT_H
