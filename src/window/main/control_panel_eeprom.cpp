// The main window's production pages: the EEPROM page's programming run.
#include "main/control_panel.h"

void Control_Panel::wireProduction() {
    connect(&pages->eeprom(), &EepromPage::programmed, this, &Control_Panel::flashSuccess);
}
