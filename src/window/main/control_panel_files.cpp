// The main window's log and flag files (SessionFiles).
#include "cd_board.h"
#include "console/playpage.h"
#include "flags/cflags.h"
#include "flags/flagmonitor.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "settings/logfileformat.h"
#include "ui_control_panel.h"

#include <QStatusBar>

void Control_Panel::openLogFile() {
    if (files.openLog())
        playPage->showLogFile(files.log().absolutePath());
}

// A new flag file starts a new run; after "End run" the next run's start opens it.
void Control_Panel::openFlagFile() {
    if (flagMonitor && !flagMonitor->session().runGoing())
        return;
    if (files.openFlags() && flagMonitor)
        flagMonitor->flagFileOpened(files.flags().absolutePath());
}

// The rows of the records of one read go out together at the end of its pass.
void Control_Panel::writeCFlagsToFlagFile_cvs() {
    const QList<CFlags*>& records = board->flagRecords();
    if (!records.isEmpty() && records.last())
        files.writeFlagRow(sessionClock.elapsed(), *records.last(),
                           board->link(CD_Board::Link::Board).inPass() ||
                               board->link(CD_Board::Link::Other).inPass());
}

// A file that cannot be written is told on the flag page (and in the status bar's message area)
// until it works again; a file that went to the fallback directory says so as long as it is
// there.
void Control_Panel::showFileWarning(const FileWarnings::Report& report) {
    if (!report.message.isEmpty())
        statusBar()->showMessage(report.message);
    pages->flags().showFileWarning(report.text);
}
