// The main window's flag page: the flag plot and the interval command, and the run around them.
#include "cd_board.h"
#include "flags/cflags.h"
#include "flags/flagplot.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "main/overlay.h"
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

// The flag page's check boxes, one a curve.
std::array<QCheckBox*, 5> flagCurveBoxes(const Ui::Control_Panel& ui) {
    return {ui.checkBoxC1, ui.checkBoxC1U, ui.checkBoxC2, ui.checkBoxC2U, ui.checkBoxInterpol};
}

} // namespace

void Control_Panel::wireFlags() {
    connect(ui->verticalSliderFlagsGraph, &QSlider::valueChanged, this,
            &Control_Panel::rescalePlotYAxis);
    connect(ui->horizontalSliderFlagsGraph, &QSlider::valueChanged, this,
            &Control_Panel::rescalePlotXAxis);
    connect(ui->comboCFLAGInterval, QOverload<int>::of(&QComboBox::activated), this,
            &Control_Panel::send_flagrate_setting);
    flagPlot = new FlagPlot({ui->customPlot, ui->horizontalSliderFlagsGraph,
                             ui->verticalSliderFlagsGraph, flagCurveBoxes(*ui), settings},
                            this);
    // The width slider says what it sets.
    QLabel* window = ui->labelPlotWindow;
    auto showWindow = [window](int seconds) {
        window->setText(QStringLiteral("Window: %1 s").arg(seconds));
    };
    showWindow(ui->horizontalSliderFlagsGraph->value());
    connect(ui->horizontalSliderFlagsGraph, &QSlider::valueChanged, window, showWindow);
    // A new unit or scale: the curves are drawn again from the records.
    connect(flagPlot, &FlagPlot::scaleChanged, this, &Control_Panel::plotCFlags);
}

