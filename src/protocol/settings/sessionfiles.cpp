#include "settings/sessionfiles.h"

#include "settings/logfileformat.h"
#include "settings/programfolders.h"

#include <QCoreApplication>
#include <QDateTime>

SessionFiles::SessionFiles(Reporter reporter) : reporter(std::move(reporter)) {
    for (LogFile* file : {&logFile, &flagFile})
        file->setFaultHandler([this, file](const QString& name, const QString& error) {
            report(*file, name, error);
        });
}

bool SessionFiles::openLog() {
    return open(logFile, settings.storeLogFile, settings.logFileDirectory, QStringLiteral("Logs"));
}

bool SessionFiles::openFlags() {
    return open(flagFile, settings.storeFlagFile, settings.flagFileDirectory,
                QStringLiteral("Flags"));
}

void SessionFiles::closeLog() {
    logFile.close();
    ProgramFolders::setInUse(QStringLiteral("Logs"), {});
}

void SessionFiles::closeFlags() {
    flushFlagRows();
    flagFile.close();
    ProgramFolders::setInUse(QStringLiteral("Flags"), {});
}

void SessionFiles::writeFlagRow(qint64 elapsedMs, const CFlags& record, bool batched) {
    if (!flagFile.isOpen())
        return;
    LogFileFormat::appendFlagRow(flagRows, elapsedMs, record);
    if (!batched)
        flushFlagRows();
}

void SessionFiles::flushFlagRows() {
    if (flagRows.isEmpty())
        return;
    flagFile.append(flagRows);
    flagRows.truncate(0);
}

QList<QDir> SessionFiles::folders(const QString& configured, const QString& kind) {
    // The standard folder is made when it is needed; a directory the operator set is taken as
    // it is (the standard folder stands in when it cannot be written, and the spare one when a
    // file stands where the standard one belongs).
    const QString standard = ProgramFolders::standard(kind);
    const QList<QDir> directories =
        LogFile::candidates(configured, QCoreApplication::applicationDirPath(),
                            {standard, ProgramFolders::spare(kind)});
    if (!standard.isEmpty() && directories.first().absolutePath() == QDir(standard).absolutePath())
        QDir().mkpath(standard);
    return directories;
}

QList<QDir> SessionFiles::reportFolders() {
    // No setting names it: the standard folder, never the program's own.
    return folders(ProgramFolders::standard(QStringLiteral("Reports")), QStringLiteral("Reports"));
}

bool SessionFiles::open(LogFile& file, bool wanted, const QString& directory, const QString& kind) {
    if (!wanted || file.isOpen())
        return false;
    if (!file.open(folders(directory, kind), QDateTime::currentDateTime()))
        return false;
    ProgramFolders::setInUse(kind, {file.absolutePath()});
    report(file, file.fileName(), QString());
    return true;
}

void SessionFiles::report(const LogFile& file, const QString& fileName, const QString& error) {
    const bool log = &file == &logFile;
    const FileWarnings::Report r = warnings.report(
        log ? QStringLiteral("Log file") : QStringLiteral("Flag file"), file,
        log ? settings.logFileDirectory : settings.flagFileDirectory, fileName, error);
    if (reporter)
        reporter(r);
}
