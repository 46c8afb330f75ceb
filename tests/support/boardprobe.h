#ifndef BOARDPROBE_H
#define BOARDPROBE_H

#include <QByteArray>
#include <QList>
#include <QString>

class CD_Board;

// Looks at what a board requested and hands it frames, for the decoder tests.
class BoardProbe {
public:
    explicit BoardProbe(CD_Board* board) : board(board) {}

    // Every request written so far followed by those still queued, in order.
    QList<QByteArray> requests() const;
    // Remembers the current end of requests(); since() returns what came after.
    void mark();
    QList<QByteArray> since() const;
    // The requests after the mark as hexadecimal texts ("62 10 22 00").
    QStringList sinceHex() const;

    // Appends frames (hexadecimal texts, blanks ignored) to the frame list and runs the decoder
    // once, as one batch.
    void batch(const QStringList& frames);
    // Hands bytes to the board as if read from the port.
    void receive(const QString& hex);

    static QByteArray bytes(const QString& hex);
    static QString hex(const QByteArray& bytes);

private:
    CD_Board* board;
    int marked = 0;
};

#endif // BOARDPROBE_H
