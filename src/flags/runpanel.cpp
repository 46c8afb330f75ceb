#include "runpanel.h"

#include "cflags.h"
#include "flagfilereader.h"
#include "flaginterval.h"
#include "logging.h"
#include "runcsv.h"
#include "statuswording.h"
#include "trafficline.h"
#include "wholerunplot.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
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

RunPanel::RunPanel(const Parts& parts, QObject* parent) : QObject(parent), p(parts) {
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
    reserveBand(p.livePlot, &liveBand);
    wholeRun = new WholeRunPlot(p.runPlot, p.livePlot, this);
    reserveBand(p.runPlot, &runBand);
    p.runPlot->hide();
    p.livePlot->installEventFilter(this);
    placeOverPlot();
    p.summary->raise();
    p.fileWarning->raise();
    p.source->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (p.fileWarning->text().isEmpty())
        p.fileWarning->hide();
    p.backToLive->hide();
    for (int k = 0; k < 5; ++k) {
        liveLimitLines[size_t(k)] = new QCPItemStraightLine(p.livePlot);
        runLimitLines[size_t(k)] = new QCPItemStraightLine(p.runPlot);
    }
    updateLimitLines();

    // What each value is, for screen readers (their names are the values).
    const QString flagHeads[5] = {"C1", "uncorr. C1", "C2", "uncorr. C2", "interpol."};
    const std::array<QLabel*, 5>* const rows[4] = {&p.totals, &p.maxima, &p.averages, &p.overLimit};
    const QString rowHeads[4] = {"Total", "Maximum", "Average", "Over limit"};
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 5; ++k)
            (*rows[r])[size_t(k)]->setAccessibleDescription(rowHeads[r] + QLatin1Char(' ') +
                                                            flagHeads[k]);
    }
    for (QLabel* label : p.summary->findChildren<QLabel*>())
        label->setAccessibleName(label->text());
    for (QPushButton* button : p.summary->findChildren<QPushButton*>())
        button->setAccessibleName(button->text());

    intervalLabel = new QLabel(p.window);
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    p.statusBar->insertPermanentWidget(3, intervalLabel);
    showInterval();

    summaryTimer.setSingleShot(true);
    connect(&summaryTimer, &QTimer::timeout, this, &RunPanel::showSummary);
    connect(p.newRun, &QPushButton::clicked, this, &RunPanel::newRun);
    connect(p.backToLive, &QPushButton::clicked, this, &RunPanel::backToLive);
    connect(p.pauseLive, &QPushButton::toggled, this, &RunPanel::setPaused);
    connect(p.wholeRun, &QPushButton::toggled, this, &RunPanel::showWholeRun);
    connect(p.openFlagFile, &QAction::triggered, this, &RunPanel::openRunChosen);
    connect(p.savePng, &QAction::triggered, this, &RunPanel::savePngChosen);
    connect(p.savePdf, &QAction::triggered, this, &RunPanel::savePdfChosen);
    connect(p.exportCsv, &QAction::triggered, this, &RunPanel::exportCsvChosen);
    for (QCheckBox* box : p.curves)
        connect(box, &QCheckBox::toggled, this, &RunPanel::updateCurveVisibility);
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
    const QRect plot = p.livePlot->geometry();
    p.runPlot->setGeometry(plot);
    p.summary->setGeometry(plot.x(), plot.y() + plot.height() - BandHeight - SliderOverlap,
                           plot.width(), BandHeight);
}

bool RunPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == p.livePlot && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeOverPlot();
    return QObject::eventFilter(watched, event);
}

QCustomPlot* RunPanel::shownPlot() const {
    return p.runPlot->isHidden() ? p.livePlot : p.runPlot;
}

// ---------------------------------------------------------------------------------------------
// The live run

