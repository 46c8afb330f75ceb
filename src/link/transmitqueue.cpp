#include "transmitqueue.h"

#include "board/framejournal.h"
#include "seriallink.h"
#include "shell/logging.h"

TransmitQueue::TransmitQueue(SerialLink& link, FrameJournal& journal, QObject* parent)
    : QObject(parent), link(link), journal(journal) {
    // The spacing is a lower bound the board relies on; a coarse timer may fire a little early.
    pacingTimer.setTimerType(Qt::PreciseTimer);
    connect(&pacingTimer, &QTimer::timeout, this, &TransmitQueue::sendData);
}

void TransmitQueue::enqueue(const QByteArray& frame, int length) {
    txFrames.append(frame);
    txLengths.append(length);
    if (transmitterIdle)
        sendData();
}

void TransmitQueue::clear() {
    // One at a time: the lists keep their storage.
    txFrames.erase(txFrames.begin(), txFrames.end());
    txLengths.erase(txLengths.begin(), txLengths.end());
}

void TransmitQueue::sendData() {
    pacingTimer.stop();
    qCDebug(dk61Link) << "Function sendData"
                      << "btscb" << txFrames.size();
    if (txFrames.isEmpty()) {
        transmitterIdle = true;
        return;
    }
    transmitterIdle = false;
    const QByteArray frame = txFrames.takeFirst();
    const int length = txLengths.takeFirst();
    // A request handed over while the port is closed is dropped here, as a write would fail.
    link.write(frame.left(length));
    qCDebug(dk61Link) << "wrote" << frame.toHex(' ');
    journal.addSent(frame, length);
    emit written();
    pacingTimer.start(PacingMs);
}
