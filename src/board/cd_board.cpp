#include "cd_board.h"

#include "cflags.h"
#include "control_panel.h"
#include "framecutter.h"
#include "logging.h"

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
// Connect / disconnect

void CD_Board::connect_disconnect() {
    // filled in with the board link
}

void CD_Board::connect_disconnect_other() {
    // filled in with the board link
}

void CD_Board::trans_error() {
    emit transmission_error();
}

void CD_Board::trans_error_other() {
    emit transmission_error_other();
}

// ---------------------------------------------------------------------------------------------
// Receive framing

void CD_Board::read_data() {
    receiveChunk(port.readAll());
}

void CD_Board::read_data_other() {
    const QByteArray chunk = otherPort.readAll();
    if (chunk.isEmpty())
        return;
    disconnect(otherReadyReadConnection);
    FrameCutter cutter(otherReceiveBuffer);
    cutter.append(chunk);
    QByteArray bytes;
    while (cutter.next(bytes) == FrameCutter::Step::Frame) {
        BoardFrame frame;
        frame.origin = this;
        frame.code = static_cast<quint8>(bytes.at(0));
        frame.length = static_cast<quint8>(bytes.at(1));
        frame.bytes = bytes;
        commands.append(std::move(frame));
        parseCommand();
    }
    cutter.compact();
    otherReadyReadConnection =
        connect(&otherPort, &QSerialPort::readyRead, this, &CD_Board::read_data_other);
    emit parse_complete_other();
}
