#include "flags/runpanel.h"

#include "board/statuswording.h"
#include "common/plaintext.h"
#include "console/trafficline.h"
#include "flags/cflags.h"
#include "flags/flagfilereader.h"
#include "flags/flaginterval.h"
#include "flags/runcsv.h"
#include "flags/runloading.h"
#include "flags/runreport.h"
#include "flags/runseries.h"
#include "flags/wholerunplot.h"
#include "settings/programfolders.h"
#include "shell/logging.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QStatusBar>

#include <qcustomplot.h>

#include <algorithm>

namespace {

void showText(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
    if (label->accessibleName() != text)
        label->setAccessibleName(text);
}

// A verdict's label, green for a pass and red for a failure.
template <typename V> void showVerdict(QLabel* label, const QString& text, V verdict) {
    showText(label, text);
    const QString style =
        verdict == V::Pass   ? StatusWording::styleSheet(StatusWording::Colour::Green)
        : verdict == V::Fail ? StatusWording::styleSheet(StatusWording::Colour::Red)
                             : QString();
    if (label->styleSheet() != style)
        label->setStyleSheet(style);
}

// Writes the file at `path` through `write`; false when it could not be opened, `write` failed or
// not all of it reached the disk (a full disk shows only when the file's buffer is flushed).
template <typename F> bool writeFile(const QString& path, F&& write) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok = write(file);
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

// The plot as QCustomPlot's own export draws it, into `out`: a PNG image at 96 dpi, or a PDF page
// of the plot's size (a point a pixel, the fonts as on the screen) in vector graphics.
bool writePng(QCustomPlot* plot, QIODevice& out) {
    QImage image = plot->toPixmap().toImage();
    const int dotsPerMeter = int(96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return !image.isNull() && image.save(&out, "PNG");
}

bool writePdf(QCustomPlot* plot, QIODevice& out) {
    QPdfWriter writer(&out);
    writer.setResolution(plot->logicalDpiY());
    QPageLayout page(QPageSize(plot->size(), QPageSize::Point, QString(), QPageSize::ExactMatch),
                     QPageLayout::Portrait, QMarginsF());
    page.setMode(QPageLayout::FullPageMode);
    writer.setPageLayout(page);
    QCPPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setWindow(QRect(QPoint(), plot->size()));
    plot->toPainter(&painter);
    return painter.end();
}

// A stored run added up by the second, judged as it was while it was measured.
RunSummary storedSummary(const RunSeries& series, const RunResult& row, const FlagLimits& limits) {
    RunSummary summary;
    summary.setLimits(limits);
    series.addUp(summary);
    summary.noteInterval(FlagInterval::settingFor(row.intervalMs));
    summary.setJudged(row.judged());
    return summary;
}

// A unit as part of a file name: letters, digits, '-' and '.'; anything else becomes '_'.
QString fileNamePart(const QString& text) {
    QString part = text.left(40);
    for (QChar& c : part) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
            c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return part;
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
    chooseReportRun = [](QWidget* parent, const QString& shown, const QString& lastEnded) {
        // the units are typed text: shown as they are
        QMessageBox box(
            QMessageBox::Question, QStringLiteral("Export Report"),
            QStringLiteral("Which run is the report of?\n\nOn screen: %1\nLast ended: %2")
                .arg(shown, lastEnded),
            QMessageBox::Cancel, parent);
        box.setTextFormat(Qt::PlainText);
        QPushButton* onPage =
            box.addButton(QStringLiteral("Run on screen"), QMessageBox::AcceptRole);
        QPushButton* ended =
            box.addButton(QStringLiteral("Last ended run"), QMessageBox::AcceptRole);
        box.setDefaultButton(ended);
        box.exec();
        return box.clickedButton() == onPage ? 0 : box.clickedButton() == ended ? 1 : -1;
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
    for (QAbstractButton* button : p.summary->findChildren<QAbstractButton*>())
        button->setAccessibleName(button->text());
    p.unitId->setAccessibleName(QStringLiteral("Unit ID"));
    p.unitId->setMaxLength(UnitIdentity::TypedLength);
    p.unit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    p.standard->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    intervalLabel = new QLabel(p.window);
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    p.statusBar->insertPermanentWidget(3, intervalLabel);
    showInterval();

    summaryTimer.setSingleShot(true);
    connect(&summaryTimer, &QTimer::timeout, this, [this] {
        summaryShown.start();
        showSummary();
        emit runUpdated(liveResult());
    });
    connect(p.newRun, &QPushButton::clicked, this, &RunPanel::newRun);
    connect(p.startRun, &QPushButton::clicked, this, &RunPanel::startRunChosen);
    connect(p.endRun, &QPushButton::clicked, this, &RunPanel::endRunChosen);
    connect(p.backToLive, &QPushButton::clicked, this, &RunPanel::backToLive);
    connect(p.pauseLive, &QPushButton::toggled, this, &RunPanel::setPaused);
    connect(p.wholeRun, &QPushButton::toggled, this, &RunPanel::showWholeRun);
    connect(p.openFlagFile, &QAction::triggered, this, &RunPanel::openRunChosen);
    connect(p.savePng, &QAction::triggered, this, &RunPanel::savePngChosen);
    connect(p.savePdf, &QAction::triggered, this, &RunPanel::savePdfChosen);
    connect(p.exportCsv, &QAction::triggered, this, &RunPanel::exportCsvChosen);
    connect(p.exportReport, &QAction::triggered, this, &RunPanel::exportReportChosen);
    connect(p.unitId, &QLineEdit::editingFinished, this, &RunPanel::takeUnit);
    p.nextUnit->hide();
    for (QCheckBox* box : p.curves)
        connect(box, &QCheckBox::toggled, this, &RunPanel::updateCurveVisibility);
}

// The window closes: the run ends.
RunPanel::~RunPanel() {
    endRun();
}

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
    beginRun(source, nullptr);
}

void RunPanel::beginRun(const QString& source, const UnitIdentity* unit) {
    endRun();
    // The run that ended stays at hand for a report.
    if (!live.isEmpty()) {
        lastEnded = EndedRun{std::move(live), liveTotals,  std::move(liveSeries),
                             liveIdentity,    liveStarted, liveSource};
    }
    live.clear();
    liveSeries.clear();
    liveTotals.clear();
    liveTotals.setLimits(limits);
    liveStarted = QDateTime::currentDateTime();
    liveStartMs = p.elapsedMs();
    liveSource = source;
    liveRow = RunResult::begin(liveStarted.toUTC());
    liveInterval = p.interval->currentIndex() + 1;
    liveEnded = false;
    liveIdentity = unit && unit->isKnown() ? *unit : nextRunUnit();
    liveLogged = false;
    qCDebug(dk61Flags) << "run started" << source << liveIdentity.text();
    if (!inReview)
        wholeRun->showRun(&live, &liveSeries);
    showRunButtons();
    showNextUnit();
    showSummary();
    emit runStarted(liveResult());
}

void RunPanel::endRun() {
    if (liveEnded)
        return;
    liveEnded = true;
    RunResult ended = liveResult();
    ended.finished = true;
    ended.endedAt = QDateTime::currentDateTimeUtc();
    if (liveLogged)
        writeLogLine(
            QStringLiteral("Run ended: %1, %2 records, %3 measured")
                .arg(liveIdentity.text(), liveTotals.recordsText(), liveTotals.lengthText()));
    qCDebug(dk61Flags) << "run ended" << liveIdentity.text() << live.size();
    emit runEnded(ended);
    if (!live.isEmpty() && p.reportAtEnd && p.reportAtEnd())
        writeEndReport();
    showRunButtons();
    showNextUnit();
    showSummary();
}

void RunPanel::clearEndedUnitId() {
    // An ID that waits for the next run stays.
    if (p.clearUnitId->isChecked() &&
        UnitIdentity::typedId(p.unitId->text()).text() == liveIdentity.text())
        p.unitId->clear();
}

void RunPanel::newRun() {
    clearEndedUnitId();
    startRun(p.nextFlagFile ? p.nextFlagFile() : QString());
}

void RunPanel::startRunChosen() {
    if (!liveEnded)
        return;
    newRun();
}

void RunPanel::endRunChosen() {
    if (liveEnded)
        return;
    endRun();
    if (p.closeFlagFile)
        p.closeFlagFile();
}

void RunPanel::intervalChosen(int setting) {
    if (liveEnded || setting == liveInterval)
        return;
    // The same unit goes on being measured, at another interval.
    const UnitIdentity unit = liveIdentity;
    beginRun(p.nextFlagFile ? p.nextFlagFile() : QString(), &unit);
}

void RunPanel::showRunButtons() {
    p.startRun->setEnabled(liveEnded);
    p.endRun->setEnabled(!liveEnded);
}

void RunPanel::boardIdentified(const UnitIdentity& unit) {
    boardUnit = unit;
    takeUnit();
}

UnitIdentity RunPanel::nextRunUnit() const {
    return boardUnit.fromBoard ? boardUnit : UnitIdentity::typedId(p.unitId->text());
}

void RunPanel::takeUnit() {
    const UnitIdentity unit = nextRunUnit();
    if (!liveEnded && !liveIdentity.isKnown() && unit.isKnown()) {
        liveIdentity = unit;
        if (liveLogged)
            writeLogLine(QStringLiteral("Run unit: ") + unit.text());
        showSummary();
        emit runUpdated(liveResult());
    }
    showNextUnit();
}

void RunPanel::showNextUnit() {
    const UnitIdentity next = nextRunUnit();
    const bool other = next.isKnown() && next.text() != liveIdentity.text() && !inReview;
    const QString text = other ? QStringLiteral("Next unit: ") + next.unit() : QString();
    showText(p.nextUnit, text);
    p.nextUnit->setToolTip(other ? QStringLiteral("Next unit: ") + next.details() : QString());
    p.nextUnit->setVisible(other);
}

RunResult RunPanel::liveResult() const {
    RunResult r = liveRow;
    r.takeUnit(liveIdentity);
    r.takeSummary(liveTotals);
    r.endedAt = r.startedAt;
    if (!live.isEmpty()) {
        r.intervalMs = FlagInterval::milliseconds(live.setting(live.size() - 1));
        r.endedAt = liveStarted.addMSecs(live.lastMs() + r.intervalMs).toUTC();
    }
    r.flagFile = liveSource;
    return r;
}

bool RunPanel::recordAdded(const CFlags& record, int setting, const RunSeries::Position& at) {
    showInterval();
    // An ended run takes no more records.
    if (liveEnded)
        return false;
    const RunStore::Counts counts{record.getC1Flags(), record.getC1Uncorrectable(),
                                  record.getC2Flags(), record.getC2Uncorrectable(),
                                  record.getInterpolationFlags()};
    // The log file names the unit when the run's first record arrives (a board that answers
    // has named itself by then).
    if (!liveLogged)
        writeLogLine(liveIdentity.runStartedLine());
    liveLogged = true;
    const qint64 elapsed = p.elapsedMs() - liveStartMs;
    live.append(elapsed, counts, setting);
    liveSeries.add(elapsed, counts, setting, at);
    liveTotals.add(counts, setting);
    scheduleSummary();
    if (!inReview)
        wholeRun->runGrew();
    return true;
}

void RunPanel::setLimits(const FlagLimits& newLimits) {
    if (newLimits.percent == limits.percent)
        return;
    limits = newLimits;
    // An ended run keeps the verdicts it ended with.
    if (!liveEnded || live.isEmpty()) {
        liveTotals.setLimits(limits);
        liveTotals.rebuild(live);
    }
    reviewTotals.setLimits(limits);
    if (reviewRow)
        reviewTotals = storedSummary(reviewSeries, *reviewRow, limits);
    else
        reviewTotals.rebuild(review);
    updateLimitLines();
    showSummary();
    if (!liveEnded)
        emit runUpdated(liveResult());
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

// The first record after a quiet spell shows at once, the next ones at most every
// SummaryIntervalMs.
void RunPanel::scheduleSummary() {
    if (summaryTimer.isActive())
        return;
    const qint64 since = summaryShown.isValid() ? summaryShown.elapsed() : SummaryIntervalMs;
    summaryTimer.start(int(std::max<qint64>(0, SummaryIntervalMs - since)));
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
    showVerdict(p.verdict, s.verdictText(), s.verdict());
    showVerdict(p.standard, s.standardText(), s.standard());
    showText(p.bler, s.blerText());
    showText(p.e32, s.e32Text());
    showText(p.unit, (inReview ? reviewUnit : liveIdentity).details());
    p.unit->setToolTip(PlainText::tip(p.unit->text()));
    p.standard->setToolTip(PlainText::tip(p.standard->text()));
    QString source;
    const QString dateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    if (inReview && reviewRow) {
        source = QStringLiteral("Reviewing the run of %1 from the results database")
                     .arg(reviewStarted.toString(dateTime));
    } else if (inReview) {
        source = QStringLiteral("Reviewing %1").arg(QDir::toNativeSeparators(reviewSource));
        if (reviewSkipped > 0)
            source += QStringLiteral(" (%1 lines skipped)").arg(reviewSkipped);
    } else {
        source = QString::fromLatin1(liveEnded ? "Run of %1, ended" : "Run since %1")
                     .arg(liveStarted.toString(dateTime));
        if (!liveSource.isEmpty())
            source += QStringLiteral(", flag file %1").arg(QDir::toNativeSeparators(liveSource));
    }
    showText(p.source, source);
    p.source->setToolTip(PlainText::tip(source));
}

// ---------------------------------------------------------------------------------------------
// Link and interval

void RunPanel::writeLogLine(const QString& text) {
    p.logLine(QLatin1Char('[') + TrafficLine::stamp(p.elapsedMs()) + QLatin1Char(']') + text);
}

void RunPanel::linkUp(const QString& port, int baud) {
    if (linkIsUp)
        return;
    linkIsUp = true;
    if (linkWentDown)
        writeLogLine(QStringLiteral("Link back: %1 at %2 Baud").arg(port).arg(baud));
    showInterval();
}

void RunPanel::linkDown(const QString& port, const QString& reason) {
    // The next unit on the link names itself again (the run keeps the one it has).
    boardUnit = UnitIdentity();
    if (!linkIsUp)
        return;
    linkIsUp = false;
    linkWentDown = true;
    writeLogLine(QStringLiteral("Link down: %1 (%2)").arg(port, reason));
    live.markGap();
    showInterval();
}

void RunPanel::showInterval() {
    // Called for every record: the label's text is made again only when what it tells changed.
    const int reported = p.reportedInterval();
    const int chosen = p.interval->currentIndex() + 1;
    if (reported == shownReported && chosen == shownChosen)
        return;
    shownReported = reported;
    shownChosen = chosen;
    const StatusWording::Text text = FlagInterval::status(reported, chosen);
    if (text.text == shownInterval)
        return;
    shownInterval = text.text;
    intervalLabel->setText(text.text);
    intervalLabel->setAccessibleName(text.text);
    intervalLabel->setStyleSheet(StatusWording::styleSheet(text.colour));
}

// ---------------------------------------------------------------------------------------------
// Review

bool RunPanel::openRun(const QString& path, const UnitIdentity& unit) {
    RunFileLoader::Result read;
    RunSummary totals;
    totals.setLimits(limits);
    if (!RunLoading::load(path, p.window, &read, &totals) && read.error.isEmpty())
        return false; // cancelled
    QString error = read.error;
    if (error.isEmpty() && read.format == RunFileReader::Format::FlagFile && read.rows == 0)
        error = QStringLiteral("no flag rows in it");
    if (!error.isEmpty()) {
        review.clear();
        qCDebug(dk61Flags) << "cannot review" << path << error;
        PlainText::warn(
            p.window, QStringLiteral("Open Flag File"),
            QStringLiteral("%1 cannot be reviewed: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    review = std::move(read.run);
    reviewSkipped = read.skipped;
    reviewStarted = read.format == RunFileReader::Format::FlagFile ? FlagFileReader::created(path)
                                                                   : read.started;
    // A file renamed by hand: its last record is when it was last written.
    if (!reviewStarted.isValid())
        reviewStarted = QFileInfo(path).lastModified().addMSecs(-review.lastMs());
    reviewSource = path;
    // The run as the results database names it, else as an exported file does.
    reviewUnit = unit.isKnown() ? unit : read.unit;
    reviewTotals = totals;
    reviewSeries.clear();
    reviewRow.reset();
    enterReview();
    return true;
}

bool RunPanel::openStored(const StoredRun& run) {
    if (run.series.isEmpty())
        return openRun(run.row.flagFile, run.row.unit());
    reviewSeries = run.series;
    review = reviewSeries.toStore();
    reviewRow = run.row;
    reviewSkipped = 0;
    reviewStarted = run.row.startedAt.toLocalTime();
    reviewSource.clear();
    reviewUnit = run.row.unit();
    reviewTotals = storedSummary(reviewSeries, run.row, limits);
    enterReview();
    return true;
}

void RunPanel::enterReview() {
    for (QWidget* w : std::initializer_list<QWidget*>{p.newRun, p.pauseLive, p.startRun, p.endRun})
        w->hide();
    p.backToLive->show();
    if (!inReview)
        wholeRunBeforeReview = p.wholeRun->isChecked();
    p.wholeRun->setChecked(true);
    p.wholeRun->setEnabled(false);
    inReview = true;
    wholeRun->showRun(&review, reviewSeries.isEmpty() ? nullptr : &reviewSeries);
    showWholeRun(true);
    showNextUnit();
    showSummary();
}

void RunPanel::backToLive() {
    if (!inReview)
        return;
    inReview = false;
    review.clear();
    reviewSeries.clear();
    reviewRow.reset();
    reviewUnit = UnitIdentity();
    reviewTotals.clear();
    p.backToLive->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{p.newRun, p.pauseLive, p.startRun, p.endRun})
        w->show();
    p.wholeRun->setEnabled(true);
    wholeRun->showRun(&live, &liveSeries);
    showNextUnit();
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
        inReview && !reviewRow
            ? QFileInfo(reviewSource).completeBaseName()
            : QStringLiteral("run-") + (inReview ? reviewStarted : liveStarted)
                                           .toString(QStringLiteral("yyyyMMddHHmmss"));
    return QDir(p.flagDirectory()).absoluteFilePath(base + suffix);
}

bool RunPanel::savePlot(const QString& path, bool pdf) {
    QCustomPlot* plot = shownPlot();
    QCPTextElement* band = plot == p.livePlot ? liveBand : runBand;
    band->setText(shownSummary().plainText() + QLatin1Char('\n') + p.source->text());
    const bool ok = writeFile(path, [plot, pdf](QIODevice& out) {
        return pdf ? writePdf(plot, out) : writePng(plot, out);
    });
    band->setText(QString());
    plot->replot(QCustomPlot::rpQueuedReplot);
    return ok;
}

bool RunPanel::exportRun(const QString& path) {
    return writeFile(path, [this](QIODevice& out) {
        return RunCsv::write(out, inReview ? review : live, inReview ? reviewStarted : liveStarted,
                             inReview ? reviewUnit : liveIdentity);
    });
}

RunReport::Look RunPanel::look() const {
    RunReport::Look look;
    look.scale = scale;
    if (!reference.isEmpty()) {
        look.reference = &reference;
        look.referenceName = referenceName;
    }
    return look;
}

bool RunPanel::exportReport(const QString& path) {
    if (!inReview)
        return RunReport::write(
            path,
            {liveIdentity, liveStarted, &live, &liveTotals, liveSource, &liveSeries, QString()},
            p.livePlot, look());
    RunReport::Run run{reviewUnit, reviewStarted, &review, &reviewTotals, reviewSource};
    if (reviewRow) {
        run.flagFile = reviewRow->flagFile;
        run.series = &reviewSeries;
        run.readFrom = QStringLiteral("the results database");
    }
    return RunReport::write(path, run, p.livePlot, look());
}

QString RunPanel::exportStoredReport(const StoredRun& stored, const QString& path) {
    if (stored.series.isEmpty())
        return reportOfFlagFile(stored, path);
    const RunSummary summary = storedSummary(stored.series, stored.row, limits);
    const RunStore store = stored.series.toStore();
    const RunReport::Run run{stored.row.unit(),
                             stored.row.startedAt.toLocalTime(),
                             &store,
                             &summary,
                             stored.row.flagFile,
                             &stored.series,
                             QStringLiteral("the results database")};
    return RunReport::write(path, run, p.livePlot, look())
               ? QString()
               : QStringLiteral("%1 cannot be written.").arg(QDir::toNativeSeparators(path));
}

// A run stored before its series was: its flag file read again.
QString RunPanel::reportOfFlagFile(const StoredRun& stored, const QString& path) {
    RunFileLoader::Result read;
    RunSummary summary;
    summary.setLimits(limits);
    if (!RunLoading::load(stored.row.flagFile, p.window, &read, &summary))
        return read.error.isEmpty()
                   ? QStringLiteral("Cancelled.")
                   : QStringLiteral("%1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(stored.row.flagFile), read.error);
    const RunReport::Run run{stored.row.unit(),
                             stored.row.startedAt.toLocalTime(),
                             &read.run,
                             &summary,
                             stored.row.flagFile,
                             nullptr,
                             QString()};
    return RunReport::write(path, run, p.livePlot, look())
               ? QString()
               : QStringLiteral("%1 cannot be written.").arg(QDir::toNativeSeparators(path));
}

void RunPanel::setReference(const StoredRun& run) {
    reference = run.series;
    referenceName = reference.isEmpty()
                        ? QString()
                        : QStringLiteral("Reference: unit %1, %2")
                              .arg(run.row.unit().unit(), run.row.startedAt.toLocalTime().toString(
                                                              QStringLiteral("yyyy-MM-dd HH:mm")));
    wholeRun->setReference(reference.isEmpty() ? nullptr : &reference, referenceName);
}

void RunPanel::writeEndReport() {
    const QString base = liveStarted.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QLatin1Char('_') + fileNamePart(liveIdentity.unit());
    const RunReport::Run run{liveIdentity, liveStarted, &live,    &liveTotals,
                             liveSource,   &liveSeries, QString()};
    QString why = QStringLiteral("no folder for reports");
    for (const QDir& folder : p.reportFolders ? p.reportFolders() : QList<QDir>()) {
        // Created new, never over a file (or a link) that is there.
        for (int n = 1; n <= 100; ++n) {
            const QString path =
                folder.absoluteFilePath(base + (n == 1 ? QString() : QStringLiteral("_%1").arg(n)) +
                                        QStringLiteral("-report.pdf"));
            QFile file(path);
            if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
                continue;
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                why = file.errorString();
                break;
            }
            if (RunReport::write(file, run, p.livePlot, look()) && file.flush()) {
                file.close();
                if (file.error() == QFileDevice::NoError) {
                    writeLogLine(QStringLiteral("Report written: ") +
                                 QDir::toNativeSeparators(path));
                    p.statusBar->showMessage(QStringLiteral("Report written to ") +
                                             QDir::toNativeSeparators(path));
                    return;
                }
            }
            why = file.errorString();
            file.remove();
            break;
        }
    }
    qCWarning(dk61Flags) << "report not written:" << why;
    writeLogLine(QStringLiteral("Report not written: ") + why);
    p.statusBar->showMessage(QStringLiteral("The run's report could not be written: ") + why);
}

void RunPanel::saveChosen(const QString& title, const QString& suffix, const QString& filter,
                          const std::function<bool(const QString&)>& write) {
    const QString path = chooseSaveFile(p.window, title, suggestedPath(suffix), filter);
    if (path.isEmpty())
        return;
    const QString refused = ProgramFolders::refusal(path);
    if (!refused.isEmpty())
        PlainText::warn(p.window, title, QStringLiteral("Not written: %1").arg(refused));
    else if (!write(path))
        PlainText::warn(
            p.window, title,
            QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
}

void RunPanel::savePngChosen() {
    saveChosen(QStringLiteral("Save Plot as PNG"), QStringLiteral(".png"),
               QStringLiteral("PNG images (*.png)"),
               [this](const QString& path) { return savePlot(path, false); });
}

void RunPanel::savePdfChosen() {
    saveChosen(QStringLiteral("Save Plot as PDF"), QStringLiteral(".pdf"),
               QStringLiteral("PDF documents (*.pdf)"),
               [this](const QString& path) { return savePlot(path, true); });
}

void RunPanel::exportCsvChosen() {
    saveChosen(QStringLiteral("Export Run as CSV"), QStringLiteral(".csv"),
               QStringLiteral("CSV files (*.csv)"),
               [this](const QString& path) { return exportRun(path); });
}

void RunPanel::exportReportChosen() {
    // While a run goes on, the one that ended before it may be the one wanted.
    bool ofLastEnded = false;
    if (!inReview && !liveEnded && lastEnded) {
        const QString dateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
        const int chosen = chooseReportRun(
            p.window,
            QStringLiteral("%1, since %2").arg(liveIdentity.text(), liveStarted.toString(dateTime)),
            QStringLiteral("%1, started %2, %3 records")
                .arg(lastEnded->unit.text(), lastEnded->started.toString(dateTime),
                     lastEnded->summary.recordsText()));
        if (chosen < 0)
            return;
        ofLastEnded = chosen == 1;
    }
    const QString suggested =
        ofLastEnded
            ? QDir(p.flagDirectory())
                  .absoluteFilePath(QStringLiteral("run-") +
                                    lastEnded->started.toString(QStringLiteral("yyyyMMddHHmmss")) +
                                    QStringLiteral("-report.pdf"))
            : suggestedPath(QStringLiteral("-report.pdf"));
    const QString path = chooseSaveFile(p.window, QStringLiteral("Export Report"), suggested,
                                        QStringLiteral("PDF documents (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString refused = ProgramFolders::refusal(path);
    if (!refused.isEmpty()) {
        PlainText::warn(p.window, QStringLiteral("Export Report"),
                        QStringLiteral("Not written: %1").arg(refused));
        return;
    }
    bool ok = false;
    if (ofLastEnded) {
        const EndedRun& e = *lastEnded;
        ok = RunReport::write(
            path, {e.unit, e.started, &e.store, &e.summary, e.source, &e.series, QString()},
            p.livePlot, look());
    } else {
        ok = exportReport(path);
    }
    if (!ok)
        PlainText::warn(
            p.window, QStringLiteral("Export Report"),
            QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
}
