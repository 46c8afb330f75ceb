// The main window's log and flag files.
#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "logfileformat.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QDateTime>
#include <QStatusBar>

void Control_Panel::openLogFile() {
    if (!storeLogFile || logFile.isOpen())
        return;
    if (logFile.open(logFileDirectory, QDateTime::currentDateTime()))
        ui->labelLogFile->setText("Log File is stored at: " + logFile.absolutePath());
}

void Control_Panel::openFlagFile() {
    if (storeFlagFile_csv)
        flagFile.open(flagFileDirectory, QDateTime::currentDateTime());
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

void Control_Panel::reportFileFault(const QString& what, const QString& fileName,
                                    const QString& error) {
    qCDebug(dk61Files) << what << "cannot be written:" << fileName << error;
    statusBar()->showMessage(
        QStringLiteral("%1 cannot be written: %2 (%3)").arg(what, fileName, error));
}
