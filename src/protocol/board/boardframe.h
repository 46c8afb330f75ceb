#ifndef BOARDFRAME_H
#define BOARDFRAME_H

#include <QByteArray>
#include <QString>

class CD_Board;

// One frame received from a board: code byte, length byte and parameter bytes exactly as they
// arrived. Copied by value into the board's frame list.
struct BoardFrame {
    CD_Board* origin = nullptr;
    QByteArray bytes;
    QString text;
    int code = 0;
    int length = 0;
    // bookkeeping of the decoder
    bool fresh = true;
    int handled = 0;

    // Parameter byte n (frame byte n + 2) as an unsigned value; callers check the size first.
    int param(int n) const { return static_cast<quint8>(bytes.at(n + 2)); }
    int size() const { return bytes.size(); }
};

#endif // BOARDFRAME_H
