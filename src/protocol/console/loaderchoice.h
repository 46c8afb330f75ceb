#ifndef LOADERCHOICE_H
#define LOADERCHOICE_H

#include "board/boardstate.h"

#include <QVector>

// The rules of the loader and pickup choice: which code a combo choice makes the board's
// loader type, which combo entry shows the EEPROM's loader code, when the tray calibration is
// offered, and what the loader and pickup actions store.
class LoaderChoice {
public:
    // The EEPROM code of the DK-Tria tray loader with the Sanyo HD850 pickup, the one loader
    // that is calibrated from the tool.
    static constexpr quint8 TriaWithSanyo = 0x82;

    // A code of the board's last list (or 0, no loader) becomes the loader type; any other code
    // is refused and the loader type keeps its value.
    static bool choose(LoaderState& loader, quint8 code);
    // The combo entry to show for the entry index the EEPROM's code was found at (-1: not
    // found): entries 1..62 are shown, anything else shows the placeholder 0.
    static int entryToShow(int foundIndex);
    static bool offersTrayCalibration(quint8 eepromCode) { return eepromCode == TriaWithSanyo; }

    // The loader and pickup actions: each stores its nibble of the loader code under its key.
    struct Action {
        const char* action; // object name of the form's action
        const char* key;    // settings key
        int value;
    };
    static const QVector<Action>& loaderActions();
    static const QVector<Action>& pickupActions();
};

#endif // LOADERCHOICE_H
