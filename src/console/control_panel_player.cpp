// The main window's player panel and the small displays fed by single responses.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

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
