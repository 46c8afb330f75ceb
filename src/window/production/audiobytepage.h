#ifndef AUDIOBYTEPAGE_H
#define AUDIOBYTEPAGE_H

#include <QObject>

#include <functional>

class FieldMemory;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QWidget;

// The audio byte page: composes the byte from the decoder format (one radio button a format)
// and the three EBU choices, takes the byte read from the board apart, and copies the composed
// byte to the EEPROM page, which writes it with its next run (nothing goes to the board here).
class AudioBytePage : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QWidget* window; // holds the format radio buttons
        // EBU clock accuracy, EBU flags, de-emphasis
        QComboBox* choices[3];
        QLineEdit* byte;       // the byte as composed
        QLineEdit* eepromByte; // the EEPROM page's audio byte
        std::function<void()> showEepromPage;
    };

    AudioBytePage(const Parts& parts, FieldMemory& fields, QObject* parent = nullptr);

    // The radio buttons, each with its format's four bits as its id.
    QButtonGroup* formats() const { return group; }

    void compose();
    void copyToEeprom();
    // The byte read from the board, unless the operator has set another one since the last read.
    void showRead(quint8 value);

private:
    Parts p;
    FieldMemory& fields;
    QButtonGroup* group = nullptr;
    quint8 composed = 0;
};

#endif // AUDIOBYTEPAGE_H
