// The main window's player (PlayerPanel): the play page's buttons wire themselves; the twins on
// the laser current page and the expert page's player buttons.
#include "cd_board.h"
#include "console/playerpanel.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

#include <QMenu>

void Control_Panel::wirePlayer() {
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
    auto* menu = new QMenu(ui->ExpertButtonPlay);
    for (const auto& [text, slot] : modes)
        connect(menu->addAction(QString::fromLatin1(text)), &QAction::triggered, board, slot);
    ui->ExpertButtonPlay->setMenu(menu);
    const std::pair<QList<QPushButton*>, void (Control_Panel::*)()> buttons[] = {
        {{ui->Button_Stop_2, ui->ExpertButtonStop}, &Control_Panel::stop},
        // The expert page's Play button carries the play-mode menu, which takes its presses.
        {{ui->Button_Play_2, ui->ExpertButtonPlay}, &Control_Panel::play},
        {{ui->Button_Next_2, ui->ExpertButtonNext}, &Control_Panel::next},
        {{ui->Button_Previous_2, ui->ExpertButtonPrevious}, &Control_Panel::previous},
        {{ui->Button_Open_Close_2}, &Control_Panel::open_close},
        {{ui->ExpertButtonPause}, &Control_Panel::pause},
        {{ui->ExpertButtonOpen}, &Control_Panel::open_tray},
        {{ui->ExperButtonClose}, &Control_Panel::close_tray},
        {{ui->ExpertEvTag}, &Control_Panel::getevtag}};
    for (const auto& [pressed, slot] : buttons)
        for (QPushButton* button : pressed)
            connect(button, &QPushButton::clicked, this, slot);
    connect(playerPanel.get(), &PlayerPanel::playButtonText, ui->Button_Play_2,
            &QPushButton::setText);
    connect(playerPanel.get(), &PlayerPanel::pllShown, ui->labelPLL,
            [this](const QString& text, const QString& style) {
                ui->labelPLL->setText(text);
                ui->labelPLL->setStyleSheet(style);
            });
    connect(ui->checkBoxPlayInit, &QCheckBox::toggled, playerPanel.get(),
            &PlayerPanel::setPlayInit);
    connect(ui->checkBoxPlayInit, &QCheckBox::clicked, this, &Control_Panel::set_playwithinit_flag);
}
