#ifndef EEPROMPROGRAMMING_H
#define EEPROMPROGRAMMING_H

#include "production/eepromlayout.h"

#include <QDate>
#include <QString>

struct BoardState;

// What the EEPROM page checks before a programming run (EepromRun) and asks the operator.
class EepromProgramming {
public:
    // k and d offered by "Set to Default"
    static constexpr double DefaultSlope = 0.17921146953405;
    static constexpr double DefaultOffset = 0.0;

    // Empty when everything a run writes back has been read since the link opened; otherwise
    // why the run is refused, naming what is missing. The full chain also writes back the
    // production record and the laser calibration.
    static QString notReadyText(bool settingsRead, bool focusRead, bool loaderListRead,
                                bool productionRead = true, bool laserRead = true);
    // Why a run cannot start while a laser history exchange holds the board's memory replies.
    static QString busyText();
    // k or d as the page shows it.
    static QString laserText(double value);
    // k and d for step 3 from the page's "Laser Curve Derivative" and "Laser Curve Offset"
    // fields, over the values the board holds: a text that shows the held value as the page does
    // keeps it to the last bit. False (nothing stored) for a text that is not a finite number,
    // with *message naming the field.
    static bool laserFromTexts(const QString& slopeText, const QString& offsetText, float* slope,
                               float* offset, QString* message);
    // The question before the full chain, naming what it erases.
    static QString fullChainQuestion();
    // What the page says its two buttons write.
    static QString buttonsText();

    // What the EEPROM page shows that a run writes.
    struct Page {
        int loaderEntry = 0; // the loader list's entry (0: the placeholder "None")
        int loaderCode = -1; // that entry's code (-1: none)
        int baudByte = -1;   // the baud-rate entry's byte (0x01: 115200 bit/s)
        int focusEntry = 0;  // 1: R31 = 12kOhm
        QString audioByte;   // two hexadecimal digits
        QString slope;       // k and d as typed (the full run only)
        QString offset;      //
        QString serial;      // the production record as typed (the full run only)
        QString flashedBy;   //
        QString customer;    //
        QDate date;          //
    };
    // The image a run writes: the board's image as read, with the page's values where the run
    // writes them (the loader of the selected entry, or with the placeholder the loader in use).
    // Empty when the run may start; otherwise why not, and `image` must not be written.
    static QString imageFromPage(const Page& page, const BoardState& state, bool memoryBusy,
                                 bool full, EepromParameters* image);
};

#endif // EEPROMPROGRAMMING_H
