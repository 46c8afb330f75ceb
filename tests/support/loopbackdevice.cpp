#include "loopbackdevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstring>

bool LoopbackDevice::open(OpenMode mode) {
    if (refuseOpen) {
        setErrorString(QStringLiteral("No such device"));
        return false;
    }
    return QIODevice::open(mode);
}

bool LoopbackDevice::inject(const QByteArray& bytes) {
    if (!isOpen())
        return false;
    inbound.append(bytes);
    emit readyRead();
    return true;
}

QByteArray LoopbackDevice::waitForWritten(int count, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (written.size() < count && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return takeWritten();
}

QByteArray LoopbackDevice::takeWritten() {
    QByteArray bytes = written;
    written.clear();
    return bytes;
}

qint64 LoopbackDevice::bytesAvailable() const {
    return inbound.size() + QIODevice::bytesAvailable();
}

qint64 LoopbackDevice::readData(char* data, qint64 maxSize) {
    const qint64 n = qMin<qint64>(maxSize, inbound.size());
    std::memcpy(data, inbound.constData(), static_cast<size_t>(n));
    inbound.remove(0, static_cast<int>(n));
    return n;
}

qint64 LoopbackDevice::writeData(const char* data, qint64 size) {
    written.append(data, static_cast<int>(size));
    return size;
}
