// The main window's laser pages (LaserPage, LaserCurrentPage) and the laser ADC ring.
#include "laser/laserlist.h"
#include "main/control_panel.h"

void Control_Panel::plotLaserHistory(int runtime, int last_index, const quint8* values,
                                     const quint8* /*values_t*/) {
    pages->laserCurrent().plotHistory(runtime, last_index, values);
}

void Control_Panel::pushLaserReading(quint16 value) {
    laserList->push(value);
}
