// The main window's side of the board link: adapter discovery, connection checks, the
// connection label, the baud-rate reset and the firmware and loader watchdogs.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

const int LinkRetryMs = 1000;
const char* const NoBridgeText = "PC-Tool v0.0.36 could not detect a UART-Bridge";

// Runs a Retry/Abort box modally, publishing it in `slot` while it is up. Returns the button
// (QMessageBox::Retry, QMessageBox::Abort) or another value when it was closed otherwise.
int runPortBox(QMessageBox* box, QMessageBox*& slot) {
    box->setStandardButtons(QMessageBox::Retry | QMessageBox::Abort);
    box->setDefaultButton(QMessageBox::Retry);
    box->setIcon(QMessageBox::Critical);
    QPointer<QMessageBox> guard(box);
    slot = box;
    const int result = box->exec();
    if (slot == box)
        slot = nullptr;
    delete guard.data();
    return result;
}

} // namespace

void Control_Panel::wireLink() {
    connect(board, &CD_Board::connected_to_serial_port, this,
            &Control_Panel::update_connection_label);
    connect(board, &CD_Board::disconnected_from_serial_port, this,
            &Control_Panel::update_connection_label);
    restoreTransmissionErrorConnection();
    restoreTransmissionErrorOtherConnection();
    connect(ui->connect_disconnect, &QPushButton::clicked, this,
            &Control_Panel::handleConnectDisconnect);
    connect(connectButton, &QPushButton::clicked, this, &Control_Panel::handleConnectDisconnect);
    connect(ui->actionExit, &QAction::triggered, this, &Control_Panel::abort_now);
    connect(&abortTimer, &QTimer::timeout, this, &Control_Panel::abort_now);
    // watchdogs
    connect(board, &CD_Board::recieved_fw_version, this, &Control_Panel::fw_version_detected);
    connect(&fwTimer, &QTimer::timeout, this, &Control_Panel::fw_timer_interrupt);
    connect(board, &CD_Board::recieved_ev_loader_ok, this, &Control_Panel::ev_loader_ok_detected);
    restoreLoaderTimerConnection();
    // adapter retry after a lost link
    linkRetryTimer.setInterval(LinkRetryMs);
    linkRetryTimer.setTimerType(Qt::PreciseTimer);
    connect(&linkRetryTimer, &QTimer::timeout, this, &Control_Panel::retry_link);
}

void Control_Panel::restoreTransmissionErrorConnection() {
    if (!transmissionErrorConnection)
        transmissionErrorConnection =
            connect(board, &CD_Board::transmission_error, this, &Control_Panel::startup);
}

void Control_Panel::restoreTransmissionErrorOtherConnection() {
    if (!transmissionErrorOtherConnection)
        transmissionErrorOtherConnection = connect(board, &CD_Board::transmission_error_other, this,
                                                   &Control_Panel::startup_other);
}

void Control_Panel::restoreLoaderTimerConnection() {
    if (!loaderTimerConnection)
        loaderTimerConnection = connect(&evLoaderOkTimer, &QTimer::timeout, this,
                                        &Control_Panel::ev_loader_ok_timer_interrupt);
}

// ---------------------------------------------------------------------------------------------
// Adapter discovery

void Control_Panel::keepLookingForAdapters() {
    const bool boardWaiting = board->link.linkLost && !board->isPortOpen();
    const bool otherWaiting = board->otherLink.linkLost && !board->isOtherPortOpen();
    if ((boardWaiting || otherWaiting) && !linkRetryTimer.isActive())
        linkRetryTimer.start();
}

void Control_Panel::startup() {
    // ---- firmware: the ISP tool has the port; its run's end restarts the link ----
    if (firmwareRunning())
        return;
    // ---- end firmware ----
    const bool explicitStart = linkStartExplicit;
    linkStartExplicit = false;
    keepLookingForAdapters();
    if (board->isPortOpen() || linkDiscoveryRunning)
        return;
    // An adapter that just failed to open is tried again by the retry timer, a second later.
    const QElapsedTimer& failedOpen = board->link.failedOpenClock;
    if (!explicitStart && failedOpen.isValid() && failedOpen.elapsed() < LinkRetryMs)
        return;
    linkDiscoveryRunning = true;
    startBoardLink();
    linkDiscoveryRunning = false;
    keepLookingForAdapters();
}

void Control_Panel::startBoardLink() {
    // Error reports caused by the steps below must not start a second discovery.
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
    restoreTransmissionErrorConnection();
}

