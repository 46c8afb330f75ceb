// The main window's flag page: the flag plot and the interval command, and the run around them.
#include "cd_board.h"
#include "flags/cflags.h"
#include "flags/flagplot.h"
#include "flags/resultspage.h"
#include "flags/runpanel.h"
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
    RunPanel::Parts parts;
    parts.window = this;
    parts.statusBar = statusBar();
    parts.livePlot = ui->customPlot;
    parts.runPlot = ui->customPlotRun;
    parts.summary = ui->frameRunSummary;
    parts.fileWarning = ui->labelFileWarning;
    parts.spdifMessage = ui->status_description_spdif_label;
    parts.totals = {ui->labelTotalC1, ui->labelTotalC1U, ui->labelTotalC2, ui->labelTotalC2U,
                    ui->labelTotalInterp};
    parts.maxima = {ui->labelMaxC1, ui->labelMaxC1U, ui->labelMaxC2, ui->labelMaxC2U,
                    ui->labelMaxInterp};
    parts.averages = {ui->labelAvgC1, ui->labelAvgC1U, ui->labelAvgC2, ui->labelAvgC2U,
                      ui->labelAvgInterp};
    parts.overLimit = {ui->labelOverC1, ui->labelOverC1U, ui->labelOverC2, ui->labelOverC2U,
                       ui->labelOverInterp};
    parts.length = ui->labelRunLength;
    parts.records = ui->labelRunRecords;
    parts.troubled = ui->labelRunTroubled;
    parts.verdict = ui->labelRunVerdict;
    parts.standard = ui->labelRunStandard;
    parts.bler = ui->labelRunBler;
    parts.e32 = ui->labelRunE32;
    parts.unit = ui->labelRunUnit;
    parts.nextUnit = ui->labelNextUnit;
    parts.unitId = ui->lineEditUnitId;
    parts.clearUnitId = ui->checkBoxClearUnitId;
    parts.source = ui->labelRunSource;
    parts.newRun = ui->buttonNewRun;
    parts.startRun = ui->buttonStartRun;
    parts.endRun = ui->buttonEndRun;
    parts.backToLive = ui->buttonBackToLive;
    parts.pauseLive = ui->buttonPauseLive;
    parts.wholeRun = ui->buttonWholeRun;
    parts.openFlagFile = ui->actionOpenFlagFile;
    parts.savePng = ui->actionSavePlotPng;
    parts.savePdf = ui->actionSavePlotPdf;
    parts.exportCsv = ui->actionExportRunCsv;
    parts.exportReport = ui->actionExportReport;
    parts.curves = flagCurveBoxes(*ui);
    parts.interval = ui->comboCFLAGInterval;
    parts.elapsedMs = [this] { return sessionClock.elapsed(); };
    parts.logLine = [this](const QString& line) { writeLogLines({line}); };
    parts.redrawLive = [this] { plotCFlags(); };
    parts.reportedInterval = [this] {
        const FlagBoardState& flags = board->state().flags;
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
    runPanel = new RunPanel(parts, this);
    // The run's summary lies in the band the plots keep free below their curves; the link and
    // file messages lie over the curves' top left corner (the legend is at the top right).
    for (QWidget* top : std::initializer_list<QWidget*>{ui->frameRunSummary, ui->labelFileWarning,
                                                        ui->status_description_spdif_label})
        Overlay::mark(top, {ui->customPlot, ui->customPlotRun});
    runPanel->setScale(flagPlot->scale());
    connect(flagPlot, &FlagPlot::scaleChanged, runPanel, &RunPanel::setScale);
    runPanel->setLimits(currentSettings.limits);
    wireResults();
    runPanel->startRun(files.flags().isOpen() ? files.flags().absolutePath() : QString());
    connect(board, &CD_Board::disconnected_from_serial_port, this, [this] {
        flagLinkDown(board->link().isLost()               ? board->link().errorString()
                     : board->state().link.userDisconnect ? QStringLiteral("closed by the operator")
                                                          : QStringLiteral("closed"));
    });
    connect(ui->comboCFLAGInterval, QOverload<int>::of(&QComboBox::activated), runPanel,
            &RunPanel::showInterval);
    // The DK-61 names itself with its firmware version and its production record.
    connect(board, &CD_Board::retrievedProductionCode, runPanel, [this] {
        const BoardState& s = board->state();
        const EepromParameters& record = s.eeprom.image;
        if (s.link.has_FW_Version && s.eeprom.production_read)
            runPanel->boardIdentified(UnitIdentity::board(s.link.fw_version, record.serial_number,
                                                          record.customer_id, record.production_day,
                                                          record.flashed_by));
    });
}

void Control_Panel::flagLinkOpened() {
    if (runPanel)
        runPanel->linkUp(board->link().portName(), board->link().baudRate());
    const int chosen = ui->comboCFLAGInterval->currentIndex() + 1;
    if (chosen != 1) {
        qCDebug(dk61Flags) << "flag interval again" << chosen;
        board->sendFlagInterval(chosen);
    }
}

void Control_Panel::flagLinkDown(const QString& reason) {
    if (runPanel)
        runPanel->linkDown(board->link().portName(), reason);
}

void Control_Panel::plotCFlags() {
    flagPlot->plot(board->flagRecords(), board->state().flags.flag_sub_status,
                   runPanel && runPanel->livePaused());
}

void Control_Panel::flagRecordAdded(CFlags* record, bool fromFlagBoard) {
    writeCFlagsToFlagFile_cvs();
    const int setting = board->state().flags.flag_sub_status;
    if (runPanel && runPanel->recordAdded(*record, setting, discPosition(board->state().player)))
        resultsPage->recorded(runPanel->liveSummary(), setting, &runPanel->liveCurve());
    if (fromFlagBoard)
        emit recievedCFlags(record);
    plotCFlags();
}

void Control_Panel::send_flagrate_setting(int selection) {
    qCDebug(dk61Flags) << "flag interval" << selection + 1;
    board->sendFlagInterval(selection + 1);
    flagPlot->restart(board->flagRecords());
    runPanel->intervalChosen(selection + 1);
}

void Control_Panel::rescalePlotXAxis() {
    flagPlot->restart(board->flagRecords());
}
