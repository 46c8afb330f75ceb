// The main window's flag monitor: the flags page (FlagsPage) and the run around its plot
// (RunPanel), which the window gives its menu actions, status bar, files and clock.
#include "cd_board.h"
#include "flags/cflags.h"
#include "flags/flagspage.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

namespace {

// Where the disc is as the DK-61 last reported it: its track and the time on the disc.
RunSeries::Position discPosition(const PlayerState& player) {
    RunSeries::Position at;
    at.track = player.current_track > 0 ? player.current_track : 0;
    if (player.disc_time.isValid())
        at.discSecond = player.disc_time.msecsSinceStartOfDay() / 1000;
    return at;
}

RunStore::Counts counts(const CFlags& record) {
    return {record.getC1Flags(), record.getC1Uncorrectable(), record.getC2Flags(),
            record.getC2Uncorrectable(), record.getInterpolationFlags()};
}

} // namespace

void Control_Panel::wireFlagMonitor() {
    runSession = new RunSession([this] { return sessionClock.elapsed(); }, this);
    runSession->nextFlagFile = [this] {
        files.closeFlags();
        return files.openFlags() ? files.flags().absolutePath() : QString();
    };
    runSession->closeFlagFile = [this] { files.closeFlags(); };
    connect(runSession, &RunSession::logLine, this,
            [this](const QString& line) { writeLogLines({line}); });
    runFiles = flagsPage->makeFiles(*runSession, this, statusBar());
    runFiles->flagDirectory = [this] {
        return QDir(currentSettings.flagFileDirectory).absolutePath();
    };
    runFiles->reportAtEnd = [this] { return currentSettings.reportAtRunEnd; };
    runFiles->reportFolders = [] { return SessionFiles::reportFolders(); };
    connect(ui->actionOpenFlagFile, &QAction::triggered, runFiles, &RunFiles::openRunChosen);
    connect(ui->actionSavePlotPng, &QAction::triggered, runFiles, &RunFiles::savePngChosen);
    connect(ui->actionSavePlotPdf, &QAction::triggered, runFiles, &RunFiles::savePdfChosen);
    connect(ui->actionExportRunCsv, &QAction::triggered, runFiles, &RunFiles::exportCsvChosen);
    connect(ui->actionExportReport, &QAction::triggered, runFiles, &RunFiles::exportReportChosen);
    runPanel = flagsPage->makeRun(*runSession, statusBar(), [this] {
        const FlagBoardState& flags = board->state.flags;
        return flags.flag_data_seen ? flags.flag_sub_status : 0;
    });
    runSession->setLimits(currentSettings.limits);
    wireResults();
    runSession->startRun(files.flags().isOpen() ? files.flags().absolutePath() : QString());
    connect(board, &CD_Board::disconnected_from_serial_port, this, [this] {
        flagLinkDown(board->link.linkLost    ? board->link.errorString()
                     : board->userDisconnect ? QStringLiteral("closed by the operator")
                                             : QStringLiteral("closed"));
    });
    // The DK-61 names itself with its firmware version and its production record.
    connect(board, &CD_Board::retrievedProductionCode, runSession, [this] {
        const BoardState& s = board->state;
        const EepromParameters& record = s.eeprom.image;
        if (s.link.has_FW_Version && s.eeprom.production_read)
            runSession->boardIdentified(
                UnitIdentity::board(s.link.fw_version, record.serial_number, record.customer_id,
                                    record.production_day, record.flashed_by));
    });
}

void Control_Panel::flagLinkOpened() {
    if (runSession) {
        runSession->linkUp(board->link.portName(), board->link.baudRate());
        runPanel->showInterval();
    }
    const int chosen = flagsPage->chosenInterval();
    if (chosen != 1) {
        qCDebug(dk61Flags) << "flag interval again" << chosen;
        board->sendFlagInterval(chosen);
    }
}

void Control_Panel::flagLinkDown(const QString& reason) {
    if (runSession) {
        runSession->linkDown(board->link.portName(), reason);
        runPanel->showInterval();
    }
}

void Control_Panel::flagRecordAdded(CFlags* record, bool fromFlagBoard) {
    writeCFlagsToFlagFile_cvs();
    const int setting = board->state.flags.flag_sub_status;
    if (runPanel)
        runPanel->showInterval();
    if (runSession &&
        runSession->recordAdded(counts(*record), setting, discPosition(board->state.player)))
        resultsPage->recorded(runSession->live().summary, setting, &runSession->live().series);
    if (fromFlagBoard)
        emit recievedCFlags(record);
    plotCFlags();
}
