#ifndef COMMANDCATALOGUE_H
#define COMMANDCATALOGUE_H

#include <QString>
#include <QVector>

// The application commands of the console's "TEST BUTTONS" group (and the tray buttons of the
// tray calibration group): which button sends which command text, and which line edit holds its
// parameters. The text goes out through the typed-request line, so the board receives exactly
// what the operator typed, whatever the count byte says.
class CommandCatalogue {
public:
    struct Command {
        QString button; // the push button of the form: "btnClick" and the command's name
        QString input;  // its parameter line edit: "txtInput" and a name; empty: none
        QString prefix; // command byte and count byte as text: "1b 03 "
    };

    static const QVector<Command>& commands();
    // The prefix followed by the parameter text without its outer blanks; a command without a
    // parameter line is its prefix alone.
    static QString text(const Command& command, const QString& input);
    // The same for the button of that object name; empty where the catalogue has none.
    static QString text(const QString& button, const QString& input);
};

#endif // COMMANDCATALOGUE_H
