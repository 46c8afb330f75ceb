#include "settings/settingsstore.h"

#include "settings/programfolders.h"
#include "shell/logging.h"

#include <QSettings>

namespace {

const char* const LogDirectoryKey = "logFileDirectory";
const char* const StoreLogKey = "storeLogFile";
const char* const FlagDirectoryKey = "flagFileDirectory";
const char* const StoreFlagKey = "storeFlagFile_csv";
const char* const BaudRateKey = "Baudrate";
const char* const ReconnectKey = "ReconnectAfterBaudChange";
const char* const ResultsDatabaseKey = "resultsDatabase";
const char* const ReportAtRunEndKey = "reportAtRunEnd";

// A directory key: `standard` when the key is missing or blank. A missing key stays missing, so
// that no directory counts as set until the operator sets one.
QString readDirectory(QSettings& store, const char* key, const QString& standard) {
    const QString configured = store.value(key).toString();
    qCDebug(dk61Settings) << key << configured;
    return configured.trimmed().isEmpty() ? standard : configured;
}

// A switch: false when the key is missing (and then written).
bool readSwitch(QSettings& store, const char* key) {
    if (!store.contains(key))
        store.setValue(key, false);
    return store.value(key).toBool();
}

} // namespace

QString SettingsStore::standardLogDirectory() {
    return ProgramFolders::standard(QStringLiteral("Logs"));
}

QString SettingsStore::standardFlagDirectory() {
    return ProgramFolders::standard(QStringLiteral("Flags"));
}

QString SettingsStore::standardReportDirectory() {
    return ProgramFolders::standard(QStringLiteral("Reports"));
}

namespace {

int readBaudRate(const QSettings& store) {
    bool ok = false;
    const int baud = store.value(BaudRateKey).toString().toInt(&ok, 10);
    // A rate of zero or below cannot open a port; it counts as not a rate at all.
    const int rate = ok && baud > 0 ? baud : SettingsStore::DefaultBaudRate;
    qCDebug(dk61Settings) << "Contains Baudrate:" << rate;
    return rate;
}

// Writes `chosen` under `key` where it differs from `shown`; true when it did.
template <typename T>
bool write(QSettings& store, const char* key, const T& shown, const T& chosen) {
    if (shown == chosen)
        return false;
    store.setValue(key, chosen);
    return true;
}

// A file's directory and switch; true when the file must close (it moves or is switched off).
bool writeFile(QSettings& store, const char* directoryKey, const char* switchKey,
               const QString& shownDirectory, const QString& chosenDirectory, bool shownOn,
               bool chosenOn) {
    const bool moved = write(store, directoryKey, shownDirectory, chosenDirectory);
    const bool switched = write(store, switchKey, shownOn, chosenOn);
    return moved || (switched && !chosenOn);
}

} // namespace

SettingsValues SettingsStore::load(QSettings& store) {
    SettingsValues values;
    values.logFileDirectory = readDirectory(store, LogDirectoryKey, standardLogDirectory());
    values.storeLogFile = readSwitch(store, StoreLogKey);
    values.flagFileDirectory = readDirectory(store, FlagDirectoryKey, standardFlagDirectory());
    values.storeFlagFile = readSwitch(store, StoreFlagKey);
    values.baudRate = readBaudRate(store);
    values.limits = FlagLimits::load(store);
    values.resultsDatabase = store.value(ResultsDatabaseKey).toString().trimmed();
    values.reportAtRunEnd = store.value(ReportAtRunEndKey, false).toBool();
    return values;
}

SettingsValues SettingsStore::loadForWindow(QSettings& store) {
    SettingsValues values = load(store);
    values.reconnect = store.value(ReconnectKey, true).toBool();
    if (values.reconnect)
        store.setValue(ReconnectKey, true);
    qCDebug(dk61Settings) << "Contains ReconnectAfterBaudChange" << values.reconnect;
    return values;
}

SettingsChange SettingsStore::save(QSettings& store, const SettingsValues& shown,
                                   const SettingsValues& chosen) {
    SettingsChange change;
    change.closesLogFile =
        writeFile(store, LogDirectoryKey, StoreLogKey, shown.logFileDirectory,
                  chosen.logFileDirectory, shown.storeLogFile, chosen.storeLogFile);
    change.closesFlagFile =
        writeFile(store, FlagDirectoryKey, StoreFlagKey, shown.flagFileDirectory,
                  chosen.flagFileDirectory, shown.storeFlagFile, chosen.storeFlagFile);
    write(store, ReconnectKey, shown.reconnect, chosen.reconnect);
    // The rate is stored as decimal text.
    change.resetsBaudRate = write(store, BaudRateKey, QString::number(shown.baudRate),
                                  QString::number(chosen.baudRate));
    if (chosen.limits.percent != shown.limits.percent)
        chosen.limits.save(store);
    change.reopensResults =
        write(store, ResultsDatabaseKey, shown.resultsDatabase, chosen.resultsDatabase);
    write(store, ReportAtRunEndKey, shown.reportAtRunEnd, chosen.reportAtRunEnd);
    return change;
}
