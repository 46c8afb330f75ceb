#include "seriallink.h"

#include "board/framecutter.h"
#include "portfactory.h"
#include "shell/logging.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

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

SerialLink::SerialLink(PortFactory& ports, QObject* parent) : QObject(parent), ports(ports) {
    ports.addLink(this);
    receiveBuffer.reserve(ReceiveRoom);
}

SerialLink::~SerialLink() {
    ports.removeLink(this);
    close();
}

void SerialLink::setHandlers(FrameHandler frames, PassHandler passes) {
    frameHandler = std::move(frames);
    passHandler = std::move(passes);
}

void SerialLink::connectReadyRead() {
    if (!readyReadConnection)
        readyReadConnection = connect(device, &QIODevice::readyRead, this, &SerialLink::read_data);
}

void SerialLink::setPortName(const QString& portName) {
    qCDebug(dk61Link) << "Function setPortName() " << portName;
    name = portName;
}

void SerialLink::setBaudRate(int baud) {
    rate = baud;
    if (serial)
        serial->setBaudRate(baud, QSerialPort::AllDirections);
}

void SerialLink::applySettings(int baud) {
    qCDebug(dk61Link) << "setting BAUDRATE" << baud;
    setBaudRate(baud);
}

bool SerialLink::open() {
    // A device per open: the factory's for the port's name now. A new device (even one at the old
    // one's address) needs its own connection.
    disconnect(readyReadConnection);
    delete device;
    device = ports.createDevice(name, *this);
    device->setParent(this);
    serial = qobject_cast<QSerialPort*>(device);
    if (serial) {
        serial->setBaudRate(rate, QSerialPort::AllDirections);
        serial->setStopBits(QSerialPort::OneStop);
        serial->setParity(QSerialPort::NoParity);
        serial->setDataBits(QSerialPort::Data8);
        serial->setFlowControl(QSerialPort::NoFlowControl);
    }
    connectReadyRead();
    const bool opened = device->open(QIODevice::ReadWrite);
    denied =
        !opened && serial && serial->error() == QSerialPort::PermissionError && !mayAccess(name);
    if (opened) {
        lost = false;
        failedOpen.invalidate();
    } else {
        failedOpen.start();
    }
    return opened;
}

void SerialLink::close() {
    // Closing a closed serial port reports an error; there is nothing to close.
    if (!isOpen())
        return;
    device->close();
}

bool SerialLink::isOpen() const {
    return device && device->isOpen();
}

QString SerialLink::errorString() const {
    return device ? device->errorString() : QString();
}

void SerialLink::write(const QByteArray& bytes) {
    if (!isOpen())
        return;
    device->write(bytes);
    if (serial)
        serial->flush();
}

// ---------------------------------------------------------------------------------------------
// Framing

void SerialLink::read_data() {
    // No second pass while one runs: a slot called from the decoder may run a nested event loop.
    // Bytes that arrive meanwhile stay in the port and are picked up right after the pass.
    if (framing)
        return;
    receiveChunk(isOpen() ? device->readAll() : QByteArray());
    // The port does not announce bytes again while its announcement of the last ones runs.
    if (isOpen() && device->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &SerialLink::read_data, Qt::QueuedConnection);
}

void SerialLink::receiveChunk(const QByteArray& chunk) {
    latestRead = chunk;
    latestReadCount = chunk.size();
    if (latestReadCount < 1)
        return;
    const bool outerPass = framing;
    framing = true;
    FrameCutter cutter(receiveBuffer);
    cutter.append(latestRead);
    qCDebug(dk61Frame) << latestRead.toHex(' ') << receiveBuffer.size();
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
    lost = true;
    emit broken();
}
