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

    // What the line asks to send: the bytes as typed (the code, the length byte and the
    // parameters; nothing is added), or why nothing is sent.
    struct Request {
        QByteArray bytes; // empty: nothing to send
        QString warning;  // shown instead of sending (empty: none)
        int mark = 0x57;  // the board's custom-command mark: 0x5A when the line begins with "5A"
    };
    static Request request(const QString& text);
};

#endif // HEXINPUT_H