void Control_Panel::wireFlagMonitor() {
    runSession = new RunSession([this] { return sessionClock.elapsed(); }, this);
    runSession->nextFlagFile = [this] {
        files.closeFlags();
        return files.openFlags() ? files.flags().absolutePath() : QString();
    };
    runSession->closeFlagFile = [this] { files.closeFlags(); };
    connect(runSession, &RunSession::logLine, this,
            [this](const QString& line) { writeLogLines({line}); });
    runFiles =
        new RunFiles(*runSession, this, statusBar(), ui->customPlot, ui->customPlotRun, this);
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

    RunPanel::Widgets widgets;
    widgets.livePlot = ui->customPlot;
    widgets.runPlot = ui->customPlotRun;
    widgets.summary = ui->frameRunSummary;
    widgets.fileWarning = ui->labelFileWarning;
    widgets.spdifMessage = ui->status_description_spdif_label;
    widgets.totals = {ui->labelTotalC1, ui->labelTotalC1U, ui->labelTotalC2, ui->labelTotalC2U,
                      ui->labelTotalInterp};
    widgets.maxima = {ui->labelMaxC1, ui->labelMaxC1U, ui->labelMaxC2, ui->labelMaxC2U,
                      ui->labelMaxInterp};
    widgets.averages = {ui->labelAvgC1, ui->labelAvgC1U, ui->labelAvgC2, ui->labelAvgC2U,
                        ui->labelAvgInterp};
    widgets.overLimit = {ui->labelOverC1, ui->labelOverC1U, ui->labelOverC2, ui->labelOverC2U,
                         ui->labelOverInterp};
    widgets.length = ui->labelRunLength;
    widgets.records = ui->labelRunRecords;
    widgets.troubled = ui->labelRunTroubled;
    widgets.verdict = ui->labelRunVerdict;
    widgets.standard = ui->labelRunStandard;
    widgets.bler = ui->labelRunBler;
    widgets.e32 = ui->labelRunE32;
    widgets.unit = ui->labelRunUnit;
    widgets.nextUnit = ui->labelNextUnit;
    widgets.unitId = ui->lineEditUnitId;
    widgets.clearUnitId = ui->checkBoxClearUnitId;
    widgets.source = ui->labelRunSource;
    widgets.newRun = ui->buttonNewRun;
    widgets.startRun = ui->buttonStartRun;
    widgets.endRun = ui->buttonEndRun;
    widgets.backToLive = ui->buttonBackToLive;
    widgets.pauseLive = ui->buttonPauseLive;
    widgets.wholeRun = ui->buttonWholeRun;
    widgets.curves = flagCurveBoxes(*ui);
    widgets.interval = ui->comboCFLAGInterval;
    runPanel = new RunPanel(
        *runSession, widgets, statusBar(),
        [this] {
            const FlagBoardState& flags = board->state().flags;
            return flags.flag_data_seen ? flags.flag_sub_status : 0;
        },
        this);
    connect(runPanel, &RunPanel::liveResumed, this, &Control_Panel::plotCFlags);
    // The run's summary lies in the band the plots keep free below their curves; the link and
    // file messages lie over the curves' top left corner (the legend is at the top right).
    for (QWidget* top : std::initializer_list<QWidget*>{ui->frameRunSummary, ui->labelFileWarning,
                                                        ui->status_description_spdif_label})
        Overlay::mark(top, {ui->customPlot, ui->customPlotRun});
    runPanel->setScale(flagPlot->scale());
    runFiles->setScale(flagPlot->scale());
    connect(flagPlot, &FlagPlot::scaleChanged, runPanel, &RunPanel::setScale);
    connect(flagPlot, &FlagPlot::scaleChanged, runFiles, &RunFiles::setScale);
    runSession->setLimits(currentSettings.limits);
    wireResults();
    runSession->startRun(files.flags().isOpen() ? files.flags().absolutePath() : QString());
    connect(board, &CD_Board::disconnected_from_serial_port, this, [this] {
        flagLinkDown(board->link().isLost()               ? board->link().errorString()
                     : board->state().link.userDisconnect ? QStringLiteral("closed by the operator")
                                                          : QStringLiteral("closed"));
    });
    // The DK-61 names itself with its firmware version and its production record.
    connect(board, &CD_Board::retrievedProductionCode, runSession, [this] {
        const BoardState& s = board->state();
        const EepromParameters& record = s.eeprom.image;
        if (s.link.has_FW_Version && s.eeprom.production_read)
            runSession->boardIdentified(
                UnitIdentity::board(s.link.fw_version, record.serial_number, record.customer_id,
                                    record.production_day, record.flashed_by));
    });
}

void Control_Panel::flagLinkOpened() {
    if (runSession) {
        runSession->linkUp(board->link().portName(), board->link().baudRate());
        runPanel->showInterval();
    }
    const int chosen = ui->comboCFLAGInterval->currentIndex() + 1;
    if (chosen != 1) {
        qCDebug(dk61Flags) << "flag interval again" << chosen;
        board->sendFlagInterval(chosen);
    }
}

void Control_Panel::flagLinkDown(const QString& reason) {
    if (runSession) {
        runSession->linkDown(board->link().portName(), reason);
        runPanel->showInterval();
    }
}

void Control_Panel::plotCFlags() {
    flagPlot->plot(board->flagRecords(), board->state().flags.flag_sub_status,
                   runPanel && runPanel->livePaused());
}

void Control_Panel::flagRecordAdded(CFlags* record, bool fromFlagBoard) {
    writeCFlagsToFlagFile_cvs();
    const int setting = board->state().flags.flag_sub_status;
    if (runPanel)
        runPanel->showInterval();
    if (runSession &&
        runSession->recordAdded(counts(*record), setting, discPosition(board->state().player)))
        resultsPage->recorded(runSession->live().summary, setting, &runSession->live().series);
    if (fromFlagBoard)
        emit recievedCFlags(record);
    plotCFlags();
}

void Control_Panel::send_flagrate_setting(int selection) {
    qCDebug(dk61Flags) << "flag interval" << selection + 1;
    board->sendFlagInterval(selection + 1);
    flagPlot->restart(board->flagRecords());
    runSession->intervalChosen(selection + 1);
}

void Control_Panel::rescalePlotXAxis() {
    flagPlot->restart(board->flagRecords());
}
