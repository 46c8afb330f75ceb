#ifndef STATUSWORDING_H
#define STATUSWORDING_H

#include <QString>

// The status bar's wording: which text and colour each of its labels shows for a situation of
// the link, the board or the flag board. A pure mapping; the window puts it on its labels.
class StatusWording {
public:
    enum class Colour { Keep, Red, Green, Plain };
    struct Text {
        bool shown = false; // false: the label keeps what it shows
        QString text;
        Colour colour = Colour::Keep;
    };
    // What the board, SPDIF and CFLAG labels and the message line below the flag plot show.
    struct Bar {
        Text board;
        Text spdif;
        Text cflag;
        Text message;
    };

    // The style sheet of a colour (empty for Keep).
    static QString styleSheet(Colour colour);

    // Before any board has answered, and after the board link closed.
    static Bar start();
    // The status byte of a 14-byte CFLAG record: error 1 no SPDIF signal, 2 no CFLAG data;
    // only records of the flag board (0xC6) speak for the board label.
    static Bar flagStatus(int error, bool fromFlagBoard);
    // The firmware watchdog's verdict: the right board has answered since its last look, or not
    // (nothing came, or only what a DK-61/DK65 board sends).
    static Bar watchdog(bool answered, bool wrongBoard);
    // The operator closed the board link: no error, the labels as before any board answered.
    static Bar closedByOperator();

    // The connection label.
    static QString connection(const QString& portName, int baud, bool hasFirmware, int firmware);
    static QString notConnected();
    // What the connection label gains once the flag board's firmware is known.
    static QString flagFirmwareSuffix(int version);
};

#endif // STATUSWORDING_H
