// The main window's log and flag files.
#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "logfileformat.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStatusBar>

namespace {

// Both files are only ever appended to: a second creation within the same second (or any file
// of that name already there) keeps what it holds. Unbuffered: every write reaches the file at
// once, and a write the disk refuses is dropped instead of piling up in memory.
const QIODevice::OpenMode AppendText =
    QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered;

// False when the bytes did not all reach the file.
bool writeAll(QFile* file, const QByteArray& bytes) {
    return file->write(bytes) == bytes.size();
}

} // namespace

void Control_Panel::openLogFile() {
    qCDebug(dk61Files) << "LogFile" << logFile;
    if (!storeLogFile)
        return;
    if (logFile && logFileOpen)
        return;
    logFileName = LogFileFormat::fileName(logFileDirectory, QDateTime::currentDateTime());
    qCDebug(dk61Files) << logFileName;
    delete logFile;
    logFile = new QFile(logFileName);
    if (logFile->open(AppendText)) {
        const QString path = QFileInfo(*logFile).absoluteFilePath();
        qCDebug(dk61Files) << "File created successfully" << path;
        ui->labelLogFile->setText("Log File is stored at: " + path);
        logFileOpen = true;
        logFileFaultReported = false;
    } else {
        qCDebug(dk61Files) << "File not created";
        reportFileFault(QStringLiteral("Log file"), logFileName, logFile->errorString());
    }
    qCDebug(dk61Files) << "logfile exists:" << logFile->exists() << logFileName;
}

void Control_Panel::openFlagFile() {
    qCDebug(dk61Files) << "Flag File" << flagFile;
    if (!storeFlagFile_csv)
        return;
    if (flagFile && flagFileOpen)
        return;
    flagFileName = LogFileFormat::fileName(flagFileDirectory, QDateTime::currentDateTime());
    qCDebug(dk61Files) << flagFileName;
    delete flagFile;
    flagFile = new QFile(flagFileName);
    if (flagFile->open(AppendText)) {
        flagFileOpen = true;
        flagFileFaultReported = false;
    } else {
        qCDebug(dk61Files) << "flag file not created";
        reportFileFault(QStringLiteral("Flag file"), flagFileName, flagFile->errorString());
    }
}

void Control_Panel::closeLogFile() {
    qCDebug(dk61Files) << "function closeLogFile()";
    if (!logFileOpen)
        return;
    logFile->close();
    qCDebug(dk61Files) << "Log File Closed";
    logFileOpen = false;
}

void Control_Panel::closeFlagFile() {
    if (!flagFileOpen)
        return;
    flagFile->close();
    flagFileOpen = false;
}

void Control_Panel::writeLogLine(const QString& line) {
    writeLogLines(QStringList{line});
}

void Control_Panel::writeLogLines(const QStringList& lines) {
    if (!logFileOpen || lines.isEmpty())
        return;
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes.append(line.toLatin1());
        bytes.append('\n');
    }
    if (!writeAll(logFile, bytes) && !logFileFaultReported) {
        logFileFaultReported = true;
        reportFileFault(QStringLiteral("Log file"), logFileName, logFile->errorString());
    }
}

void Control_Panel::writeCFlagsToFlagFile_cvs() {
    if (!flagFileOpen || board->flag_records.isEmpty())
        return;
    const CFlags* record = board->flag_records.last();
    if (!record)
        return;
    QByteArray row = LogFileFormat::flagRow(sessionClock.elapsed(), *record).toLatin1();
    row.append('\n');
    if (!writeAll(flagFile, row) && !flagFileFaultReported) {
        flagFileFaultReported = true;
        reportFileFault(QStringLiteral("Flag file"), flagFileName, flagFile->errorString());
    }
}

void Control_Panel::reportFileFault(const QString& what, const QString& fileName,
                                    const QString& error) {
    qCDebug(dk61Files) << what << "cannot be written:" << fileName << error;
    statusBar()->showMessage(
        QStringLiteral("%1 cannot be written: %2 (%3)").arg(what, fileName, error));
}
