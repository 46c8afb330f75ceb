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

// Creates a new file when it is wanted and none is open; true when one was created now.
bool openIfWanted(LogFile& file, bool wanted, const QString& directory) {
    return wanted && !file.isOpen() &&
           file.open(LogFile::candidates(directory, QCoreApplication::applicationDirPath(),
                                         fallbackDirectory()),
                     QDateTime::currentDateTime());
}

} // namespace

void Control_Panel::openLogFile() {
    if (!openIfWanted(logFile, currentSettings.storeLogFile, currentSettings.logFileDirectory))
        return;
    ui->labelLogFile->setText("Log File is stored at: " + logFile.absolutePath());
    reportFileFault(QStringLiteral("Log file"), logFile.fileName(), QString());
}

// A new flag file starts a new run.
void Control_Panel::openFlagFile() {
    if (!openIfWanted(flagFile, currentSettings.storeFlagFile, currentSettings.flagFileDirectory))
        return;
    reportFileFault(QStringLiteral("Flag file"), flagFile.fileName(), QString());
    if (runPanel)
        runPanel->startRun(flagFile.absolutePath());
}

void Control_Panel::closeLogFile() {
    qCDebug(dk61Files) << "function closeLogFile()";
    logFile.close();
}

void Control_Panel::closeFlagFile() {
    flagFile.close();
}

void Control_Panel::writeLogLines(const QStringList& lines) {
    logFile.appendLines(lines);
}

void Control_Panel::writeCFlagsToFlagFile_cvs() {
    if (!board->flag_records.isEmpty() && board->flag_records.last())
        flagFile.appendLines(
            {LogFileFormat::flagRow(sessionClock.elapsed(), *board->flag_records.last())});
}

// A file that cannot be written is told on the flag page (and in the status bar's message area)
// until it works again; a file that went to the fallback directory says so as long as it is
// there. An empty error: the file works.
void Control_Panel::reportFileFault(const QString& what, const QString& fileName,
                                    const QString& error) {
    const bool log = what == QLatin1String("Log file");
    showFileWarning(fileWarnings.report(what, log ? logFile : flagFile,
                                        log ? currentSettings.logFileDirectory
                                            : currentSettings.flagFileDirectory,
                                        fileName, error));
}

void Control_Panel::showFileWarning(const FileWarnings::Report& report) {
    if (!report.message.isEmpty())
        statusBar()->showMessage(report.message);
    ui->labelFileWarning->setText(report.text);
    ui->labelFileWarning->setAccessibleName(report.text);
    ui->labelFileWarning->setVisible(!report.text.isEmpty());
}
