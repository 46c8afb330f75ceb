#include "console/playerpanel.h"

#include "cd_board.h"
#include "console/playerrequests.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

PlayerPanel::PlayerPanel(const Parts& parts, CD_Board& board, QObject* parent)
    : QObject(parent), p(parts), board(board) {
    trayRecheck.setSingleShot(true);
    p.discId->clear();
    // Each of the play-mode menu's entries plays with its mode byte (00..07).
    using Mode = void (CD_Board::*)();
    const std::pair<const char*, Mode> modes[] = {
        {"Normal Play", &CD_Board::play_normalPlay},
        {"Shuffle All", &CD_Board::play_shuffleAll},
        {"Shuffle Repeat All Disc", &CD_Board::play_shuffleRepeatAllDisc},
        {"Shuffle Folder", &CD_Board::play_shuffleFolder},
        {"Shuffle Repeat All Folder", &CD_Board::play_shuffleRepeatAllFolder},
        {"Repeat Disc", &CD_Board::play_repeatDisc},
        {"Repeat Folder", &CD_Board::play_repeatFolder},
        {"Repeat Track", &CD_Board::play_repeatTrack}};
    auto* menu = new QMenu(p.expertPlay);
    for (const auto& [text, slot] : modes)
        connect(menu->addAction(QString::fromLatin1(text)), &QAction::triggered, &board, slot);
    p.expertPlay->setMenu(menu);
}

void PlayerPanel::playPause() {
    board.sendRequests(PlayerRequests::playPause(playing, p.playInit->isChecked()));
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
    for (QPushButton* button : p.play)
        button->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
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
    board.sendRequests(PlayerRequests::playMode(0, p.playInit->isChecked()));
}

void PlayerPanel::takePlayInit() {
    board.state().player.play_with_init = p.playInit->isChecked();
}

void PlayerPanel::showDiscId() {
    p.discId->setText("Disc ID: " +
                      QString::number(static_cast<qint32>(board.state().player.disc_id)));
}

void PlayerPanel::clearDiscId() {
    p.discId->clear();
}

void PlayerPanel::showPllState(int state) {
    // The board reports the state with every status; a style sheet costs a polish of the label.
    if (state == shownPll)
        return;
    shownPll = state;
    p.pll->setText(state == 1 ? QStringLiteral("PLL State: LOCKED")
                              : QStringLiteral("PLL State: NOT LOCKED"));
    p.pll->setStyleSheet(state == 0   ? QStringLiteral("QLabel {color:red}")
                         : state == 1 ? QStringLiteral("QLabel {color:green}")
                                      : QStringLiteral("QLabel {color:black}"));
}
