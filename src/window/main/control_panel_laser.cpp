// The main window's laser pages (LaserPage, LaserCurrentPage) and the laser ADC ring.
#include "laser/lasercurrentpage.h"
#include "laser/laserlist.h"
#include "laser/laserpage.h"
#include "main/control_panel.h"
#include "production/eeprompage.h"

void Control_Panel::wireLaser() {
    connect(laserPage, &LaserPage::useForEeprom, this,
            [this](double k, double d) { eepromPage->takeLaser(k, d); });
}

void Control_Panel::plotLaserHistory(int runtime, int last_index, const quint8* values,
                                     const quint8* /*values_t*/) {
    laserCurrentPage->plotHistory(runtime, last_index, values);
}

void Control_Panel::pushLaserReading(quint16 value) {
    laserList->push(value);
}
