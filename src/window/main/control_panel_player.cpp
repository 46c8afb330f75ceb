// The main window's player (PlayerPanel): the play page's buttons wire themselves; the twins on
// the laser current page and the expert page's player buttons.
#include "cd_board.h"
#include "console/playerpanel.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

#include <QMenu>

void Control_Panel::wirePlayer() {
    const std::pair<QList<QPushButton*>, void (Control_Panel::*)()> buttons[] = {
        {{ui->Button_Stop_2}, &Control_Panel::stop},
        {{ui->Button_Play_2}, &Control_Panel::play},
        {{ui->Button_Next_2}, &Control_Panel::next},
        {{ui->Button_Previous_2}, &Control_Panel::previous},
        {{ui->Button_Open_Close_2}, &Control_Panel::open_close}};
    for (const auto& [pressed, slot] : buttons)
        for (QPushButton* button : pressed)
            connect(button, &QPushButton::clicked, this, slot);
    connect(playerPanel.get(), &PlayerPanel::playButtonText, ui->Button_Play_2,
            &QPushButton::setText);
}
