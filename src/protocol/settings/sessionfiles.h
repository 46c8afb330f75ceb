#ifndef SESSIONFILES_H
#define SESSIONFILES_H

#include "settings/filewarnings.h"
#include "settings/logfile.h"
#include "settings/settingsstore.h"

#include <QString>
#include <QStringList>

#include <functional>

class CFlags;

// The session's log file and flag file. Each is created when the settings in force ask for it
// and none is open, in the configured directory, else in the standard folder of its kind in the
// user's documents ("DK-61 PC-Tool/Logs", ".../Flags"), else in the spare folder of its kind
// (ProgramFolders); a file that cannot be written, or went to another folder than the configured
// one, is reported with every problem still standing.
class SessionFiles {
public:
    using Reporter = std::function<void(const FileWarnings::Report&)>;
    explicit SessionFiles(Reporter reporter);

    // The directories and switches in force.
    void setSettings(const SettingsValues& values) { settings = values; }

    // Where to create a file of a kind ("Logs", "Flags", "Reports"), in order: the configured
    // directory, then the standard folder of its kind (made when it is the first), then the
    // spare one.
    static QList<QDir> folders(const QString& configured, const QString& kind);
    // Where the reports of runs go.
    static QList<QDir> reportFolders();

    // Creates the file when it is wanted and none is open; true when one was created now.
    bool openLog();
    bool openFlags();
    void closeLog();
    void closeFlags();

    const LogFile& log() const { return logFile; }
    const LogFile& flags() const { return flagFile; }
    // Each text a line of its own, in one write.
    void writeLogLines(const QStringList& lines) { logFile.appendLines(lines); }
    // The row of a record; it waits when `batched` (the records of one read go out in one write,
    // by flushFlagRows()), else it goes out at once with any that wait.
    void writeFlagRow(qint64 elapsedMs, const CFlags& record, bool batched = false);
    void flushFlagRows();

private:
    // `kind`: the kind of program folder ("Logs", "Flags") that stands in for the directory.
    bool open(LogFile& file, bool wanted, const QString& directory, const QString& kind);
    // An empty error: the file works.
    void report(const LogFile& file, const QString& fileName, const QString& error);

    LogFile logFile;
    LogFile flagFile;
    QByteArray flagRows; // rows of the running read, not written yet
    FileWarnings warnings;
    SettingsValues settings;
    Reporter reporter;
};

#endif // SESSIONFILES_H
