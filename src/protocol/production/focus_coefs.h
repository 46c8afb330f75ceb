#ifndef FOCUS_COEFS_H
#define FOCUS_COEFS_H

#include <QObject>

// The focus coefficient byte composed on the servo-parameter page: bit 0 set and bits 7..4 the
// lead length index with its bits reversed, bits 1-3 the CA start index. It stays in this
// object; nothing sends it to the board.
class Focus_Coefs : public QObject {
    Q_OBJECT
public:
    explicit Focus_Coefs(QObject* parent = nullptr) : QObject(parent) {}

    quint8 coefficient() const { return coef; }
    int focusIntIndex() const { return focusInt; }

public slots:
    // Index 0..15 sets bit 0 and bits 7..4; another index clears them. Bits 1-3 stay.
    void handle_combobox_lead_length(int index);
    // Index 0..7 goes to bits 1-3; another index clears them. Bits 0 and 4-7 stay.
    void handle_combobox_ca_start(int index);
    // Kept; the byte does not use it.
    void handle_combobox_foc_int(int index);

private:
    quint8 coef = 0;
    int focusInt = 0;
};

#endif // FOCUS_COEFS_H
