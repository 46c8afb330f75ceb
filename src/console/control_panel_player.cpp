// The main window's player panel and the small displays fed by single responses.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "playerrequests.h"
#include "ui_control_panel.h"

#include <QMenu>

// The PLL state reported by 0xAA: 0 not locked, 1 locked, anything else undefined.
void Control_Panel::showPllState(int state) {
    if (state == 0) {
        ui->labelPLL->setText("PLL State: NOT LOCKED");
        ui->labelPLL->setStyleSheet("QLabel {color:red}");
    } else if (state == 1) {
        ui->labelPLL->setText("PLL State: LOCKED");
        ui->labelPLL->setStyleSheet("QLabel {color:green}");
    } else {
        ui->labelPLL->setText("PLL State: NOT LOCKED");
        ui->labelPLL->setStyleSheet("QLabel {color:black}");
    }
}

void Control_Panel::clearDiscId() {
    ui->labelDiscID->clear();
}

// ---------------------------------------------------------------------------------------------
// The player panel of the play page, its twin on the laser current page and the expert page's
// player buttons.

void Control_Panel::wirePlayer() {
    for (QPushButton* b : {ui->Button_Stop, ui->Button_Stop_2, ui->ExpertButtonStop})
        connect(b, &QPushButton::clicked, this, &Control_Panel::stop);
    // The expert page's Play button carries the play-mode menu, which takes its presses.
    for (QPushButton* b : {ui->Button_Play, ui->Button_Play_2, ui->ExpertButtonPlay})
        connect(b, &QPushButton::clicked, this, &Control_Panel::play);
    for (QPushButton* b : {ui->Button_Next, ui->Button_Next_2, ui->ExpertButtonNext})
        connect(b, &QPushButton::clicked, this, &Control_Panel::next);
    for (QPushButton* b : {ui->Button_Previous, ui->Button_Previous_2, ui->ExpertButtonPrevious})
        connect(b, &QPushButton::clicked, this, &Control_Panel::previous);
    for (QPushButton* b : {ui->Button_Open_Close, ui->Button_Open_Close_2})
        connect(b, &QPushButton::clicked, this, &Control_Panel::open_close);
    connect(ui->ExpertButtonPause, &QPushButton::clicked, this, &Control_Panel::pause);
    connect(ui->ExpertButtonOpen, &QPushButton::clicked, this, &Control_Panel::open_tray);
    connect(ui->ExperButtonClose, &QPushButton::clicked, this, &Control_Panel::close_tray);
    connect(&trayTimer, &QTimer::timeout, this, &Control_Panel::handle_tray_timer_interrupt);
    connect(board, &CD_Board::recieved_tray_status, this, &Control_Panel::handle_tray_update);
    connect(board, &CD_Board::recievedDiscID, this, &Control_Panel::handleDiscID);
    connect(ui->ExpertEvTag, &QPushButton::clicked, this, &Control_Panel::getevtag);
    connect(ui->checkBoxPlayInit, &QCheckBox::clicked, this, &Control_Panel::set_playwithinit_flag);
}

void Control_Panel::wirePlayModeMenu() {
    using Mode = void (CD_Board::*)();
    const Mode modes[] = {&CD_Board::play_normalPlay,
                          &CD_Board::play_shuffleAll,
                          &CD_Board::play_shuffleRepeatAllDisc,
                          &CD_Board::play_shuffleFolder,
                          &CD_Board::play_shuffleRepeatAllFolder,
                          &CD_Board::play_repeatDisc,
                          &CD_Board::play_repeatFolder,
                          &CD_Board::play_repeatTrack};
    const QList<QAction*> actions = playModeMenu->actions();
    for (int i = 0; i < actions.size() && i < 8; ++i)
        connect(actions.at(i), &QAction::triggered, board, modes[i]);
}

namespace {

void showPlayState(Ui::Control_Panel* ui, bool playing) {
    const QString text = playing ? QStringLiteral("Pause") : QStringLiteral("Play");
    ui->Button_Play->setText(text);
    ui->Button_Play_2->setText(text);
}

} // namespace

void Control_Panel::play() {
    board->sendRequests(PlayerRequests::playPause(playing, ui->checkBoxPlayInit->isChecked()));
    showPlayState(ui, playing);
}

void Control_Panel::pause() {
    board->sendRequest(PlayerRequests::pause());
}

void Control_Panel::stop() {
    board->sendRequest(PlayerRequests::stop());
    playing = false;
    showPlayState(ui, playing);
}

void Control_Panel::next() {
    board->sendRequest(PlayerRequests::next());
}

void Control_Panel::previous() {
    board->sendRequest(PlayerRequests::previous());
}

void Control_Panel::open_close() {
    bool recheck = false;
    board->sendRequest(PlayerRequests::openClose(board->state.player.tray_state, recheck));
    if (recheck)
        trayTimer.start(400);
}

void Control_Panel::open_tray() {
    board->sendRequest(PlayerRequests::trayOpen());
}

void Control_Panel::close_tray() {
    board->sendRequest(PlayerRequests::trayClose());
}

void Control_Panel::handle_tray_update() {
    trayTimer.stop();
    board->sendRequests(PlayerRequests::trayRecheck(board->state.player.tray_state));
}

void Control_Panel::handle_tray_timer_interrupt() {
    handle_tray_update();
}

// Not on any button: Play with mode 00, after Get Disc Contents when "PlayInit" is checked.
void Control_Panel::button_play() {
    board->sendRequests(PlayerRequests::playMode(0, ui->checkBoxPlayInit->isChecked()));
}

void Control_Panel::getevtag() {
    board->sendRequest(PlayerRequests::discContents());
}

void Control_Panel::set_playwithinit_flag() {
    board->state.player.play_with_init = ui->checkBoxPlayInit->isChecked();
}

void Control_Panel::handleDiscID() {
    ui->labelDiscID->setText("Disc ID: " +
                             QString::number(static_cast<qint32>(board->state.player.disc_id)));
}
