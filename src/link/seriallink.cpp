#include "seriallink.h"

#include "board/framecutter.h"
#include "shell/logging.h"

#include <QFile>
#include <QSet>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

SerialLink::DeviceFactory& deviceFactory() {
    static SerialLink::DeviceFactory factory;
    return factory;
}

QSet<const SerialLink*>& allLinks() {
    static QSet<const SerialLink*> links;
    return links;
}

} // namespace

void SerialLink::setDeviceFactory(DeviceFactory factory) {
    deviceFactory() = std::move(factory);
}

bool SerialLink::isHeldOpen(const QString& portName) {
    for (const SerialLink* link : allLinks()) {
        if (link->isOpen() && link->portName() == portName)
            return true;
    }
    return false;
}

bool SerialLink::mayAccess(const QString& portName) {
#ifdef Q_OS_UNIX
    const QString node =
        portName.startsWith(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    return ::access(QFile::encodeName(node).constData(), R_OK | W_OK) == 0 || errno != EACCES;
#else
    Q_UNUSED(portName);
    return true;
#endif
}

bool SerialLink::breaksLink(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
        return true;
    default:
        return false;
    }
}

SerialLink::SerialLink(QObject* parent) : QObject(parent), device(&port) {
    allLinks().insert(this);
    receiveBuffer.reserve(ReceiveRoom);
    connect(&port, &QSerialPort::errorOccurred, this, &SerialLink::handleError);
    connectReadyRead();
}

SerialLink::~SerialLink() {
    allLinks().remove(this);
    close();
}

void SerialLink::connectReadyRead() {
    if (!readyReadConnection)
        readyReadConnection = connect(device, &QIODevice::readyRead, this, &SerialLink::read_data);
}

void SerialLink::setPortName(const QString& name) {
    qCDebug(dk61Link) << "Function setPortName() " << name;
    port.setPortName(name);
}

void SerialLink::setBaudRate(int baud) {
    port.setBaudRate(baud, QSerialPort::AllDirections);
}

void SerialLink::applySettings(int baud) {
    qCDebug(dk61Link) << "setting BAUDRATE" << baud;
    port.setBaudRate(baud, QSerialPort::AllDirections);
    port.setStopBits(QSerialPort::OneStop);
    port.setParity(QSerialPort::NoParity);
    port.setDataBits(QSerialPort::Data8);
    port.setFlowControl(QSerialPort::NoFlowControl);
}

bool SerialLink::open() {
    QIODevice* wanted = &port;
    if (deviceFactory()) {
        delete factoryDevice;
        factoryDevice = deviceFactory()(*this, port.portName());
        if (factoryDevice) {
            factoryDevice->setParent(this);
            wanted = factoryDevice;
        }
    }
    // A new device (even one at the old one's address) needs its own connection.
    disconnect(readyReadConnection);
    device = wanted;
    connectReadyRead();
    const bool opened = device->open(QIODevice::ReadWrite);
    accessDenied = !opened && device == &port && port.error() == QSerialPort::PermissionError &&
                   !mayAccess(port.portName());
    if (opened) {
        linkLost = false;
        failedOpenClock.invalidate();
    } else {
        failedOpenClock.start();
    }
    return opened;
}

void SerialLink::close() {
    // Closing a closed serial port reports an error; there is nothing to close.
    if (!device->isOpen())
        return;
    device->close();
}

bool SerialLink::isOpen() const {
    return device->isOpen();
}

QString SerialLink::errorString() const {
    return device->errorString();
}

void SerialLink::write(const QByteArray& bytes) {
    if (!device->isOpen())
        return;
    device->write(bytes);
    if (device == &port)
        port.flush();
}

// ---------------------------------------------------------------------------------------------
// Framing

void SerialLink::read_data() {
    // No second pass while one runs: a slot called from the decoder may run a nested event loop.
    // Bytes that arrive meanwhile stay in the port and are picked up right after the pass.
    if (framing)
        return;
    receiveChunk(device->readAll());
    // The port does not announce bytes again while its announcement of the last ones runs.
    if (device->isOpen() && device->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &SerialLink::read_data, Qt::QueuedConnection);
}

void SerialLink::receiveChunk(const QByteArray& chunk) {
    lastRead = chunk;
    lastReadCount = chunk.size();
    if (lastReadCount < 1)
        return;
    const bool outerPass = framing;
    framing = true;
    FrameCutter cutter(receiveBuffer);
    cutter.append(lastRead);
    qCDebug(dk61Frame) << lastRead.toHex(' ') << receiveBuffer.size();
    if (cutter.startsWith(0xCC))
        emit debugTextReceived(receiveBuffer);
    QByteArray frame;
    while (cutter.next(frame) == FrameCutter::Step::Frame) {
        if (frameHandler)
            frameHandler(std::move(frame));
    }
    cutter.compact();
    // Room for a burst is given back once it is framed.
    if (receiveBuffer.capacity() > 4 * ReceiveRoom && receiveBuffer.size() < ReceiveRoom) {
        receiveBuffer.squeeze();
        receiveBuffer.reserve(ReceiveRoom);
    }
    framing = outerPass;
    if (passHandler)
        passHandler();
}

// ---------------------------------------------------------------------------------------------
// Port errors

// A port whose device went away stays open and keeps reporting (a pseudo-terminal without its
// other side reports ReadError in a tight loop, an unplugged adapter ResourceError). Such a port is
// closed, once, outside the port's own notification.
void SerialLink::handleError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (!breaksLink(error) || !isOpen()) {
        qCDebug(dk61Link) << "port error" << error << errorString();
        emit errorReported();
        return;
    }
    if (failurePending)
        return;
    qCDebug(dk61Link) << "port broken:" << error << errorString();
    failurePending = true;
    QMetaObject::invokeMethod(this, &SerialLink::dropBroken, Qt::QueuedConnection);
}

void SerialLink::dropBroken() {
    failurePending = false;
    if (!isOpen())
        return; // closed meanwhile by the operator or the firmware watchdog
    close();
    linkLost = true;
    emit lost();
}
