#include "flags/flagspage.h"

#include "board/linkstatusbar.h"
#include "cd_board.h"
#include "common/overlay.h"
#include "flags/flagplot.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "shell/logging.h"
#include "ui_flagspage.h"

FlagsPage::FlagsPage(CD_Board& board, QSettings* store, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FlagsPage>()), board(board) {
    ui->setupUi(this);
    connect(ui->verticalSliderFlagsGraph, &QSlider::valueChanged, this,
            [this] { flagPlot->rescaleRates(); });
    connect(ui->horizontalSliderFlagsGraph, &QSlider::valueChanged, this, &FlagsPage::restartPlot);
    connect(ui->comboCFLAGInterval, QOverload<int>::of(&QComboBox::activated), this,
            &FlagsPage::chooseInterval);
    flagPlot = new FlagPlot(
        {ui->customPlot,
         ui->horizontalSliderFlagsGraph,
         ui->verticalSliderFlagsGraph,
         {ui->checkBoxC1, ui->checkBoxC1U, ui->checkBoxC2, ui->checkBoxC2U, ui->checkBoxInterpol},
         store},
        this);
    // The width slider says what it sets.
    QLabel* window = ui->labelPlotWindow;
    auto showWindow = [window](int seconds) {
        window->setText(QStringLiteral("Window: %1 s").arg(seconds));
    };
    showWindow(ui->horizontalSliderFlagsGraph->value());
    connect(ui->horizontalSliderFlagsGraph, &QSlider::valueChanged, window, showWindow);
    // A new unit or scale: the curves are drawn again from the records.
    connect(flagPlot, &FlagPlot::scaleChanged, this, &FlagsPage::plotRecords);
}

FlagsPage::~FlagsPage() = default;

RunPanel* FlagsPage::makeRun(RunSession& runSession, QStatusBar* statusBar,
                             std::function<int()> reportedInterval) {
    session = &runSession;
    run = new RunPanel(runSession, *ui, statusBar, std::move(reportedInterval), this);
    connect(run, &RunPanel::liveResumed, this, &FlagsPage::plotRecords);
    connect(run, &QObject::destroyed, this, [this] { run = nullptr; });
    connect(session, &QObject::destroyed, this, [this] { session = nullptr; });
    // The run's summary lies in the band the plots keep free below their curves; the link and
    // file messages lie over the curves' top left corner (the legend is at the top right).
    for (QWidget* top : std::initializer_list<QWidget*>{ui->frameRunSummary, ui->labelFileWarning,
                                                        ui->status_description_spdif_label})
        Overlay::mark(top, {ui->customPlot, ui->customPlotRun});
    run->setScale(flagPlot->scale());
    connect(flagPlot, &FlagPlot::scaleChanged, run, &RunPanel::setScale);
    return run;
}

RunFiles* FlagsPage::makeFiles(RunSession& runSession, QWidget* window, QStatusBar* statusBar) {
    auto* files =
        new RunFiles(runSession, window, statusBar, ui->customPlot, ui->customPlotRun, this);
    files->setScale(flagPlot->scale());
    connect(flagPlot, &FlagPlot::scaleChanged, files, &RunFiles::setScale);
    return files;
}

void FlagsPage::plotRecords() {
    flagPlot->plot(board.flagRecords(), board.state().flags.flag_sub_status,
                   run && run->livePaused());
}

void FlagsPage::chooseInterval(int selection) {
    qCDebug(dk61Flags) << "flag interval" << selection + 1;
    board.sendFlagInterval(selection + 1);
    flagPlot->restart(board.flagRecords());
    if (session)
        session->intervalChosen(selection + 1);
}

void FlagsPage::restartPlot() {
    flagPlot->restart(board.flagRecords());
}

int FlagsPage::chosenInterval() const {
    return ui->comboCFLAGInterval->currentIndex() + 1;
}

void FlagsPage::showLinkMessage(const StatusWording::Text& message) {
    LinkStatusBar::showText(ui->status_description_spdif_label, message);
}

void FlagsPage::showFileWarning(const QString& text) {
    ui->labelFileWarning->setText(text);
    ui->labelFileWarning->setAccessibleName(text);
    ui->labelFileWarning->setVisible(!text.isEmpty());
}

void FlagsPage::hideSecondLink() {
    for (QWidget* widget :
         std::initializer_list<QWidget*>{ui->chkOther, ui->btnConnectOther, ui->txtOther,
                                         ui->btnSetOther, ui->lblConnect_other})
        widget->hide();
}

void FlagsPage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_3->setVisible(shown);
}

void FlagsPage::fitWindow(const QSize& page, int W, int H) {
    const bool secondLink = !ui->chkOther->isHidden();
    const int sliderY = page.height() - 49 - (secondLink ? 58 : 0);
    const int plotHeight = sliderY - ui->customPlot->y();
    ui->customPlot->resize(W - 70, plotHeight);
    QSlider* rates = ui->verticalSliderFlagsGraph;
    rates->resize(19, secondLink ? sliderY + 19 - rates->y() : H - 160);
    QLabel* window = ui->labelPlotWindow;
    const int windowWidth = window->fontMetrics().horizontalAdvance(QStringLiteral("Window: 60 s"));
    const int sliderX = rates->x() + 100;
    const int sliderWidth = W - 130 - windowWidth - 6;
    ui->horizontalSliderFlagsGraph->setGeometry(sliderX, sliderY, sliderWidth, 19);
    window->setGeometry(sliderX + sliderWidth + 6, sliderY, windowWidth, 21);
    const int rowY = sliderY + 49;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{ui->lblConnect_other, ui->txtOther, ui->chkOther})
        widget->move(widget->x(), rowY + 1);
    for (QWidget* widget : std::initializer_list<QWidget*>{ui->btnSetOther, ui->btnConnectOther})
        widget->move(widget->x(), rowY);
    ui->ServiceModeWarningLabel_3->setGeometry(30, page.height() - 30, page.width() - 40, 30);
}
