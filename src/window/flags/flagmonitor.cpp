#include "flags/flagmonitor.h"

#include "cd_board.h"
#include "console/trafficline.h"
#include "flags/cflags.h"
#include "flags/flagspage.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "shell/logging.h"

#include <QDir>

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

FlagMonitor::FlagMonitor(CD_Board& board, FlagsPage& page, SessionFiles& files,
                         const SettingsValues& settings, QWidget* window, QStatusBar* statusBar,
                         Hooks hooks)
    : QObject(window), board(board), page(page), sessionFiles(files), hooks(std::move(hooks)) {
    runSession = new RunSession(this->hooks.elapsedMs, this);
    runSession->nextFlagFile = [this] {
        sessionFiles.closeFlags();
        return sessionFiles.openFlags() ? sessionFiles.flags().absolutePath() : QString();
    };
    runSession->closeFlagFile = [this] { sessionFiles.closeFlags(); };
    connect(runSession, &RunSession::logLine, this,
            [this](const QString& line) { this->hooks.writeLog({line}); });
    runFiles = page.makeFiles(*runSession, window, statusBar);
    runFiles->flagDirectory = [&settings] {
        return QDir(settings.flagFileDirectory).absolutePath();
    };
    runFiles->reportAtEnd = [&settings] { return settings.reportAtRunEnd; };
    runFiles->reportFolders = [] { return SessionFiles::reportFolders(); };
    runPanel = page.makeRun(*runSession, statusBar, [&board] {
        const FlagBoardState& flags = board.state().flags;
        return flags.flag_data_seen ? flags.flag_sub_status : 0;
    });
    runSession->setLimits(settings.limits);
    wireResults(settings, window, statusBar);
    runSession->startRun(files.flags().isOpen() ? files.flags().absolutePath() : QString());
    connect(&board, &CD_Board::disconnected_from_serial_port, this, [this] {
        const CD_Board& b = this->board;
        linkDown(b.link().isLost()               ? b.link().errorString()
                 : b.state().link.userDisconnect ? QStringLiteral("closed by the operator")
                                                 : QStringLiteral("closed"));
    });
    // The DK-61 names itself with its firmware version and its production record.
    connect(&board, &CD_Board::retrievedProductionCode, runSession, [this] {
        const BoardState& s = this->board.state();
        const EepromParameters& record = s.eeprom.image;
        if (s.link.has_FW_Version && s.eeprom.production_read)
            runSession->boardIdentified(
                UnitIdentity::board(s.link.fw_version, record.serial_number, record.customer_id,
                                    record.production_day, record.flashed_by));
    });
}

FlagMonitor::~FlagMonitor() {
    runSession->finish();
    resultsPage.reset();
    delete runPanel;
    delete runFiles;
    delete runSession;
}

void FlagMonitor::wireResults(const SettingsValues& settings, QWidget* window,
                              QStatusBar* statusBar) {
    ResultsDialog::Parts parts;
    parts.review = [this](const StoredRun& run) {
        this->hooks.showPage();
        return runFiles->openStored(run);
    };
    parts.report = [this](const StoredRun& run, const QString& path) {
        return runFiles->exportStoredReport(run, path);
    };
    parts.setReference = [this](const StoredRun& run) { runFiles->setReference(run); };
    parts.directory = [&settings] { return QDir(settings.flagFileDirectory).absolutePath(); };
    ResultsPage::Hooks results;
    results.spareFolders = [&settings] {
        return QStringList{settings.logFileDirectory, settings.flagFileDirectory};
    };
    results.logLine = [this](const QString& text) {
        this->hooks.writeLog({QLatin1Char('[') + TrafficLine::stamp(this->hooks.elapsedMs()) +
                              QLatin1Char(']') + text});
    };
    resultsPage = std::make_unique<ResultsPage>(window, statusBar, parts, results);
    resultsPage->open(settings.resultsDatabase);
    connect(runSession, &RunSession::runStarted, this, [this] {
        const RunSession::Run& live = runSession->live();
        RunResult run = RunResult::begin(live.started.toUTC());
        run.takeUnit(live.unit);
        run.flagFile = live.flagFile;
        resultsPage->started(run);
    });
    connect(runSession, &RunSession::runEnded, this, [this] { resultsPage->ended(); });
    // The board named the unit (or the operator typed it), or new limits judged the run again,
    // while the run goes on.
    connect(runSession, &RunSession::runUpdated, this, [this] {
        resultsPage->unitKnown(runSession->live().unit);
        resultsPage->rejudged(runSession->live().summary);
    });
}

void FlagMonitor::flagFileOpened(const QString& path) {
    runSession->startRun(path);
}

void FlagMonitor::linkOpened() {
    runSession->linkUp(board.link().portName(), board.link().baudRate());
    runPanel->showInterval();
    const int chosen = page.chosenInterval();
    if (chosen != 1) {
        qCDebug(dk61Flags) << "flag interval again" << chosen;
        board.sendFlagInterval(chosen);
    }
}

void FlagMonitor::linkDown(const QString& reason) {
    runSession->linkDown(board.link().portName(), reason);
    runPanel->showInterval();
}

void FlagMonitor::recordAdded(const CFlags& record) {
    const int setting = board.state().flags.flag_sub_status;
    runPanel->showInterval();
    if (runSession->recordAdded(counts(record), setting, discPosition(board.state().player)))
        resultsPage->recorded(runSession->live().summary, setting, &runSession->live().series);
}
