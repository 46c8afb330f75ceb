#include "sessionfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>

namespace {

// Where a file goes when its directory cannot take it: the user's documents.
QString fallbackDirectory() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QString()
                               : documents + QLatin1Char('/') + QCoreApplication::applicationName();
}

} // namespace

SessionFiles::SessionFiles(Reporter reporter) : reporter(std::move(reporter)) {
    for (LogFile* file : {&logFile, &flagFile})
        file->setFaultHandler([this, file](const QString& name, const QString& error) {
            report(*file, name, error);
        });
}

bool SessionFiles::openLog() {
    return open(logFile, settings.storeLogFile, settings.logFileDirectory);
}

bool SessionFiles::openFlags() {
    return open(flagFile, settings.storeFlagFile, settings.flagFileDirectory);
}

bool SessionFiles::open(LogFile& file, bool wanted, const QString& directory) {
    if (!wanted || file.isOpen() ||
        !file.open(LogFile::candidates(directory, QCoreApplication::applicationDirPath(),
                                       fallbackDirectory()),
                   QDateTime::currentDateTime()))
        return false;
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
