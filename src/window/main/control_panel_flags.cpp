// The main window's flag monitor: the flags page (FlagsPage) and the run around its plot
// (RunPanel), which the window gives its menu actions, status bar, files and clock.
#include "cd_board.h"
#include "flags/cflags.h"
#include "flags/flagspage.h"
#include "flags/resultspage.h"
#include "flags/runpanel.h"
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

} // namespace

void Control_Panel::wireFlagMonitor() {
    RunPanel::Parts parts;
    parts.window = this;
    parts.statusBar = statusBar();
    parts.openFlagFile = ui->actionOpenFlagFile;
    parts.savePng = ui->actionSavePlotPng;
    parts.savePdf = ui->actionSavePlotPdf;
    parts.exportCsv = ui->actionExportRunCsv;
    parts.exportReport = ui->actionExportReport;
    parts.elapsedMs = [this] { return sessionClock.elapsed(); };
    parts.logLine = [this](const QString& line) { writeLogLines({line}); };
    parts.reportedInterval = [this] {
        const FlagBoardState& flags = board->state.flags;
        return flags.flag_data_seen ? flags.flag_sub_status : 0;
    };
    parts.flagDirectory = [this] { return QDir(currentSettings.flagFileDirectory).absolutePath(); };
    parts.nextFlagFile = [this] {
        files.closeFlags();
        return files.openFlags() ? files.flags().absolutePath() : QString();
    };
    parts.closeFlagFile = [this] { files.closeFlags(); };
    parts.reportAtEnd = [this] { return currentSettings.reportAtRunEnd; };
    parts.reportFolders = [] { return SessionFiles::reportFolders(); };
    runPanel = flagsPage->makeRun(parts);
    runPanel->setLimits(currentSettings.limits);
    wireResults();
    runPanel->startRun(files.flags().isOpen() ? files.flags().absolutePath() : QString());
    connect(board, &CD_Board::disconnected_from_serial_port, this, [this] {
        flagLinkDown(board->link.linkLost    ? board->link.errorString()
                     : board->userDisconnect ? QStringLiteral("closed by the operator")
                                             : QStringLiteral("closed"));
    });
    // The DK-61 names itself with its firmware version and its production record.
    connect(board, &CD_Board::retrievedProductionCode, runPanel, [this] {
        const BoardState& s = board->state;
        const EepromParameters& record = s.eeprom.image;
        if (s.link.has_FW_Version && s.eeprom.production_read)
            runPanel->boardIdentified(UnitIdentity::board(s.link.fw_version, record.serial_number,
                                                          record.customer_id, record.production_day,
                                                          record.flashed_by));
    });
}

void Control_Panel::flagLinkOpened() {
    if (runPanel)
        runPanel->linkUp(board->link.portName(), board->link.baudRate());
    const int chosen = flagsPage->chosenInterval();
    if (chosen != 1) {
        qCDebug(dk61Flags) << "flag interval again" << chosen;
        board->sendFlagInterval(chosen);
    }
}

void Control_Panel::flagLinkDown(const QString& reason) {
    if (runPanel)
        runPanel->linkDown(board->link.portName(), reason);
}

void Control_Panel::flagRecordAdded(CFlags* record, bool fromFlagBoard) {
    writeCFlagsToFlagFile_cvs();
    const int setting = board->state.flags.flag_sub_status;
    if (runPanel && runPanel->recordAdded(*record, setting, discPosition(board->state.player)))
        resultsPage->recorded(runPanel->liveSummary(), setting, &runPanel->liveCurve());
    if (fromFlagBoard)
        emit recievedCFlags(record);
    plotCFlags();
}