void Control_Panel::startup_other() {
    // ---- firmware: no discovery may take the port the ISP tool has ----
    if (firmwareRunning())
        return;
    // ---- end firmware ----
    keepLookingForAdapters();
    if (board->isOtherPortOpen() || linkDiscoveryRunning)
        return;
    linkDiscoveryRunning = true;
    startOtherLink();
    linkDiscoveryRunning = false;
    keepLookingForAdapters();
}

void Control_Panel::startOtherLink() {
    disconnect(transmissionErrorOtherConnection);
    serialInfo.reset();
    serialInfo.detect(Serial_Info::Link::Other);
    board->setPortName_other(serialInfo.selectedPortInfo().portName());
    qCDebug(dk61Link) << "startup detected" << serialInfo.desiredCount() << "ports desired total";
    if (serialInfo.freeDesiredCount() == 0) {
        no_avaliable_port_other();
        return;
    }
    board->applyOtherPortSettings();
    board->openOtherPort();
    is_connected_other();
    restoreTransmissionErrorOtherConnection();
}

void Control_Panel::no_avaliable_port() {
    // The loader poll must not run its slot while the box is up.
    disconnect(loaderTimerConnection);
    int result = -1;
    // After the firmware watchdog found no board, nobody is asked unless they asked to connect.
    if (board->userConnect || !board->state.link.noBoard) {
        auto* box = new QMessageBox(this);
        if (serialInfo.desiredCount() == 0)
            box->setText(NoBridgeText);
        box->setInformativeText("Could detect a UART-Bridge! Do you want to retry or abort?");
        result = runPortBox(box, portMessageBox);
    }
    restoreLoaderTimerConnection();
    if (result == QMessageBox::Abort) {
        abortTimer.start(0);
    } else if (result == QMessageBox::Retry) {
        // Retry belongs to the discovery that showed the box.
        const bool running = linkDiscoveryRunning;
        linkDiscoveryRunning = false;
        linkStartExplicit = true;
        startup();
        linkDiscoveryRunning = running;
    }
}

void Control_Panel::no_avaliable_port_other() {
    auto* box = new QMessageBox(this);
    box->setText(serialInfo.desiredCount() == 0
                     ? NoBridgeText
                     : "PC-Tool v0.0.36 could detect a UART-Bridge, but it is being used by "
                       "another Program");
    box->setInformativeText("Do you want to retry or abort?");
    const int result = runPortBox(box, otherPortMessageBox);
    if (result == QMessageBox::Retry) {
        const bool running = linkDiscoveryRunning;
        linkDiscoveryRunning = false;
        startup_other();
        linkDiscoveryRunning = running;
    }
}

void Control_Panel::retry_link() {
    const bool boardWaiting = board->link.linkLost && !board->isPortOpen();
    const bool otherWaiting = board->otherLink.linkLost && !board->isOtherPortOpen();
    if (!boardWaiting && !otherWaiting) {
        linkRetryTimer.stop();
        return;
    }
    // Only an adapter that can be taken without asking is taken; a choice stays the operator's.
    if (!serialInfo.canChooseSilently(boardWaiting ? Serial_Info::Link::Board
                                                   : Serial_Info::Link::Other))
        return;
    qCDebug(dk61Link) << "adapter back, reconnecting";
    if (boardWaiting) {
        if (portMessageBox) {
            portMessageBox->done(QMessageBox::Retry);
        } else if (!linkDiscoveryRunning) {
            linkStartExplicit = true;
            startup();
        }
    } else {
        if (otherPortMessageBox)
            otherPortMessageBox->done(QMessageBox::Retry);
        else if (!linkDiscoveryRunning)
            startup_other();
    }
}

void Control_Panel::abort_now() {
    abortTimer.stop();
    QCoreApplication::quit();
}

// ---------------------------------------------------------------------------------------------
// Connect buttons, connection checks, label

void Control_Panel::handleConnectDisconnect() {
    linkStartExplicit = true;
    board->connect_disconnect();
    linkStartExplicit = false;
}

void Control_Panel::handleConnectDisconnectOther() {
    board->connect_disconnect_other();
}

void Control_Panel::is_connected() {
    qCDebug(dk61Link) << __LINE__ << "control_panel.cpp"
                      << "Calling function is_connected";
    if (board->isPortOpen()) {
        if (!board->state.link.has_FW_Version) {
            board->sendShortRequest(1);
            fwTimer.start(2400);
            board->state.flags.flag_data_seen = false;
        }
        qCDebug(dk61Link) << "Port open and connected";
        return;
    }
    // The window stays up and unconnected; an adapter that was found but would not open is
    // tried again, at most once a second.
    qCDebug(dk61Link) << "PORT NOT OPEN" << board->link.errorString();
    if (board->link.accessDenied)
        portAccessDenied(board->link.portName());
    if (!board->link.portName().isEmpty()) {
        board->link.linkLost = true;
        linkRetryTimer.start();
    }
}

