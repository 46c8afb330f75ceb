#include "runpanel.h"

#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "flagfilereader.h"
#include "flaginterval.h"
#include "logging.h"
#include "runcsv.h"
#include "trafficline.h"
#include "ui_control_panel.h"
#include "wholerunplot.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStatusBar>

#include <qcustomplot.h>

namespace {

void showText(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
    if (label->accessibleName() != text)
        label->setAccessibleName(text);
}

QString styleFor(RunSummary::Verdict verdict) {
    switch (verdict) {
    case RunSummary::Verdict::Pass:
        return StatusWording::styleSheet(StatusWording::Colour::Green);
    case RunSummary::Verdict::Fail:
        return StatusWording::styleSheet(StatusWording::Colour::Red);
    default:
        return QString();
    }
}

} // namespace

RunPanel::RunPanel(Control_Panel* window) : QObject(window), w(window) {
    Ui::Control_Panel* ui = w->ui;
    chooseOpenFile = [](QWidget* parent, const QString& caption, const QString& start,
                        const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    };
    chooseSaveFile = [](QWidget* parent, const QString& caption, const QString& start,
                        const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, start, filter);
    };

    // The summary band under the curves of both plots, the whole-run plot on the live one's
    // place.
    reserveBand(ui->customPlot, &liveBand);
    wholeRun = new WholeRunPlot(ui->customPlotRun, ui->customPlot, this);
    reserveBand(ui->customPlotRun, &runBand);
    ui->customPlotRun->hide();
    ui->customPlot->installEventFilter(this);
    placeOverPlot();
    ui->frameRunSummary->raise();
    ui->labelFileWarning->raise();
    ui->labelRunSource->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (ui->labelFileWarning->text().isEmpty())
        ui->labelFileWarning->hide();
    ui->buttonBackToLive->hide();
    for (int k = 0; k < 5; ++k) {
        liveLimitLines[size_t(k)] = new QCPItemStraightLine(ui->customPlot);
        runLimitLines[size_t(k)] = new QCPItemStraightLine(ui->customPlotRun);
    }
    updateLimitLines();

    // What each value is, for screen readers (their names are the values).
    const QString flagHeads[5] = {"C1", "uncorr. C1", "C2", "uncorr. C2", "interpol."};
    QLabel* const cells[4][5] = {
        {ui->labelTotalC1, ui->labelTotalC1U, ui->labelTotalC2, ui->labelTotalC2U,
         ui->labelTotalInterp},
        {ui->labelMaxC1, ui->labelMaxC1U, ui->labelMaxC2, ui->labelMaxC2U, ui->labelMaxInterp},
        {ui->labelAvgC1, ui->labelAvgC1U, ui->labelAvgC2, ui->labelAvgC2U, ui->labelAvgInterp},
        {ui->labelOverC1, ui->labelOverC1U, ui->labelOverC2, ui->labelOverC2U,
         ui->labelOverInterp}};
    const QString rowHeads[4] = {"Total", "Maximum", "Average", "Over limit"};
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 5; ++k)
            cells[r][k]->setAccessibleDescription(rowHeads[r] + QLatin1Char(' ') + flagHeads[k]);
    }
    for (QLabel* label : ui->frameRunSummary->findChildren<QLabel*>())
        label->setAccessibleName(label->text());
    for (QPushButton* button : ui->frameRunSummary->findChildren<QPushButton*>())
        button->setAccessibleName(button->text());

    intervalLabel = new QLabel(w);
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    w->statusBar()->insertPermanentWidget(3, intervalLabel);
    showInterval();

    summaryTimer.setSingleShot(true);
    connect(&summaryTimer, &QTimer::timeout, this, &RunPanel::showSummary);
    connect(ui->buttonNewRun, &QPushButton::clicked, this, &RunPanel::newRun);
    connect(ui->buttonBackToLive, &QPushButton::clicked, this, &RunPanel::backToLive);
    connect(ui->buttonPauseLive, &QPushButton::toggled, this, &RunPanel::setPaused);
    connect(ui->buttonWholeRun, &QPushButton::toggled, this, &RunPanel::showWholeRun);
    connect(ui->actionOpenFlagFile, &QAction::triggered, this, &RunPanel::openRunChosen);
    connect(ui->actionSavePlotPng, &QAction::triggered, this, &RunPanel::savePngChosen);
    connect(ui->actionSavePlotPdf, &QAction::triggered, this, &RunPanel::savePdfChosen);
    connect(ui->actionExportRunCsv, &QAction::triggered, this, &RunPanel::exportCsvChosen);
    connect(ui->verticalSliderFlagsGraph, &QSlider::valueChanged, wholeRun,
            &WholeRunPlot::setTopRate);
    for (QCheckBox* box :
         {ui->checkBoxC1, ui->checkBoxC1U, ui->checkBoxC2, ui->checkBoxC2U, ui->checkBoxInterpol})
        connect(box, &QCheckBox::toggled, this, &RunPanel::updateCurveVisibility);

    startRun(w->flagFile.isOpen() ? w->flagFile.absolutePath() : QString());
}

