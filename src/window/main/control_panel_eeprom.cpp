// The main window's production pages: the EEPROM page (EepromPage) with the programming run, the
// loader list and the tray calibration, and the audio byte page that composes its audio byte.
#include "console/consolepage.h"
#include "main/control_panel.h"
#include "production/audiobytepage.h"
#include "production/eeprompage.h"
#include "ui_control_panel.h"

void Control_Panel::wireProduction() {
    connect(eepromPage, &EepromPage::programmed, this, &Control_Panel::flashSuccess);
    connect(eepromPage, &EepromPage::commandText, consolePage, &ConsolePage::sendText);
    connect(eepromPage, &EepromPage::audioByteShown, audioBytePage, &AudioBytePage::showRead);
    connect(audioBytePage, &AudioBytePage::byteChosen, this, [this](const QString& text) {
        eepromPage->setAudioByte(text);
        ui->tabWidget->setCurrentWidget(eepromPage);
    });
    // The full run has no control of its own in the form.
    if (configuration == Configuration::Service)
        eepromPage->offerFullRun();
    wireLaser();
}
