// The main window's flag monitor (FlagMonitor): the run around the flags page's plot, which the
// window gives its menu actions, status bar, files and clock.
#include "cd_board.h"
#include "flags/flagmonitor.h"
#include "flags/runfiles.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::wireFlagMonitor() {
    FlagMonitor::Hooks hooks;
    hooks.elapsedMs = [this] { return sessionClock.elapsed(); };
    hooks.writeLog = [this](const QStringList& lines) { writeLogLines(lines); };
    hooks.showPage = [this] { ui->tabWidget->setCurrentWidget(&pages->flags()); };
    flagMonitor = std::make_unique<FlagMonitor>(*board, pages->flags(), files, currentSettings,
                                                this, statusBar(), hooks);
    resultsPage = &flagMonitor->results();
    RunFiles* runFiles = &flagMonitor->files();
    connect(ui->actionOpenFlagFile, &QAction::triggered, runFiles, &RunFiles::openRunChosen);
    connect(ui->actionSavePlotPng, &QAction::triggered, runFiles, &RunFiles::savePngChosen);
    connect(ui->actionSavePlotPdf, &QAction::triggered, runFiles, &RunFiles::savePdfChosen);
    connect(ui->actionExportRunCsv, &QAction::triggered, runFiles, &RunFiles::exportCsvChosen);
    connect(ui->actionExportReport, &QAction::triggered, runFiles, &RunFiles::exportReportChosen);
    wireResults();
}

void Control_Panel::flagRecordAdded(CFlags* record, bool fromFlagBoard) {
    writeCFlagsToFlagFile_cvs();
    if (flagMonitor)
        flagMonitor->recordAdded(*record);
    if (fromFlagBoard)
        emit recievedCFlags(record);
    plotCFlags();
}
