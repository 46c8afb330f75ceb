#include "cd_board.h"

#include "cflags.h"
#include "control_panel.h"
#include "framecutter.h"
#include "logging.h"

#include <QLabel>

CD_Board::CD_Board(Control_Panel* parent) : QObject(parent), window(parent) {
    readyReadConnection = connect(&port, &QSerialPort::readyRead, this, &CD_Board::read_data);
    otherReadyReadConnection =
        connect(&otherPort, &QSerialPort::readyRead, this, &CD_Board::read_data_other);
    connect(&tagTimer, &QTimer::timeout, this, &CD_Board::askforTag);
    connect(&port, &QSerialPort::errorOccurred, this, &CD_Board::trans_error);
    connect(&otherPort, &QSerialPort::errorOccurred, this, &CD_Board::trans_error_other);
    pacingTimer.stop();
    tagTimer.setSingleShot(true);
    transmitterIdle = true;
    // The spacing is a lower bound the board relies on; a coarse timer may fire a little early.
    pacingTimer.setTimerType(Qt::PreciseTimer);
    connect(&pacingTimer, &QTimer::timeout, this, &CD_Board::sendData);
}

CD_Board::~CD_Board() {
    qDeleteAll(flag_records);
    flag_records.clear();
}

// ---------------------------------------------------------------------------------------------
// Ports

void CD_Board::setPortName(const QString& name) {
    qCDebug(dk61Link) << "Function setPortName() " << name;
    port.setPortName(name);
}

void CD_Board::setPortName_other(const QString& name) {
    qCDebug(dk61Link) << "Function setPortName() " << name;
    otherPort.setPortName(name);
}

void CD_Board::setBaudRate(int baud) {
    baudRate = baud;
    port.setBaudRate(baud, QSerialPort::AllDirections);
    otherPort.setBaudRate(baud, QSerialPort::AllDirections);
}

static void applySettings(QSerialPort& serial, int baud) {
    qCDebug(dk61Link) << "setting BAUDRATE" << baud;
    serial.setBaudRate(baud, QSerialPort::AllDirections);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setParity(QSerialPort::NoParity);
    serial.setDataBits(QSerialPort::Data8);
    serial.setFlowControl(QSerialPort::NoFlowControl);
}

void CD_Board::applyPortSettings() {
    applySettings(port, baudRate);
}

void CD_Board::applyOtherPortSettings() {
    applySettings(otherPort, baudRate);
}

void CD_Board::openPort() {
    port.open(QIODevice::ReadWrite);
    emit connected_to_serial_port();
}

void CD_Board::openOtherPort() {
    otherPort.open(QIODevice::ReadWrite);
    emit connected_to_serial_port_other();
}

void CD_Board::closePort() {
    port.close();
    has_FW_Version = false;
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "has_FW_Version set to false";
    emit disconnected_from_serial_port();
}

bool CD_Board::isPortOpen() const {
    return port.isOpen();
}

bool CD_Board::isOtherPortOpen() const {
    return otherPort.isOpen();
}

// ---------------------------------------------------------------------------------------------
// Transmit queue: the first request after a quiet period goes out at once, every further one on
// the next 40 ms tick; the transmitter becomes idle when a tick finds the queue empty.

void CD_Board::send2(qint64 length) {
    sendLength = length;
    qCDebug(dk61Link) << "send2";
    txFrames.append(sendBuffer);
    txLengths.append(static_cast<int>(length));
    sendBuffer.clear();
    if (transmitterIdle)
        sendData();
}

void CD_Board::send2() {
    send2(sendLength);
}

void CD_Board::sendShortRequest(int n) {
    sendBuffer.clear();
    sendBuffer.append(static_cast<char>(0xA0 | (n & 0x0F)));
    send2(1);
}

void CD_Board::sendFlagInterval(int n) {
    sendShortRequest(n);
}

void CD_Board::sendData() {
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
    if (port.isOpen())
        port.write(frame.constData(), qMin(length, frame.size()));
    qCDebug(dk61Link) << "wrote" << frame.toHex(' ');
    sentLengths.append(length);
    sentFrames.append(frame);
    emit send_bytes_ready();
    pacingTimer.start(40);
}

void CD_Board::askforTag() {
    sendBuffer.clear();
    sendBuffer.append(char(0x26));
    sendBuffer.append(char(0x04));
    sendBuffer.append(char(0x00));
    sendBuffer.append(static_cast<char>(current_track & 0xFF));
    sendBuffer.append(static_cast<char>(0xFF));
    sendBuffer.append(char(0x01));
    send2(6);
}

// ---------------------------------------------------------------------------------------------
// Connect / disconnect and port errors

namespace {
const char* const RedLabel = "QLabel {color: red}";
}

