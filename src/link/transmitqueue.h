#ifndef TRANSMITQUEUE_H
#define TRANSMITQUEUE_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class FrameJournal;
class SerialLink;

// The board link's transmit path: requests leave in the order they were handed over, the first
// one after a quiet period at once and every further one 40 ms after the previous write; the
// transmitter becomes idle when a tick finds the queue empty. Every written request goes to the
// journal. A request handed over while the link is closed is dropped at the same pace.
class TransmitQueue : public QObject {
    Q_OBJECT
public:
    static constexpr int PacingMs = 40;

    TransmitQueue(SerialLink& link, FrameJournal& journal, QObject* parent = nullptr);

    // Queues the first `length` bytes of `frame`; written at once while the transmitter is idle.
    void enqueue(const QByteArray& frame, int length);
    // Queues whole requests, in their order.
    void send(const QByteArray& frame) { enqueue(frame, frame.size()); }
    void send(const QList<QByteArray>& frames) {
        for (const QByteArray& frame : frames)
            send(frame);
    }
    // The requests not written yet, oldest first.
    const QList<QByteArray>& pending() const { return txFrames; }
    // Drops the requests not written yet.
    void clear();
    bool isIdle() const { return transmitterIdle; }

public slots:
    // Writes the head of the queue (the pacing tick).
    void sendData();

signals:
    // A request has just been written.
    void written();

private:
    SerialLink& link;
    FrameJournal& journal;
    QList<QByteArray> txFrames;
    QList<int> txLengths;
    bool transmitterIdle = true;
    QTimer pacingTimer;
};

#endif // TRANSMITQUEUE_H
