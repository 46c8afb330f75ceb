// The main window's EEPROM page.
#include "cd_board.h"
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

// Called by the decoder when the board refuses an EEPROM write.
void Control_Panel::handleEepromState() {
    const EepromConfirmation::Step step = board->decoder.eeprom.eeprom_state;
    qCDebug(dk61Eeprom) << "Eeprom State =" << static_cast<int>(step);
    if (step == EepromConfirmation::Step::Refused) {
        ui->labelEeprom->setText("Error: Write Access to EEPROM denied!");
        ui->progressBarEeprom->setValue(0);
    }
}

void Control_Panel::eepromStepConfirmed() {
    flashTimer.stop();
}