// Closes the board link and puts the status bar back to its start texts.
void CD_Board::closeLink() {
    wrong_board = false;
    noBoardReported = false;
    if (window) {
        window->flag_data_seen = false;
        window->boardLabel->setText("  BOARD: no connection  ");
        window->boardLabel->setStyleSheet(RedLabel);
        window->spdifLabel->setText("  SPDIF Signal: no signal  ");
        window->spdifLabel->setStyleSheet(RedLabel);
        window->cflagLabel->setText("  CFLAG Data: no data  ");
        window->cflagLabel->setStyleSheet(RedLabel);
    }
    loader_type_known = false;
    loader_type = 0;
    closePort();
}

void CD_Board::connect_disconnect() {
    userDisconnect = false;
    userConnect = false;
    noBoard = false;
    linkLost = false;
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "Calling function connect_disconnect()";
    if (!port.isOpen()) {
        userConnect = true;
        if (window)
            window->startup();
        return;
    }
    userDisconnect = true;
    closeLink();
}

void CD_Board::connect_disconnect_other() {
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "Calling function connect_disconnect()";
    otherLinkLost = false;
    if (!otherPort.isOpen()) {
        if (window)
            window->startup_other();
        return;
    }
    otherPort.close();
    emit disconnected_from_serial_port_other();
}

bool CD_Board::breaksLink(QSerialPort::SerialPortError error) {
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

// A port whose device went away stays open and keeps reporting (a pseudo-terminal without its
// other side reports ReadError in a tight loop, an unplugged adapter ResourceError). Such a port is
// closed, once, outside the port's own notification, and the adapter discovery starts again.
void CD_Board::trans_error(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (!breaksLink(error) || !port.isOpen()) {
        qCDebug(dk61Link) << "port error" << error << port.errorString();
        emit transmission_error();
        return;
    }
    if (portFailurePending)
        return;
    qCDebug(dk61Link) << "port broken:" << error << port.errorString();
    portFailurePending = true;
    QMetaObject::invokeMethod(this, &CD_Board::dropBrokenPort, Qt::QueuedConnection);
}

void CD_Board::trans_error_other(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (!breaksLink(error) || !otherPort.isOpen()) {
        qCDebug(dk61Link) << "other port error" << error << otherPort.errorString();
        emit transmission_error_other();
        return;
    }
    if (otherPortFailurePending)
        return;
    qCDebug(dk61Link) << "other port broken:" << error << otherPort.errorString();
    otherPortFailurePending = true;
    QMetaObject::invokeMethod(this, &CD_Board::dropBrokenOtherPort, Qt::QueuedConnection);
}

void CD_Board::dropBrokenPort() {
    portFailurePending = false;
    if (!port.isOpen())
        return; // closed meanwhile by the operator or the firmware watchdog
    closeLink();
    linkLost = true;
    emit transmission_error();
}

void CD_Board::dropBrokenOtherPort() {
    otherPortFailurePending = false;
    if (!otherPort.isOpen())
        return;
    otherPort.close();
    emit disconnected_from_serial_port_other();
    otherLinkLost = true;
    emit transmission_error_other();
}

// ---------------------------------------------------------------------------------------------
// Receive framing

void CD_Board::restoreOtherReadyRead() {
    if (!otherReadyReadConnection)
        otherReadyReadConnection =
            connect(&otherPort, &QSerialPort::readyRead, this, &CD_Board::read_data_other);
}

void CD_Board::cutFrames(QByteArray& buffer) {
    FrameCutter cutter(buffer);
    QByteArray bytes;
    for (;;) {
        qCDebug(dk61Frame) << "buffer" << cutter.pendingSize();
        if (cutter.next(bytes) != FrameCutter::Step::Frame)
            break;
        BoardFrame frame;
        frame.origin = this;
        frame.code = static_cast<quint8>(bytes.at(0));
        frame.length = static_cast<quint8>(bytes.at(1));
        frame.bytes = bytes;
        qCDebug(dk61Frame) << "hasparams" << bytes.toHex(' ') << "rest"
                           << cutter.pending().toHex(' ');
        commands.append(std::move(frame));
        parseCommand();
    }
    cutter.compact();
}

void CD_Board::read_data() {
    // No second pass while this one runs: a slot called from the decoder may run a nested event
    // loop. Bytes that arrive meanwhile stay in the port and are picked up right after the pass.
    if (framing)
        return;
    framing = true;
    receiveChunk(port.readAll());
    framing = false;
    if (port.bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &CD_Board::read_data, Qt::QueuedConnection);
}

// The flag board link: framed like the board link, into the same frame list, with its own buffer.
void CD_Board::read_data_other() {
    if (framingOther)
        return;
    const qint64 available = otherPort.bytesAvailable();
    const QByteArray chunk = otherPort.readAll();
    if (available < 1)
        return;
    framingOther = true;
    disconnect(otherReadyReadConnection);
    otherReceiveBuffer.append(chunk);
    qCDebug(dk61Frame) << "other" << chunk.toHex(' ') << otherReceiveBuffer.size();
    cutFrames(otherReceiveBuffer);
    restoreOtherReadyRead();
    framingOther = false;
    emit parse_complete_other();
    if (otherPort.bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &CD_Board::read_data_other, Qt::QueuedConnection);
}
