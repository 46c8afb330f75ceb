// The main window's flag page: the flag plot and the interval command, and the run around them.
#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "flaglimits.h"
#include "logging.h"
#include "plotredraw.h"
#include "runpanel.h"
#include "ui_control_panel.h"

#include <QSettings>

#include <QVector>

namespace {

// The count drawn by graph k.
quint16 countOf(const CFlags* record, int k) {
    switch (k) {
    case 0:
        return record->getC1Flags();
    case 1:
        return record->getC1Uncorrectable();
    case 2:
        return record->getC2Flags();
    case 3:
        return record->getC2Uncorrectable();
    default:
        return record->getInterpolationFlags();
    }
}

} // namespace

void Control_Panel::wireFlags() {
    connect(ui->verticalSliderFlagsGraph, &QSlider::valueChanged, this,
            &Control_Panel::rescalePlotYAxis);
    connect(ui->horizontalSliderFlagsGraph, &QSlider::valueChanged, this,
            &Control_Panel::rescalePlotXAxis);
    connect(ui->comboCFLAGInterval, QOverload<int>::of(&QComboBox::activated), this,
            &Control_Panel::send_flagrate_setting);
    // Dense curves redraw much faster without anti-aliasing.
    ui->customPlot->setNotAntialiasedElements(QCP::aeAll);
    flagPlotRedraw = new PlotRedraw(ui->customPlot, this);
}

void Control_Panel::wireFlagMonitor() {
    runPanel = new RunPanel(this);
    runPanel->setLimits(FlagLimits::load(*settings));
    connect(board, &CD_Board::disconnected_from_serial_port, this, [this] {
        flagLinkDown(board->link.linkLost    ? board->link.errorString()
                     : board->userDisconnect ? QStringLiteral("closed by the operator")
                                             : QStringLiteral("closed"));
    });
    connect(ui->comboCFLAGInterval, QOverload<int>::of(&QComboBox::activated), runPanel,
            &RunPanel::showInterval);
}

void Control_Panel::flagLinkOpened() {
    if (runPanel)
        runPanel->linkUp();
    const int chosen = ui->comboCFLAGInterval->currentIndex() + 1;
    if (chosen != 1) {
        qCDebug(dk61Flags) << "flag interval again" << chosen;
        board->sendFlagInterval(chosen);
    }
}

void Control_Panel::flagLinkDown(const QString& reason) {
    if (runPanel)
        runPanel->linkDown(reason);
}

void Control_Panel::plotCFlags() {
    QList<CFlags*>& records = board->flag_records;
    if (records.isEmpty())
        return;
    const double interval = FlagPlotWindow::intervalFor(board->state.flags.flag_sub_status);
    const double scale = FlagPlotWindow::scaleFor(interval);
    const double window =
        FlagPlotWindow::windowFor(ui->horizontalSliderFlagsGraph->value(), interval);
    if (FlagPlotWindow::dropsOldest(records.size(), window)) {
        ++flagScrollCount;
        delete records.takeFirst();
    }
    // Paused: the list keeps to its window, the curves keep what they show until the pause ends.
    if (runPanel && runPanel->livePaused()) {
        flagPlotWindow.invalidate();
        return;
    }
    const qint64 count = records.size();
    const FlagPlotWindow::Step step = FlagPlotWindow::plan(count, window);
    const qint64 firstNumber = flagScrollCount + step.firstTaken;
    const qint64 endNumber = flagScrollCount + count;

    const qint64 shownNewest = flagPlotWindow.shownNewestNumber() - flagScrollCount;
    const CFlags* atShownNewest = shownNewest >= 0 && shownNewest < count
                                      ? records.at(static_cast<int>(shownNewest))
                                      : nullptr;
    const FlagPlotWindow::Update update =
        flagPlotWindow.track(firstNumber, endNumber, interval, atShownNewest, records.last());

    const QCheckBox* boxes[5] = {ui->checkBoxC1, ui->checkBoxC1U, ui->checkBoxC2, ui->checkBoxC2U,
                                 ui->checkBoxInterpol};
    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = ui->customPlot->graph(k);
        graph->setVisible(boxes[k]->isChecked());
        if (update.rebuild) {
            const int n = static_cast<int>(endNumber - firstNumber);
            QVector<double> keys(n), values(n);
            for (int j = 0; j < n; ++j) {
                keys[j] = FlagPlotWindow::timeOf(firstNumber + j, interval);
                values[j] = FlagPlotWindow::percentOf(
                    countOf(records.at(static_cast<int>(step.firstTaken) + j), k), scale);
            }
            graph->setData(keys, values, true);
        } else {
            QSharedPointer<QCPGraphDataContainer> data = graph->data();
            data->removeBefore(FlagPlotWindow::timeOf(firstNumber, interval));
            for (qint64 number = update.appendFrom; number < endNumber; ++number) {
                const CFlags* record = records.at(static_cast<int>(number - flagScrollCount));
                data->add(QCPGraphData(FlagPlotWindow::timeOf(number, interval),
                                       FlagPlotWindow::percentOf(countOf(record, k), scale)));
            }
        }
    }
    if (step.setsRange)
        ui->customPlot->xAxis->setRange(FlagPlotWindow::timeOf(firstNumber, interval),
                                        FlagPlotWindow::timeOf(endNumber - 1, interval));
    flagPlotRedraw->request();
}

void Control_Panel::flagRecordAdded(CFlags* record, bool fromFlagBoard) {
    writeCFlagsToFlagFile_cvs();
    if (runPanel)
        runPanel->recordAdded(*record, board->state.flags.flag_sub_status);
    if (fromFlagBoard)
        emit recievedCFlags(record);
    plotCFlags();
}

void Control_Panel::clearFlagRecords() {
    QList<CFlags*>& records = board->flag_records;
    while (!records.isEmpty())
        delete records.takeLast();
    flagScrollCount = 0;
    flagPlotWindow.invalidate();
}

void Control_Panel::rescalePlotXAxis() {
    ui->customPlot->xAxis->setRange(0, ui->horizontalSliderFlagsGraph->value());
    clearFlagRecords();
    flagPlotRedraw->request();
}

void Control_Panel::rescalePlotYAxis() {
    ui->customPlot->yAxis->setRange(0, ui->verticalSliderFlagsGraph->value());
    flagPlotRedraw->request();
}

void Control_Panel::send_flagrate_setting(int selection) {
    qCDebug(dk61Flags) << "flag interval" << selection + 1;
    board->sendFlagInterval(selection + 1);
    clearFlagRecords();
    ui->customPlot->xAxis->setRange(0, ui->horizontalSliderFlagsGraph->value());
    flagPlotRedraw->request();
}
