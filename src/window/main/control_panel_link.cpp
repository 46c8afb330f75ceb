// The main window's side of the links, which LinkPair keeps: the questions as Retry/Abort boxes,
// the connection label and the status bar.
#include "board/linkquestionbox.h"
#include "board/linkstatusbar.h"
#include "board/serial_selector.h"
#include "cd_board.h"
#include "firmware/flashpage.h"
#include "flags/resultspage.h"
#include "main/control_panel.h"
#include "main/signalquitter.h"
#include "portfactory.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

void Control_Panel::wireLink() {
    serialInfo.setPortSource([this] { return ports.scan(); });
    serialInfo.setChooser(&Serial_Selector::choose);
    links.attach(*board);
    links.setPortHeldElsewhere([this] { return flashPage && flashPage->running(); });
    links.setAskOperator([this](auto& link, const auto& q) { return askRetryOrAbort(link, q); });
    for (LinkSupervisor* supervisor : {&boardLink, &flagLink})
        connect(supervisor, &LinkSupervisor::accessDenied, this, &Control_Panel::portAccessDenied);
    connect(&boardLink, &LinkSupervisor::opened, this, &Control_Panel::flagLinkOpened);
    connect(&boardLink, &LinkSupervisor::linkDown, this, &Control_Panel::flagLinkDown);
    connect(&links, &LinkPair::connectionChanged, this, &Control_Panel::update_connection_label);
    connect(statusView->connectButton(), &QPushButton::clicked, this,
            &Control_Panel::handleConnectDisconnect);
    connect(ui->actionExit, &QAction::triggered, this, &Control_Panel::abort_now);
    connect(&abortTimer, &QTimer::timeout, this, &Control_Panel::abort_now);
    connect(board, &CD_Board::recieved_fw_version, this, &Control_Panel::fw_version_detected);
    connect(board, &CD_Board::recieved_ev_loader_ok, this, &Control_Panel::ev_loader_ok_detected);
    wireBoardReports();
}

// What the board reports besides the signals each page's wiring takes.
void Control_Panel::wireBoardReports() {
    connect(board, &CD_Board::statusBarChanged, this, &Control_Panel::showStatusBar);
    connect(&boardLink, &LinkSupervisor::statusBarChanged, this, &Control_Panel::showStatusBar);
    connect(board, &CD_Board::flagStatusReported, this, [this](int error, bool fromFlagBoard) {
        showStatusBar(StatusWording::flagStatus(error, fromFlagBoard));
    });
    connect(board, &CD_Board::flagFirmwareReported, this, &Control_Panel::appendFlagFirmware);
    connect(board, &CD_Board::loaderTypeReported, this, &Control_Panel::showLoaderType);
    connect(board, &CD_Board::eepromWriteRefused, this, &Control_Panel::handleEepromState);
    connect(board, &CD_Board::pllStateReported, this, &Control_Panel::showPllState);
    connect(board, &CD_Board::discIdCleared, this, &Control_Panel::clearDiscId);
    // the reading goes to the ring before laser_push() shows the ring's average
    connect(board, &CD_Board::laserReading, this, &Control_Panel::pushLaserReading);
    connect(board, &CD_Board::flagRecordAdded, this, &Control_Panel::flagRecordAdded);
    connect(board, &CD_Board::loaderListCleared, this, &Control_Panel::clearLoaderList);
    connect(board, &CD_Board::loaderEntryAdded, this, &Control_Panel::addLoaderEntry);
    connect(board, &CD_Board::loaderEntrySelected, this, &Control_Panel::selectLoaderEntry);
    connect(board, &CD_Board::laserHistoryRead, this, &Control_Panel::plotLaserHistory);
    connect(board, &CD_Board::zeroByteRead, this, &Control_Panel::plotZeroByte);
}

LinkSupervisor::Answer Control_Panel::askRetryOrAbort(LinkSupervisor& link,
                                                      const LinkSupervisor::Question& question) {
    const LinkSupervisor::Answer answer = LinkQuestionBox::ask(
        this, link, question, &link == &boardLink ? portMessageBox : otherPortMessageBox);
    if (answer == LinkSupervisor::Answer::Abort && question.abortQuits)
        abortTimer.start(0);
    return answer;
}

QMessageBox* Control_Panel::portQuestion() const {
    return portMessageBox;
}

void Control_Panel::abort_now() {
    abortTimer.stop();
    if (resultsPage)
        resultsPage->confirmClose(&SignalQuitter::quitRequested);
    QCoreApplication::quit();
}

void Control_Panel::fw_version_detected() {
    links.firmwareAnswered();
}

// The loader answered: a Retry/Abort box that is up goes when control returns to it.
void Control_Panel::ev_loader_ok_detected() {
    links.loaderAnswered();
}

void Control_Panel::resetBaudrate(int baud, bool reconnect) {
    links.changeBaudRate(baud, reconnect);
}

void Control_Panel::update_connection_label() {
    statusView->showConnection(links.connectionText(), links.boardLinkOpen());
    consolePage->showConnected(links.boardLinkOpen());
}
