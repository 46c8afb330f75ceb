#ifndef AUDIOBYTE_H
#define AUDIOBYTE_H

#include <QString>
#include <QVector>

// The audio byte of the board's settings block: bits 0-3 the decoder output format, bits 4-5
// the EBU clock accuracy, bit 6 the EBU flags, bit 7 the de-emphasis.
class AudioByte {
public:
    // What the audio byte page shows: the format (the bits of the checked radio button, rB0011
    // is 3) and the three combo box indexes.
    struct Choices {
        int format = 0;
        int clockAccuracy = 0; // 0..3
        int ebuFlags = 0;      // 0..1
        int deemphasis = 0;    // 0..1
    };

    // The formats that have a radio button, in the page's order; 0001, 0101, 1000, 1001 and 1101
    // have none.
    static const QVector<int>& formats();
    static bool hasFormat(int format);
    // The radio button's object name, "rB" and the four bits: rB0011 for 3.
    static QString radioName(int format);

    // A choice out of its range counts as 0.
    static quint8 compose(const Choices& choices);
    static Choices takeApart(quint8 value);

    // Two upper-case hexadecimal digits: "0A".
    static QString text(quint8 value);
    // Accepts exactly one or two hexadecimal digits (blanks around them are ignored); anything
    // else is refused and leaves value alone.
    static bool parse(const QString& text, quint8* value);
    // Why parse() refused a text.
    static QString invalidText();
};

#endif // AUDIOBYTE_H
