#include "console/playerpanel.h"

#include "cd_board.h"
#include "console/playerrequests.h"

PlayerPanel::PlayerPanel(CD_Board& board, QObject* parent) : QObject(parent), board(board) {
    trayRecheck.setSingleShot(true);
    connect(&trayRecheck, &QTimer::timeout, this, &PlayerPanel::trayUpdate);
    connect(&board, &CD_Board::recieved_tray_status, this, &PlayerPanel::trayUpdate);
    connect(&board, &CD_Board::recievedDiscID, this, &PlayerPanel::showDiscId);
}

void PlayerPanel::playPause() {
    board.sendRequests(PlayerRequests::playPause(playing, playInit));
    showPlayState();
}

void PlayerPanel::send(const QByteArray& request) {
    board.sendRequest(request);
}

void PlayerPanel::stop() {
    board.sendRequest(PlayerRequests::stop());
    playing = false;
    showPlayState();
}

void PlayerPanel::showPlayState() {
    emit playButtonText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void PlayerPanel::openClose() {
    bool recheck = false;
    board.sendRequest(PlayerRequests::openClose(board.state().player.tray_state, recheck));
    if (recheck)
        trayRecheck.start(TrayRecheckMs);
}

void PlayerPanel::trayUpdate() {
    trayRecheck.stop();
    board.sendRequests(PlayerRequests::trayRecheck(board.state().player.tray_state));
}

void PlayerPanel::playFromStart() {
    board.sendRequests(PlayerRequests::playMode(0, playInit));
}

void PlayerPanel::takePlayInit() {
    board.state().player.play_with_init = playInit;
}

void PlayerPanel::showDiscId() {
    emit discIdShown("Disc ID: " +
                     QString::number(static_cast<qint32>(board.state().player.disc_id)));
}

void PlayerPanel::clearDiscId() {
    emit discIdShown(QString());
}

void PlayerPanel::showPllState(int state) {
    // The board reports the state with every status; a style sheet costs a polish of the label.
    if (state == shownPll)
        return;
    shownPll = state;
    emit pllShown(state == 1 ? QStringLiteral("PLL State: LOCKED")
                             : QStringLiteral("PLL State: NOT LOCKED"),
                  state == 0   ? QStringLiteral("QLabel {color:red}")
                  : state == 1 ? QStringLiteral("QLabel {color:green}")
                               : QStringLiteral("QLabel {color:black}"));
}
