// The main window's EEPROM page.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

// Called by the decoder when the board refuses an EEPROM write.
void Control_Panel::handleEepromState() {
    qCDebug(dk61Eeprom) << "Eeprom State =" << board->eeprom_state;
    if (board->eeprom_state == 255) {
        ui->labelEeprom->setText("Error: Write Access to EEPROM denied!");
        ui->progressBarEeprom->setValue(0);
    }
}
