#ifndef HISTORYREAD_H
#define HISTORYREAD_H

#include "board/memorysequence.h"

// Reads the laser history: the sixteen 16-byte rows of pages 0x22..0x31, one after the other,
// then the operating-time record, whose counter says which sample is the newest.
class HistoryRead : public MemorySequence {
public:
    enum class Step { Idle, Rows, Runtime };
    static constexpr int Rows = 16;

    // Starts from the first row; returns the request.
    QByteArray start();
    bool isRunning() const override { return step != Step::Idle; }
    bool onReply(const QByteArray& frame, DecodeOutcome& out) override;
    void cancel() override { step = Step::Idle; }
    QString what() const override { return QStringLiteral("Laser history read"); }

    Step step = Step::Idle;
    // The row being read.
    int history_page = 0x22;
    // Row by row, as read; unread rows are 0.
    quint8 history_values[Rows * 16] = {};

private:
    bool takeRow(const QByteArray& frame, DecodeOutcome& out);
};

#endif // HISTORYREAD_H
