#ifndef EEPROMPROGRAMMING_H
#define EEPROMPROGRAMMING_H

#include <QString>

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
    // k and d for step 3 from the page's texts; false (nothing stored) for a text that is not a
    // finite number, with *message saying so.
    static bool laserFromTexts(const QString& slopeText, const QString& offsetText, float* slope,
                               float* offset, QString* message);
    // The question before the full chain, naming what it erases.
    static QString fullChainQuestion();
    // What the page says its two buttons write.
    static QString buttonsText();
};

#endif // EEPROMPROGRAMMING_H
