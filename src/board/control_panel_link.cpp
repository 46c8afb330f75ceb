// The main window's side of the links, which their LinkSupervisors keep: the questions as
// Retry/Abort boxes, the connection label, the baud-rate reset and the status bar.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "serial_selector.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

void Control_Panel::wireLink() {
    serialInfo.setChooser(&Serial_Selector::choose);
    for (LinkSupervisor* supervisor : {&boardLink, &flagLink}) {
        supervisor->attach(*board);
        supervisor->portHeldElsewhere = [this] { return firmwareRunning(); };
        supervisor->askOperator = [this, supervisor](const auto& q) {
            return askRetryOrAbort(*supervisor, q);
        };
        connect(supervisor, &LinkSupervisor::accessDenied, this, &Control_Panel::portAccessDenied);
    }
    flagLink.yieldTo = &boardLink;
    connect(&boardLink, &LinkSupervisor::opened, this, &Control_Panel::flagLinkOpened);
    connect(&boardLink, &LinkSupervisor::linkDown, this, &Control_Panel::flagLinkDown);
    connect(&boardLink, &LinkSupervisor::connectionChanged, this,
            &Control_Panel::update_connection_label);
    connect(board, &CD_Board::connected_to_serial_port, this,
            &Control_Panel::update_connection_label);
    connect(board, &CD_Board::disconnected_from_serial_port, this,
            &Control_Panel::update_connection_label);
    connect(ui->connect_disconnect, &QPushButton::clicked, this,
            &Control_Panel::handleConnectDisconnect);
    connect(connectButton, &QPushButton::clicked, this, &Control_Panel::handleConnectDisconnect);
    connect(ui->actionExit, &QAction::triggered, this, &Control_Panel::abort_now);
    connect(&abortTimer, &QTimer::timeout, this, &Control_Panel::abort_now);
    connect(board, &CD_Board::recieved_fw_version, this, &Control_Panel::fw_version_detected);
    connect(board, &CD_Board::recieved_ev_loader_ok, this, &Control_Panel::ev_loader_ok_detected);
}

// Runs the Retry/Abort box modally, published in portMessageBox or otherPortMessageBox while it
// is up; it answers itself with Retry when the adapter is back.
LinkSupervisor::Answer Control_Panel::askRetryOrAbort(LinkSupervisor& link,
                                                      const LinkSupervisor::Question& question) {
    QMessageBox*& slot = &link == &boardLink ? portMessageBox : otherPortMessageBox;
    auto* box = new QMessageBox(this);
    connect(&link, &LinkSupervisor::adapterBack, box, [box] { box->done(QMessageBox::Retry); });
    box->setText(question.text);
    box->setInformativeText(question.informative);
    // flag monitor: the window can come up without an adapter (File > Open Flag File...)
    if (question.offerOffline)
        box->addButton(QStringLiteral("Continue Offline"), QMessageBox::ActionRole);
    box->setStandardButtons(QMessageBox::Retry | QMessageBox::Abort);
    box->setDefaultButton(QMessageBox::Retry);
    box->setIcon(QMessageBox::Critical);
    QPointer<QMessageBox> guard(box);
    slot = box;
    const int result = box->exec();
    if (slot == box)
        slot = nullptr;
    delete guard.data();
    if (result == QMessageBox::Abort && question.abortQuits)
        abortTimer.start(0);
    return result == QMessageBox::Retry   ? LinkSupervisor::Answer::Retry
           : result == QMessageBox::Abort ? LinkSupervisor::Answer::Abort
                                          : LinkSupervisor::Answer::Closed;
}

void Control_Panel::retry_link() {
    boardLink.retry();
    flagLink.retry();
}

void Control_Panel::abort_now() {
    abortTimer.stop();
    QCoreApplication::quit();
}

void Control_Panel::update_connection_label() {
    const bool open = board->isPortOpen();
    const LinkWatch& watch = board->state.link;
    connectionLabel->setText(
        open ? StatusWording::connection(board->link.portName(), board->link.baudRate(),
                                         watch.has_FW_Version, watch.fw_version)
             : StatusWording::notConnected());
    ui->connect_disconnect->setText(open ? "Disconnect" : "Connect");
    connectButton->setText(open ? "Disconnect" : "Connect");
}

void Control_Panel::fw_version_detected() {
    boardLink.firmwareAnswered();
    update_connection_label();
}

void Control_Panel::ev_loader_ok_detected() {
    boardLink.loaderAnswered();
    if (portMessageBox) // the box goes when control returns to it
        portMessageBox->done(0);
    update_connection_label();
}

void Control_Panel::resetBaudrate(int baud, bool reconnect) {
    qCDebug(dk61Link) << "control_panel.cpp"
                      << "LINE" << __LINE__ << "Calling Function resetBaudrate(" << baud << ")";
    if (!reconnect) {
        board->link.setBaudRate(baud);
        board->otherLink.setBaudRate(baud);
        return;
    }
    boardLink.close();
    flagLink.close();
    board->setBaudRate(baud);
    startup();
    startup_other();
}

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