void Control_Panel::is_connected_other() {
    qCDebug(dk61Link) << __LINE__ << "control_panel.cpp"
                      << "Calling function is_connected";
    if (board->isOtherPortOpen()) {
        qCDebug(dk61Link) << "Port open and connected";
        return;
    }
    qCDebug(dk61Link) << "PORT NOT OPEN" << board->otherLink.errorString();
    if (!board->otherLink.portName().isEmpty())
        board->otherLink.linkLost = true;
}

void Control_Panel::update_connection_label() {
    if (board->isPortOpen()) {
        const LinkWatch& watch = board->state.link;
        connectionLabel->setText(StatusWording::connection(board->link.portName(),
                                                           board->link.baudRate(),
                                                           watch.has_FW_Version, watch.fw_version));
        ui->connect_disconnect->setText("Disconnect");
        connectButton->setText("Disconnect");
    } else {
        connectionLabel->setText(StatusWording::notConnected());
        ui->connect_disconnect->setText("Connect");
        connectButton->setText("Connect");
    }
}

// ---------------------------------------------------------------------------------------------
// Watchdogs

void Control_Panel::fw_version_detected() {
    qCDebug(dk61Link) << "FWVersion"
                      << "FW Version: " << board->state.link.fw_version;
    fwTimer.stop();
    update_connection_label();
}

// Repeats at every expiry until the firmware version arrives.
void Control_Panel::fw_timer_interrupt() {
    qCDebug(dk61Link) << "NO FW VERSION DETECTED";
    LinkWatch& watch = board->state.link;
    showStatusBar(StatusWording::watchdog(watch.board_answered, watch.wrong_board));
    if (watch.wrong_board || !watch.board_answered) {
        if (!watch.noBoardReported && !board->userDisconnect) {
            watch.noBoardReported = true;
            watch.noBoard = true;
        }
        if (!watch.board_answered && !board->userDisconnect) {
            if (board->isPortOpen())
                board->link.close();
            update_connection_label();
            startup();
            board->state.flags.flag_fw_shown = false;
        }
    }
    watch.board_answered = false;
    watch.wrong_board = false;
}

void Control_Panel::ev_loader_ok_detected() {
    evLoaderOkTimer.stop();
    if (portMessageBox) {
        // The box may be running its own event loop right now; it goes when control returns.
        portMessageBox->hide();
        portMessageBox->deleteLater();
        portMessageBox = nullptr;
    }
    update_connection_label();
}

void Control_Panel::ev_loader_ok_timer_interrupt() {
    evLoaderOkTimer.stop();
    qCDebug(dk61Link) << "NO LOADER VERSION DETECTED";
}

// ---------------------------------------------------------------------------------------------
// Baud rate

void Control_Panel::resetBaudrate(int baud, bool reconnect) {
    qCDebug(dk61Link) << "control_panel.cpp"
                      << "LINE" << __LINE__ << "Calling Function resetBaudrate(" << baud << ")";
    if (!reconnect) {
        board->link.setBaudRate(baud);
        board->otherLink.setBaudRate(baud);
        return;
    }
    if (board->isPortOpen()) {
        board->closePort();
        qCDebug(dk61Link) << "port.isOpen == true"
                          << "control_panel.cpp"
                          << "LINE" << __LINE__;
    }
    if (board->isOtherPortOpen()) {
        board->otherLink.close();
        qCDebug(dk61Link) << "port.isOpen == true"
                          << "control_panel.cpp"
                          << "LINE" << __LINE__;
    }
    board->setBaudRate(baud);
    startup();
    startup_other();
}

// ---------------------------------------------------------------------------------------------
// Status bar

void Control_Panel::showStatusText(QLabel* label, const StatusWording::Text& text) {
    if (!text.shown)
        return;
    if (label->text() != text.text)
        label->setText(text.text);
    const QString style = StatusWording::styleSheet(text.colour);
    if (!style.isEmpty() && label->styleSheet() != style)
        label->setStyleSheet(style);
}

void Control_Panel::showStatusBar(const StatusWording::Bar& bar) {
    showStatusText(boardLabel, bar.board);
    showStatusText(spdifLabel, bar.spdif);
    showStatusText(cflagLabel, bar.cflag);
    showStatusText(ui->status_description_spdif_label, bar.message);
}

void Control_Panel::appendFlagFirmware(int version) {
    connectionLabel->setText(connectionLabel->text() + StatusWording::flagFirmwareSuffix(version));
}

void Control_Panel::showLoaderType(const QString& text) {
    statusLabel->setText(text);
}
