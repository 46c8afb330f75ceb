#include "settings/filewarnings.h"

#include "settings/logfile.h"
#include "settings/programfolders.h"
#include "shell/logging.h"

#include <QDir>

FileWarnings::Report FileWarnings::report(const QString& what, const LogFile& file,
                                          const QString& configuredDirectory,
                                          const QString& fileName, const QString& error) {
    Report out;
    QString problem;
    if (!error.isEmpty()) {
        qCDebug(dk61Files) << what << "cannot be written:" << fileName << error;
        problem = QStringLiteral("%1 cannot be written: %2 (%3)")
                      .arg(what, QDir::toNativeSeparators(fileName), error);
        out.message = problem;
    } else if (file.isOpen() && file.directoryIndex() > 0) {
        // A file where the folder (or one above it) belongs is named: the system only says
        // "Not a directory".
        const QString inTheWay = ProgramFolders::fileInTheWay(configuredDirectory);
        const QString reason =
            inTheWay.isEmpty()
                ? file.firstDirectoryError()
                : QStringLiteral("%1 is a file").arg(QDir::toNativeSeparators(inTheWay));
        problem = QStringLiteral("%1: %2 cannot be written (%3); the file is %4")
                      .arg(what, QDir::toNativeSeparators(QDir(configuredDirectory).absolutePath()),
                           reason, QDir::toNativeSeparators(file.absolutePath()));
    }
    if (problem.isEmpty())
        problems.remove(what);
    else
        problems[what] = problem;
    out.text = problems.values().join(QLatin1Char('\n'));
    return out;
}