RunPanel::~RunPanel() = default;

// ---------------------------------------------------------------------------------------------
// Layout

void RunPanel::reserveBand(QCustomPlot* plot, QCPTextElement** band) {
    // Fixed pitch, so that the exported summary's columns line up.
    QFont font(QStringLiteral("monospace"), 8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    *band = new QCPTextElement(plot, QString(), font);
    (*band)->setMargins(QMargins(8, 2, 8, 2));
    (*band)->setSizeConstraintRect(QCPLayoutElement::scrOuterRect);
    // The plot's lowest pixels are under the width slider: the band reaches below the summary.
    (*band)->setMinimumSize(0, BandHeight + SliderOverlap);
    (*band)->setMaximumSize(QWIDGETSIZE_MAX, BandHeight + SliderOverlap);
    (*band)->setTextFlags(Qt::AlignLeft | Qt::AlignVCenter);
    plot->plotLayout()->addElement(1, 0, *band);
    plot->plotLayout()->setRowSpacing(0);
}

void RunPanel::placeOverPlot() {
    Ui::Control_Panel* ui = w->ui;
    const QRect plot = ui->customPlot->geometry();
    ui->customPlotRun->setGeometry(plot);
    ui->frameRunSummary->setGeometry(
        plot.x(), plot.y() + plot.height() - BandHeight - SliderOverlap, plot.width(), BandHeight);
}

bool RunPanel::eventFilter(QObject* watched, QEvent* event) {
    // (The window's form is gone while its widgets are being deleted.)
    if (w->ui && watched == w->ui->customPlot &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeOverPlot();
    return QObject::eventFilter(watched, event);
}

QCustomPlot* RunPanel::shownPlot() const {
    return w->ui->customPlotRun->isHidden() ? w->ui->customPlot : w->ui->customPlotRun;
}

// ---------------------------------------------------------------------------------------------
// The live run

void RunPanel::startRun(const QString& source) {
    live.clear();
    liveTotals.clear();
    liveStarted = QDateTime::currentDateTime();
    liveStartMs = w->sessionClock.elapsed();
    liveSource = source;
    qCDebug(dk61Flags) << "run started" << source;
    if (!inReview)
        wholeRun->showRun(&live);
    showSummary();
}

void RunPanel::newRun() {
    startRun(QString());
}

void RunPanel::recordAdded(const CFlags& record, int setting) {
    const RunStore::Counts counts{record.getC1Flags(), record.getC1Uncorrectable(),
                                  record.getC2Flags(), record.getC2Uncorrectable(),
                                  record.getInterpolationFlags()};
    live.append(w->sessionClock.elapsed() - liveStartMs, counts, setting);
    liveTotals.add(counts, setting);
    if (!inReview) {
        scheduleSummary();
        wholeRun->runGrew();
    }
    showInterval();
}

void RunPanel::setLimits(const FlagLimits& newLimits) {
    if (newLimits.percent == limits.percent)
        return;
    limits = newLimits;
    liveTotals.setLimits(limits);
    liveTotals.rebuild(live);
    reviewTotals.setLimits(limits);
    reviewTotals.rebuild(review);
    updateLimitLines();
    showSummary();
}

bool RunPanel::livePaused() const {
    return w->ui->buttonPauseLive->isChecked();
}

void RunPanel::setPaused(bool paused) {
    QPushButton* button = w->ui->buttonPauseLive;
    button->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    button->setAccessibleName(button->text());
    // The curves take the records that arrived meanwhile.
    if (!paused)
        w->plotCFlags();
}

void RunPanel::showWholeRun(bool shown) {
    Ui::Control_Panel* ui = w->ui;
    ui->customPlot->setVisible(!shown);
    ui->customPlotRun->setVisible(shown);
    ui->frameRunSummary->raise();
    ui->labelFileWarning->raise();
    ui->status_description_spdif_label->raise();
    if (shown) {
        updateCurveVisibility();
        wholeRun->fit();
        wholeRun->redraw();
    }
}

void RunPanel::updateCurveVisibility() {
    Ui::Control_Panel* ui = w->ui;
    const QCheckBox* boxes[5] = {ui->checkBoxC1, ui->checkBoxC1U, ui->checkBoxC2, ui->checkBoxC2U,
                                 ui->checkBoxInterpol};
    for (int k = 0; k < 5; ++k)
        ui->customPlotRun->graph(k)->setVisible(boxes[k]->isChecked());
    if (ui->customPlotRun->isVisible())
        ui->customPlotRun->replot(QCustomPlot::rpQueuedReplot);
}

void RunPanel::updateLimitLines() {
    Ui::Control_Panel* ui = w->ui;
    for (QCustomPlot* plot : {ui->customPlot, ui->customPlotRun}) {
        auto& lines = plot == ui->customPlot ? liveLimitLines : runLimitLines;
        for (int k = 0; k < 5; ++k) {
            QCPItemStraightLine* line = lines[size_t(k)];
            const auto& limit = limits.percent[size_t(k)];
            line->setVisible(bool(limit));
            if (!limit)
                continue;
            QPen pen(ui->customPlot->graph(k)->pen().color());
            pen.setStyle(Qt::DashLine);
            line->setPen(pen);
            line->point1->setCoords(0.0, *limit);
            line->point2->setCoords(1.0, *limit);
        }
        plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

void RunPanel::scheduleSummary() {
    if (!summaryTimer.isActive())
        summaryTimer.start(SummaryIntervalMs);
}

void RunPanel::showSummary() {
    summaryTimer.stop();
    Ui::Control_Panel* ui = w->ui;
    const RunSummary& s = shownSummary();
    QLabel* const totals[5] = {ui->labelTotalC1, ui->labelTotalC1U, ui->labelTotalC2,
                               ui->labelTotalC2U, ui->labelTotalInterp};
    QLabel* const maxima[5] = {ui->labelMaxC1, ui->labelMaxC1U, ui->labelMaxC2, ui->labelMaxC2U,
                               ui->labelMaxInterp};
    QLabel* const averages[5] = {ui->labelAvgC1, ui->labelAvgC1U, ui->labelAvgC2, ui->labelAvgC2U,
                                 ui->labelAvgInterp};
    QLabel* const over[5] = {ui->labelOverC1, ui->labelOverC1U, ui->labelOverC2, ui->labelOverC2U,
                             ui->labelOverInterp};
    for (int k = 0; k < 5; ++k) {
        showText(totals[k], s.totalText(k));
        showText(maxima[k], s.maximumText(k));
        showText(averages[k], s.averageText(k));
        showText(over[k], s.overLimitText(k));
    }
    showText(ui->labelRunLength, s.lengthText());
    showText(ui->labelRunRecords, s.recordsText());
    showText(ui->labelRunTroubled, s.troubledText());
    showText(ui->labelRunVerdict, s.verdictText());
    const QString style = styleFor(s.verdict());
    if (ui->labelRunVerdict->styleSheet() != style)
        ui->labelRunVerdict->setStyleSheet(style);
    QString source;
    if (inReview) {
        source = QStringLiteral("Reviewing %1").arg(QDir::toNativeSeparators(reviewSource));
        if (reviewSkipped > 0)
            source += QStringLiteral(" (%1 lines skipped)").arg(reviewSkipped);
    } else {
        source = QStringLiteral("Run since %1")
                     .arg(liveStarted.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        if (!liveSource.isEmpty())
            source += QStringLiteral(", flag file %1").arg(QDir::toNativeSeparators(liveSource));
    }
    showText(ui->labelRunSource, source);
    ui->labelRunSource->setToolTip(source);
}

// ---------------------------------------------------------------------------------------------
// Link and interval

void RunPanel::writeLinkLine(const QString& text) {
    w->writeLogLines({QLatin1Char('[') + TrafficLine::stamp(w->sessionClock.elapsed()) +
                      QLatin1Char(']') + text});
}

void RunPanel::linkUp() {
    if (linkIsUp)
        return;
    linkIsUp = true;
    if (linkWentDown)
        writeLinkLine(QStringLiteral("Link back: %1 at %2 Baud")
                          .arg(w->board->link.portName())
                          .arg(w->board->link.baudRate()));
    showInterval();
}

void RunPanel::linkDown(const QString& reason) {
    if (!linkIsUp)
        return;
    linkIsUp = false;
    linkWentDown = true;
    writeLinkLine(QStringLiteral("Link down: %1 (%2)").arg(w->board->link.portName(), reason));
    live.markGap();
    showInterval();
}

void RunPanel::showInterval() {
    const FlagBoardState& flags = w->board->state.flags;
    const StatusWording::Text text =
        FlagInterval::status(flags.flag_data_seen ? flags.flag_sub_status : 0,
                             w->ui->comboCFLAGInterval->currentIndex() + 1);
    if (text.text == shownInterval)
        return;
    shownInterval = text.text;
    intervalLabel->setText(text.text);
    intervalLabel->setAccessibleName(text.text);
    intervalLabel->setStyleSheet(StatusWording::styleSheet(text.colour));
}

// ---------------------------------------------------------------------------------------------
// Review

bool RunPanel::openRun(const QString& path) {
    QFile file(path);
    QString error;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
    } else if (file.peek(int(qstrlen(RunCsv::Header))) == RunCsv::Header) {
        reviewSkipped = 0;
        RunCsv::read(file, &review, &reviewStarted, &error, &reviewSkipped);
    } else {
        const FlagFileReader::Result result = FlagFileReader::read(file, &review);
        reviewSkipped = result.skipped;
        reviewStarted = FlagFileReader::created(path);
        if (result.rows == 0)
            error = QStringLiteral("no flag rows in it");
    }
    if (!error.isEmpty()) {
        review.clear();
        qCDebug(dk61Flags) << "cannot review" << path << error;
        QMessageBox::warning(
            w, QStringLiteral("Open Flag File"),
            QStringLiteral("%1 cannot be reviewed: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    if (!reviewStarted.isValid())
        reviewStarted = QFileInfo(path).lastModified();
    reviewSource = path;
    reviewTotals.setLimits(limits);
    reviewTotals.rebuild(review);
    Ui::Control_Panel* ui = w->ui;
    ui->buttonNewRun->hide();
    ui->buttonPauseLive->hide();
    ui->buttonBackToLive->show();
    if (!inReview)
        wholeRunBeforeReview = ui->buttonWholeRun->isChecked();
    ui->buttonWholeRun->setChecked(true);
    ui->buttonWholeRun->setEnabled(false);
    inReview = true;
    wholeRun->showRun(&review);
    showWholeRun(true);
    showSummary();
    return true;
}

void RunPanel::backToLive() {
    if (!inReview)
        return;
    inReview = false;
    review.clear();
    reviewTotals.clear();
    Ui::Control_Panel* ui = w->ui;
    ui->buttonBackToLive->hide();
    ui->buttonNewRun->show();
    ui->buttonPauseLive->show();
    ui->buttonWholeRun->setEnabled(true);
    wholeRun->showRun(&live);
    ui->buttonWholeRun->setChecked(wholeRunBeforeReview);
    showWholeRun(wholeRunBeforeReview);
    showSummary();
}

void RunPanel::openRunChosen() {
    const QString path =
        chooseOpenFile(w, QStringLiteral("Open Flag File"), w->flagFileDirectory.absolutePath(),
                       QStringLiteral("Flag files (*.txt);;Exported runs (*.csv);;All files (*)"));
    if (!path.isEmpty())
        openRun(path);
}

// ---------------------------------------------------------------------------------------------
// Export

QString RunPanel::suggestedPath(const QString& suffix) const {
    const QString base =
        inReview ? QFileInfo(reviewSource).completeBaseName()
                 : QStringLiteral("run-") + liveStarted.toString(QStringLiteral("yyyyMMddHHmmss"));
    return w->flagFileDirectory.absoluteFilePath(base + suffix);
}

bool RunPanel::savePlot(const QString& path, bool pdf) {
    QCustomPlot* plot = shownPlot();
    QCPTextElement* band = plot == w->ui->customPlot ? liveBand : runBand;
    band->setText(shownSummary().plainText() + QLatin1Char('\n') + w->ui->labelRunSource->text());
    const bool ok = pdf ? plot->savePdf(path) : plot->savePng(path);
    band->setText(QString());
    plot->replot(QCustomPlot::rpQueuedReplot);
    return ok;
}

bool RunPanel::exportRun(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok =
        RunCsv::write(file, inReview ? review : live, inReview ? reviewStarted : liveStarted);
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

void RunPanel::savePngChosen() {
    const QString path =
        chooseSaveFile(w, QStringLiteral("Save Plot as PNG"), suggestedPath(QStringLiteral(".png")),
                       QStringLiteral("PNG images (*.png)"));
    if (!path.isEmpty() && !savePlot(path, false))
        QMessageBox::warning(w, QStringLiteral("Save Plot as PNG"),
                             QStringLiteral("%1 could not be written.").arg(path));
}

void RunPanel::savePdfChosen() {
    const QString path =
        chooseSaveFile(w, QStringLiteral("Save Plot as PDF"), suggestedPath(QStringLiteral(".pdf")),
                       QStringLiteral("PDF documents (*.pdf)"));
    if (!path.isEmpty() && !savePlot(path, true))
        QMessageBox::warning(w, QStringLiteral("Save Plot as PDF"),
                             QStringLiteral("%1 could not be written.").arg(path));
}

void RunPanel::exportCsvChosen() {
    const QString path =
        chooseSaveFile(w, QStringLiteral("Export Run as CSV"),
                       suggestedPath(QStringLiteral(".csv")), QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty() && !exportRun(path))
        QMessageBox::warning(w, QStringLiteral("Export Run as CSV"),
                             QStringLiteral("%1 could not be written.").arg(path));
}
