#ifndef EEPROMPROGRAMMING_H
#define EEPROMPROGRAMMING_H

#include <QByteArray>
#include <QList>
#include <QString>

// The steps of programming the board's EEPROM. Each step writes one block, shows its progress
// and text, waits for the write to be confirmed within its time-out and reads the block back:
// 0 history erase (the rest of the erase follows the board's replies), 1 on-time, 3 laser
// calibration, 5 production record, 7 settings block, 8 focus hardware, 9 done. The full chain
// starts at 0; the "Flash to Eeprom" button starts at 7.
class EepromProgramming {
public:
    static constexpr int FullChainStep = 0;
    static constexpr int ButtonStep = 7;
    static constexpr int LastStep = 9;
    static constexpr int HistoryEraseState = 11;
    static constexpr int ProgressMaximum = 6;
    // k and d offered by "Set to Default"
    static constexpr double DefaultSlope = 0.17921146953405;
    static constexpr double DefaultOffset = 0.0;

    // The values a run writes.
    struct Image {
        float laser_slope = 0;
        float laser_offset = 0;
        quint8 production_bytes[8] = {};
        quint8 audio_byte = 0;
        quint8 loader_type = 0;
        quint8 settings_spare = 0xFF;
        quint8 baud_flag = 0xFF;
        quint8 focus_setting_to_write = 0xFF;
    };

    struct Step {
        bool valid = false;       // false: a step number that writes nothing (2, 4, 6, ...)
        QList<QByteArray> writes; // queued first, in this order
        int progress = 0;
        QString text;        // for labelEeprom
        int timeoutMs = 0;   // 0: nothing to wait for
        int state = 0;       // the state that waits for the confirmation
        QByteArray readBack; // queued after the state is set; empty for none
    };

    static Step stepPlan(int step, const Image& image);

    static QString deniedText() { return QStringLiteral("Error: Write Access to EEPROM denied!"); }
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
};

#endif // EEPROMPROGRAMMING_H
