#ifndef AUDIOBYTEPAGE_H
#define AUDIOBYTEPAGE_H

#include <QWidget>

#include <memory>

class QButtonGroup;

namespace Ui {
class AudioBytePage;
}

// The audio byte page: composes the byte from the decoder format (one radio button a format)
// and the three EBU choices, takes the byte read from the board apart, and hands the composed
// byte to the EEPROM page, which writes it with its next run (nothing goes to the board here).
class AudioBytePage : public QWidget {
    Q_OBJECT

public:
    explicit AudioBytePage(QWidget* parent = nullptr);
    ~AudioBytePage() override;

    void compose();
    // "Set": the composed byte goes to the EEPROM page.
    void copyToEeprom();
    // The byte read from the board, taken apart into the page's choices.
    void showRead(quint8 value);

signals:
    // The byte to write with the EEPROM page's next run, as its text.
    void byteChosen(const QString& text);

private:
    std::unique_ptr<Ui::AudioBytePage> ui;
    // The radio buttons, each with its format's four bits as its id.
    QButtonGroup* group = nullptr;
    quint8 composed = 0;
};

#endif // AUDIOBYTEPAGE_H