void RunPanel::startRun(const QString& source) {
    live.clear();
    liveTotals.clear();
    liveStarted = QDateTime::currentDateTime();
    liveStartMs = p.elapsedMs();
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
    live.append(p.elapsedMs() - liveStartMs, counts, setting);
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

void RunPanel::setScale(const FlagScale& chosen) {
    scale = chosen;
    wholeRun->setScale(scale);
    updateLimitLines();
}

bool RunPanel::livePaused() const {
    return p.pauseLive->isChecked();
}

void RunPanel::setPaused(bool paused) {
    QPushButton* button = p.pauseLive;
    button->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    button->setAccessibleName(button->text());
    // The curves take the records that arrived meanwhile.
    if (!paused)
        p.redrawLive();
}

void RunPanel::showWholeRun(bool shown) {
    p.livePlot->setVisible(!shown);
    p.runPlot->setVisible(shown);
    p.summary->raise();
    p.fileWarning->raise();
    p.spdifMessage->raise();
    if (shown) {
        updateCurveVisibility();
        wholeRun->fit();
        wholeRun->redraw();
    }
}

void RunPanel::updateCurveVisibility() {
    for (int k = 0; k < 5; ++k)
        p.runPlot->graph(k)->setVisible(p.curves[size_t(k)]->isChecked());
    if (p.runPlot->isVisible())
        p.runPlot->replot(QCustomPlot::rpQueuedReplot);
}

void RunPanel::updateLimitLines() {
    for (QCustomPlot* plot : {p.livePlot, p.runPlot}) {
        auto& lines = plot == p.livePlot ? liveLimitLines : runLimitLines;
        for (int k = 0; k < 5; ++k) {
            QCPItemStraightLine* line = lines[size_t(k)];
            const auto& limit = limits.percent[size_t(k)];
            line->setVisible(bool(limit));
            if (!limit)
                continue;
            QPen pen(p.livePlot->graph(k)->pen().color());
            pen.setStyle(Qt::DashLine);
            line->setPen(pen);
            line->point1->setCoords(0.0, scale.fromPercent(*limit));
            line->point2->setCoords(1.0, scale.fromPercent(*limit));
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
    const RunSummary& s = shownSummary();
    for (int k = 0; k < 5; ++k) {
        showText(p.totals[size_t(k)], s.totalText(k));
        showText(p.maxima[size_t(k)], s.maximumText(k));
        showText(p.averages[size_t(k)], s.averageText(k));
        showText(p.overLimit[size_t(k)], s.overLimitText(k));
    }
    showText(p.length, s.lengthText());
    showText(p.records, s.recordsText());
    showText(p.troubled, s.troubledText());
    showText(p.verdict, s.verdictText());
    const QString style = styleFor(s.verdict());
    if (p.verdict->styleSheet() != style)
        p.verdict->setStyleSheet(style);
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
    showText(p.source, source);
    p.source->setToolTip(source);
}

// ---------------------------------------------------------------------------------------------
// Link and interval

void RunPanel::writeLinkLine(const QString& text) {
    p.logLine(QLatin1Char('[') + TrafficLine::stamp(p.elapsedMs()) + QLatin1Char(']') + text);
}

void RunPanel::linkUp(const QString& port, int baud) {
    if (linkIsUp)
        return;
    linkIsUp = true;
    if (linkWentDown)
        writeLinkLine(QStringLiteral("Link back: %1 at %2 Baud").arg(port).arg(baud));
    showInterval();
}

void RunPanel::linkDown(const QString& port, const QString& reason) {
    if (!linkIsUp)
        return;
    linkIsUp = false;
    linkWentDown = true;
    writeLinkLine(QStringLiteral("Link down: %1 (%2)").arg(port, reason));
    live.markGap();
    showInterval();
}

void RunPanel::showInterval() {
    const StatusWording::Text text =
        FlagInterval::status(p.reportedInterval(), p.interval->currentIndex() + 1);
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
            p.window, QStringLiteral("Open Flag File"),
            QStringLiteral("%1 cannot be reviewed: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    if (!reviewStarted.isValid())
        reviewStarted = QFileInfo(path).lastModified();
    reviewSource = path;
    reviewTotals.setLimits(limits);
    reviewTotals.rebuild(review);
    p.newRun->hide();
    p.pauseLive->hide();
    p.backToLive->show();
    if (!inReview)
        wholeRunBeforeReview = p.wholeRun->isChecked();
    p.wholeRun->setChecked(true);
    p.wholeRun->setEnabled(false);
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
    p.backToLive->hide();
    p.newRun->show();
    p.pauseLive->show();
    p.wholeRun->setEnabled(true);
    wholeRun->showRun(&live);
    p.wholeRun->setChecked(wholeRunBeforeReview);
    showWholeRun(wholeRunBeforeReview);
    showSummary();
}

void RunPanel::openRunChosen() {
    const QString path =
        chooseOpenFile(p.window, QStringLiteral("Open Flag File"), p.flagDirectory(),
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
    return QDir(p.flagDirectory()).absoluteFilePath(base + suffix);
}

bool RunPanel::savePlot(const QString& path, bool pdf) {
    QCustomPlot* plot = shownPlot();
    QCPTextElement* band = plot == p.livePlot ? liveBand : runBand;
    band->setText(shownSummary().plainText() + QLatin1Char('\n') + p.source->text());
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
        chooseSaveFile(p.window, QStringLiteral("Save Plot as PNG"),
                       suggestedPath(QStringLiteral(".png")), QStringLiteral("PNG images (*.png)"));
    if (!path.isEmpty() && !savePlot(path, false))
        QMessageBox::warning(p.window, QStringLiteral("Save Plot as PNG"),
                             QStringLiteral("%1 could not be written.").arg(path));
}

void RunPanel::savePdfChosen() {
    const QString path = chooseSaveFile(p.window, QStringLiteral("Save Plot as PDF"),
                                        suggestedPath(QStringLiteral(".pdf")),
                                        QStringLiteral("PDF documents (*.pdf)"));
    if (!path.isEmpty() && !savePlot(path, true))
        QMessageBox::warning(p.window, QStringLiteral("Save Plot as PDF"),
                             QStringLiteral("%1 could not be written.").arg(path));
}

void RunPanel::exportCsvChosen() {
    const QString path =
        chooseSaveFile(p.window, QStringLiteral("Export Run as CSV"),
                       suggestedPath(QStringLiteral(".csv")), QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty() && !exportRun(path))
        QMessageBox::warning(p.window, QStringLiteral("Export Run as CSV"),
                             QStringLiteral("%1 could not be written.").arg(path));
}
