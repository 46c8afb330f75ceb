#ifndef SETTINGSSTORE_H
#define SETTINGSSTORE_H

#include "flags/flaglimits.h"

#include <QString>

class QSettings;

// What the settings window shows and what Apply hands back: the directories of the log and flag
// files (an empty stored value means the standard folder of its kind), whether each is
// written, the link's bit rate, whether the links reconnect after a rate change, and the limits
// on the flag rates, and where the results of the runs go (the value of "resultsDatabase"; empty:
// the SQLite file in the application data folder).
struct SettingsValues {
    QString logFileDirectory;
    bool storeLogFile = false;
    QString flagFileDirectory;
    bool storeFlagFile = false;
    int baudRate = 128000;
    bool reconnect = true;
    FlagLimits limits;
    QString resultsDatabase;
    bool reportAtRunEnd = false; // a run's report PDF is written when it ends
};

// What a window must do after an Apply that changed `shown` into `chosen`.
struct SettingsChange {
    bool closesLogFile = false;  // its directory changed or it was switched off
    bool closesFlagFile = false; // likewise
    bool resetsBaudRate = false;
    bool reopensResults = false; // the results go to another database
};

// The one place where the settings window's keys are read and written. Keys missing from the
// store are filled in as they are read: the two switches with false. A directory that is not set
// reads as the standard folder of its kind, and stays unset in the store.
class SettingsStore {
public:
    static constexpr int DefaultBaudRate = 128000;

    // The file settings, the link's rate (a value that is not a decimal number above 0 counts as
    // 128000; nothing is written for it) and the limits. `reconnect` stays true: the choice is
    // read by readReconnect() when the settings window opens.
    static SettingsValues load(QSettings& store);
    // load() with the reconnect choice, which is written as true when missing or true.
    static SettingsValues loadForWindow(QSettings& store);
    // Where the files go when no directory is set: "Logs" and "Flags" in a "DK-61 PC-Tool" folder
    // of the user's documents (empty where the system names no documents folder).
    static QString standardLogDirectory();
    static QString standardFlagDirectory();
    static QString standardReportDirectory();
    // Writes every value that `chosen` changes from `shown` (and nothing else).
    static SettingsChange save(QSettings& store, const SettingsValues& shown,
                               const SettingsValues& chosen);
};

#endif // SETTINGSSTORE_H
