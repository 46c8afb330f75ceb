// The main window's side of the links, which LinkPair keeps: the connection label, the status bar
// and what the board reports.
#include "board/linkstatusbar.h"
#include "board/serial_selector.h"
#include "cd_board.h"
#include "flags/resultspage.h"
#include "main/control_panel.h"
#include "main/signalquitter.h"
#include "portfactory.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QPushButton>

void Control_Panel::wireLink() {
    serialInfo.setPortSource([this] { return ports.scan(); });
    serialInfo.setChooser(&Serial_Selector::choose);
    links.attach(*board);
    links.setPortHeldElsewhere([this] { return pages && pages->flash().running(); });
    linkWindow = new LinkWindow(*this, links);
    for (LinkSupervisor* supervisor : {&boardLink, &flagLink})
        connect(supervisor, &LinkSupervisor::accessDenied, this, &Control_Panel::portAccessDenied);
    connect(&boardLink, &LinkSupervisor::opened, this, &Control_Panel::flagLinkOpened);
    connect(&boardLink, &LinkSupervisor::linkDown, this, &Control_Panel::flagLinkDown);
    connect(&links, &LinkPair::connectionChanged, this, &Control_Panel::update_connection_label);
    connect(statusView->connectButton(), &QPushButton::clicked, this,
            &Control_Panel::handleConnectDisconnect);
    connect(ui->actionExit, &QAction::triggered, this, &Control_Panel::abort_now);
    connect(&linkWindow->quitTimer(), &QTimer::timeout, this, &Control_Panel::abort_now);
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

void Control_Panel::abort_now() {
    linkWindow->quitTimer().stop();
    if (resultsPage)
        resultsPage->confirmClose(&SignalQuitter::quitRequested);
    QCoreApplication::quit();
}

void Control_Panel::update_connection_label() {
    statusView->showConnection(links.connectionText(), links.boardLinkOpen());
    pages->console().showConnected(links.boardLinkOpen());
}
