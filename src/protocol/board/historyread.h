#ifndef HISTORYREAD_H
#define HISTORYREAD_H

#include "board/memorysequence.h"

enum class HistoryReadStep { Idle, Rows, Runtime };

// Reads the laser history: the sixteen 16-byte rows of pages 0x22..0x31, one after the other,
// then the operating-time record, whose counter says which sample is the newest.
class HistoryRead : public SteppedSequence<HistoryReadStep> {
public:
    static constexpr int Rows = 16;

    // Starts from the first row; returns the request.
    QByteArray start();
    bool onReply(const QByteArray& frame, DecodeOutcome& out) override;
    QString what() const override { return QStringLiteral("Laser history read"); }

    // The row being read.
    int history_page = 0x22;
    // Row by row, as read; unread rows are 0.
    quint8 history_values[Rows * 16] = {};

private:
    bool takeRow(const QByteArray& frame, DecodeOutcome& out);
};

#endif // HISTORYREAD_H
