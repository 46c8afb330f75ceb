// The main window's side of the board link: adapter discovery, connection checks, the
// connection label and the baud-rate reset.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

void Control_Panel::wireLink() {
    connect(board, &CD_Board::connected_to_serial_port, this,
            &Control_Panel::update_connection_label);
    connect(board, &CD_Board::disconnected_from_serial_port, this,
            &Control_Panel::update_connection_label);
    transmissionErrorConnection =
        connect(board, &CD_Board::transmission_error, this, &Control_Panel::startup);
    connect(ui->connect_disconnect, &QPushButton::clicked, this,
            &Control_Panel::handleConnectDisconnect);
    connect(connectButton, &QPushButton::clicked, this, &Control_Panel::handleConnectDisconnect);
    connect(ui->actionExit, &QAction::triggered, this, &Control_Panel::abort_now);
    connect(&abortTimer, &QTimer::timeout, this, &Control_Panel::abort_now);
}

void Control_Panel::startup() {
    if (board->isPortOpen())
        return;
    disconnect(transmissionErrorConnection);
    serialInfo.reset();
    serialInfo.detect();
    board->setPortName(serialInfo.selectedPortInfo().portName());
    qCDebug(dk61Link) << "startup detected" << serialInfo.desiredCount() << "ports desired total";
    if (serialInfo.freeDesiredCount() == 0) {
        no_avaliable_port();
        return;
    }
    board->applyPortSettings();
    board->openPort();
    fwTimer.start(400);
    evLoaderOkTimer.start(400);
    is_connected();
    transmissionErrorConnection =
        connect(board, &CD_Board::transmission_error, this, &Control_Panel::startup);
}

void Control_Panel::startup_other() {}

void Control_Panel::no_avaliable_port() {}

void Control_Panel::no_avaliable_port_other() {}

void Control_Panel::abort_now() {
    abortTimer.stop();
    QCoreApplication::quit();
}

void Control_Panel::handleConnectDisconnect() {
    board->connect_disconnect();
}

void Control_Panel::handleConnectDisconnectOther() {
    board->connect_disconnect_other();
}

void Control_Panel::is_connected() {
    qCDebug(dk61Link) << __LINE__ << "control_panel.cpp"
                      << "Calling function is_connected";
    if (board->isPortOpen()) {
        if (!board->has_FW_Version) {
            board->sendShortRequest(1);
            fwTimer.start(2400);
            flag_data_seen = false;
        }
        qCDebug(dk61Link) << "Port open and connected";
    } else {
        qCDebug(dk61Link) << "PORT NOT OPEN";
    }
}

void Control_Panel::is_connected_other() {
    qCDebug(dk61Link) << __LINE__ << "control_panel.cpp"
                      << "Calling function is_connected";
    qCDebug(dk61Link) << (board->isOtherPortOpen() ? "Port open and connected" : "PORT NOT OPEN");
}

void Control_Panel::update_connection_label() {
    if (board->isPortOpen()) {
        QString text = "Connected to " + board->port.portName() + " at " +
                       QString::number(board->port.baudRate()) + " Baud";
        if (board->has_FW_Version)
            text += " FW Version: " + QString::number(board->fw_version);
        connectionLabel->setText(text);
        ui->connect_disconnect->setText("Disconnect");
        connectButton->setText("Disconnect");
    } else {
        connectionLabel->setText("Not Connected");
        ui->connect_disconnect->setText("Connect");
        connectButton->setText("Connect");
    }
}

void Control_Panel::fw_version_detected() {}

void Control_Panel::fw_timer_interrupt() {}

void Control_Panel::ev_loader_ok_detected() {}

void Control_Panel::ev_loader_ok_timer_interrupt() {}

void Control_Panel::resetBaudrate(int baud, bool reconnect) {
    qCDebug(dk61Link) << "control_panel.cpp"
                      << "LINE" << __LINE__ << "Calling Function resetBaudrate(" << baud << ")";
    if (!reconnect) {
        board->port.setBaudRate(baud, QSerialPort::AllDirections);
        board->otherPort.setBaudRate(baud, QSerialPort::AllDirections);
        return;
    }
    if (board->port.isOpen())
        board->closePort();
    if (board->otherPort.isOpen())
        board->otherPort.close();
    board->setBaudRate(baud);
    startup();
    startup_other();
}
