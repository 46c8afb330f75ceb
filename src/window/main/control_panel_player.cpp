// The main window's player panel and the small displays fed by single responses (PlayerPanel).
#include "cd_board.h"
#include "console/playerpanel.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

// The player panel of the play page, its twin on the laser current page and the expert page's
// player buttons.
void Control_Panel::wirePlayer() {
    playerPanel =
        std::make_unique<PlayerPanel>(PlayerPanel::Parts{{ui->Button_Play, ui->Button_Play_2},
                                                         ui->ExpertButtonPlay,
                                                         ui->checkBoxPlayInit,
                                                         ui->labelDiscID,
                                                         ui->labelPLL},
                                      *board);
    const std::pair<QList<QPushButton*>, void (Control_Panel::*)()> buttons[] = {
        {{ui->Button_Stop, ui->Button_Stop_2, ui->ExpertButtonStop}, &Control_Panel::stop},
        // The expert page's Play button carries the play-mode menu, which takes its presses.
        {{ui->Button_Play, ui->Button_Play_2, ui->ExpertButtonPlay}, &Control_Panel::play},
        {{ui->Button_Next, ui->Button_Next_2, ui->ExpertButtonNext}, &Control_Panel::next},
        {{ui->Button_Previous, ui->Button_Previous_2, ui->ExpertButtonPrevious},
         &Control_Panel::previous},
        {{ui->Button_Open_Close, ui->Button_Open_Close_2}, &Control_Panel::open_close},
        {{ui->ExpertButtonPause}, &Control_Panel::pause},
        {{ui->ExpertButtonOpen}, &Control_Panel::open_tray},
        {{ui->ExperButtonClose}, &Control_Panel::close_tray},
        {{ui->ExpertEvTag}, &Control_Panel::getevtag}};
    for (const auto& [pressed, slot] : buttons)
        for (QPushButton* button : pressed)
            connect(button, &QPushButton::clicked, this, slot);
    connect(&playerPanel->trayTimer(), &QTimer::timeout, this,
            &Control_Panel::handle_tray_timer_interrupt);
    connect(board, &CD_Board::recieved_tray_status, this, &Control_Panel::handle_tray_update);
    connect(board, &CD_Board::recievedDiscID, this, &Control_Panel::handleDiscID);
    connect(ui->checkBoxPlayInit, &QCheckBox::clicked, this, &Control_Panel::set_playwithinit_flag);
}
