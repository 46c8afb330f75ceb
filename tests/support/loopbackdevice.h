#ifndef LOOPBACKDEVICE_H
#define LOOPBACKDEVICE_H

#include <QByteArray>
#include <QIODevice>
#include <QSerialPort>

// An in-process stand-in for a serial adapter: the test plays the board. What the tool writes is
// collected; what the test injects is read by the tool at once (readyRead is emitted from
// inject(), so the whole receive path runs before inject() returns).
class LoopbackDevice : public QIODevice {
    Q_OBJECT
public:
    using QIODevice::QIODevice;

    // False (nothing delivered) while the tool has the device closed.
    bool inject(const QByteArray& bytes);
    // Everything the tool wrote since it opened the device (or since takeWritten()).
    QByteArray written;
    QByteArray takeWritten();
    // Waits (running the event loop) until the tool has written at least `count` bytes or
    // `timeoutMs` passed, and takes what it wrote.
    QByteArray waitForWritten(int count, int timeoutMs);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    bool open(OpenMode mode) override;

    // Faults: opens fail while set (a device that is gone or taken); reportError() is a port
    // error as the serial port reports it (the link that opened the device hears it).
    bool refuseOpen = false;
    void reportError(QSerialPort::SerialPortError error) { emit errorOccurred(error); }

signals:
    void errorOccurred(QSerialPort::SerialPortError error);

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QByteArray inbound;
};

#endif // LOOPBACKDEVICE_H
