// The main window's log and flag files.
#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "logfileformat.h"
#include "logging.h"
#include "runpanel.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStandardPaths>
#include <QStatusBar>

namespace {

// Where a file goes when its directory cannot take it: the user's documents.
QString fallbackDirectory() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QString()
                               : documents + QLatin1Char('/') + QCoreApplication::applicationName();
}

QList<QDir> directoriesFor(const QDir& configured) {
    return LogFile::candidates(configured.path(), QCoreApplication::applicationDirPath(),
                               fallbackDirectory());
}

} // namespace

void Control_Panel::openLogFile() {
    if (!storeLogFile || logFile.isOpen())
        return;
    if (logFile.open(directoriesFor(logFileDirectory), QDateTime::currentDateTime())) {
        ui->labelLogFile->setText("Log File is stored at: " + logFile.absolutePath());
        reportFileFault(QStringLiteral("Log file"), logFile.fileName(), QString());
    }
}

void Control_Panel::openFlagFile() {
    if (!storeFlagFile_csv || flagFile.isOpen())
        return;
    if (flagFile.open(directoriesFor(flagFileDirectory), QDateTime::currentDateTime())) {
        reportFileFault(QStringLiteral("Flag file"), flagFile.fileName(), QString());
        if (runPanel)
            runPanel->startRun(flagFile.absolutePath());
    }
}

void Control_Panel::closeLogFile() {
    qCDebug(dk61Files) << "function closeLogFile()";
    logFile.close();
}

void Control_Panel::closeFlagFile() {
    flagFile.close();
}

void Control_Panel::writeLogLines(const QStringList& lines) {
    if (!logFile.isOpen() || lines.isEmpty())
        return;
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes.append(line.toLatin1());
        bytes.append('\n');
    }
    logFile.append(bytes);
}

void Control_Panel::writeCFlagsToFlagFile_cvs() {
    if (!flagFile.isOpen() || board->flag_records.isEmpty())
        return;
    const CFlags* record = board->flag_records.last();
    if (!record)
        return;
    QByteArray row = LogFileFormat::flagRow(sessionClock.elapsed(), *record).toLatin1();
    row.append('\n');
    flagFile.append(row);
}

// A file that cannot be written is told on the flag page (and in the status bar's message area)
// until it works again; a file that went to the fallback directory says so as long as it is
// there. An empty error: the file works.
void Control_Panel::reportFileFault(const QString& what, const QString& fileName,
                                    const QString& error) {
    const LogFile& file = what == QLatin1String("Log file") ? logFile : flagFile;
    QString problem;
    if (!error.isEmpty()) {
        qCDebug(dk61Files) << what << "cannot be written:" << fileName << error;
        problem = QStringLiteral("%1 cannot be written: %2 (%3)")
                      .arg(what, QDir::toNativeSeparators(fileName), error);
        statusBar()->showMessage(problem);
    } else if (file.isOpen() && file.directoryIndex() > 0) {
        const QDir& configured = &file == &logFile ? logFileDirectory : flagFileDirectory;
        problem =
            QStringLiteral("%1: %2 cannot be written (%3); the file is %4")
                .arg(what, QDir::toNativeSeparators(configured.absolutePath()),
                     file.firstDirectoryError(), QDir::toNativeSeparators(file.absolutePath()));
    }
    if (problem.isEmpty())
        fileProblems.remove(what);
    else
        fileProblems[what] = problem;
    const QString text = fileProblems.values().join(QLatin1Char('\n'));
    ui->labelFileWarning->setText(text);
    ui->labelFileWarning->setAccessibleName(text);
    ui->labelFileWarning->setVisible(!text.isEmpty());
}
