#include "flags/runpanel.h"

#include "board/statuswording.h"
#include "common/plaintext.h"
#include "flags/flaginterval.h"
#include "flags/runsession.h"
#include "flags/summaryband.h"
#include "flags/wholerunplot.h"
#include "ui_flagspage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
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

void showTip(QWidget* widget, const QString& tip) {
    if (widget->toolTip() != tip)
        widget->setToolTip(tip);
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

} // namespace

std::array<QLabel*, 5> RunPanel::totals() const {
    return {ui.labelTotalC1, ui.labelTotalC1U, ui.labelTotalC2, ui.labelTotalC2U,
            ui.labelTotalInterp};
}

std::array<QLabel*, 5> RunPanel::maxima() const {
    return {ui.labelMaxC1, ui.labelMaxC1U, ui.labelMaxC2, ui.labelMaxC2U, ui.labelMaxInterp};
}

std::array<QLabel*, 5> RunPanel::averages() const {
    return {ui.labelAvgC1, ui.labelAvgC1U, ui.labelAvgC2, ui.labelAvgC2U, ui.labelAvgInterp};
}

std::array<QLabel*, 5> RunPanel::overLimit() const {
    return {ui.labelOverC1, ui.labelOverC1U, ui.labelOverC2, ui.labelOverC2U, ui.labelOverInterp};
}

std::array<QCheckBox*, 5> RunPanel::curves() const {
    return {ui.checkBoxC1, ui.checkBoxC1U, ui.checkBoxC2, ui.checkBoxC2U, ui.checkBoxInterpol};
}

RunPanel::RunPanel(RunSession& session, Ui::FlagsPage& page, QStatusBar* statusBar,
                   std::function<int()> reportedInterval, QObject* parent)
    : QObject(parent), session(session), ui(page), reportedInterval(std::move(reportedInterval)) {
    // The whole-run plot on the live one's place, the summary over the band below their curves.
    wholeRun = new WholeRunPlot(ui.customPlotRun, ui.customPlot, this);
    ui.customPlotRun->hide();
    ui.customPlot->installEventFilter(this);
    placeOverPlot();
    ui.frameRunSummary->raise();
    ui.labelFileWarning->raise();
    ui.labelRunSource->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (ui.labelFileWarning->text().isEmpty())
        ui.labelFileWarning->hide();
    ui.buttonBackToLive->hide();
    for (int k = 0; k < 5; ++k) {
        liveLimitLines[size_t(k)] = new QCPItemStraightLine(ui.customPlot);
        runLimitLines[size_t(k)] = new QCPItemStraightLine(ui.customPlotRun);
    }
    updateLimitLines();

    // What each value is, for screen readers (their names are the values).
    const QString flagHeads[5] = {"C1", "uncorr. C1", "C2", "uncorr. C2", "interpol."};
    const std::array<QLabel*, 5> rows[4] = {totals(), maxima(), averages(), overLimit()};
    const QString rowHeads[4] = {"Total", "Maximum", "Average", "Over limit"};
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 5; ++k)
            rows[r][size_t(k)]->setAccessibleDescription(rowHeads[r] + QLatin1Char(' ') +
                                                         flagHeads[k]);
    }
    for (QLabel* label : ui.frameRunSummary->findChildren<QLabel*>())
        label->setAccessibleName(label->text());
    for (QAbstractButton* button : ui.frameRunSummary->findChildren<QAbstractButton*>())
        button->setAccessibleName(button->text());
    ui.lineEditUnitId->setAccessibleName(QStringLiteral("Unit ID"));
    ui.lineEditUnitId->setMaxLength(UnitIdentity::TypedLength);
    ui.labelRunUnit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    ui.labelRunStandard->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    intervalLabel = new QLabel(statusBar);
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    statusBar->insertPermanentWidget(3, intervalLabel);
    showInterval();

    // The operator's word goes to the session.
    session.setTypedId(ui.lineEditUnitId->text());
    session.setChosenInterval(ui.comboCFLAGInterval->currentIndex() + 1);
    connect(ui.lineEditUnitId, &QLineEdit::textChanged, &session, &RunSession::setTypedId);
    connect(ui.lineEditUnitId, &QLineEdit::editingFinished, &session, &RunSession::typedIdDone);
    connect(ui.comboCFLAGInterval, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { this->session.setChosenInterval(index + 1); });
    connect(ui.comboCFLAGInterval, QOverload<int>::of(&QComboBox::activated), this,
            &RunPanel::showInterval);
    connect(ui.buttonNewRun, &QPushButton::clicked, this,
            [this] { this->session.newRun(ui.checkBoxClearUnitId->isChecked()); });
    connect(ui.buttonStartRun, &QPushButton::clicked, this,
            [this] { this->session.startChosen(ui.checkBoxClearUnitId->isChecked()); });
    connect(ui.buttonEndRun, &QPushButton::clicked, &session, &RunSession::endChosen);
    connect(ui.buttonBackToLive, &QPushButton::clicked, &session, &RunSession::backToLive);
    connect(ui.buttonPauseLive, &QPushButton::toggled, this, &RunPanel::setPaused);
    connect(ui.buttonWholeRun, &QPushButton::toggled, this, &RunPanel::showWholeRun);
    for (QCheckBox* box : curves())
        connect(box, &QCheckBox::toggled, this, &RunPanel::updateCurveVisibility);

    // What the session holds, on the page.
    connect(&session, &RunSession::changed, this, &RunPanel::showSummary);
    connect(&session, &RunSession::runStarted, this, [this] {
        if (!inReview)
            wholeRun->showRun(&this->session.live().store, &this->session.live().series);
    });
    connect(&session, &RunSession::recordTaken, this, [this] {
        if (!inReview)
            wholeRun->runGrew();
    });
    connect(&session, &RunSession::reviewOpened, this, &RunPanel::reviewOpened);
    connect(&session, &RunSession::reviewClosed, this, &RunPanel::reviewClosed);
    connect(&session, &RunSession::limitsChanged, this, &RunPanel::updateLimitLines);
    connect(&session, &RunSession::referenceChanged, this, [this] {
        const RunSeries& reference = this->session.reference();
        wholeRun->setReference(reference.isEmpty() ? nullptr : &reference,
                               this->session.referenceName());
    });
    connect(&session, &RunSession::typedIdCleared, ui.lineEditUnitId, &QLineEdit::clear);
    ui.labelNextUnit->hide();
    if (session.live().started.isValid())
        showSummary();
}

// ---------------------------------------------------------------------------------------------
// Layout

void RunPanel::placeOverPlot() {
    const QRect plot = ui.customPlot->geometry();
    ui.customPlotRun->setGeometry(plot);
    ui.frameRunSummary->setGeometry(
        plot.x(), plot.y() + plot.height() - SummaryBand::Height - SummaryBand::SliderOverlap,
        plot.width(), SummaryBand::Height);
}

bool RunPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.customPlot &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeOverPlot();
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Plots

void RunPanel::setScale(const FlagScale& chosen) {
    scale = chosen;
    wholeRun->setScale(scale);
    updateLimitLines();
}

bool RunPanel::livePaused() const {
    return ui.buttonPauseLive->isChecked();
}

void RunPanel::setPaused(bool paused) {
    QPushButton* button = ui.buttonPauseLive;
    button->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    button->setAccessibleName(button->text());
    // The curves take the records that arrived meanwhile.
    if (!paused)
        emit liveResumed();
}

void RunPanel::showWholeRun(bool shown) {
    ui.customPlot->setVisible(!shown);
    ui.customPlotRun->setVisible(shown);
    ui.frameRunSummary->raise();
    ui.labelFileWarning->raise();
    ui.status_description_spdif_label->raise();
    if (shown) {
        updateCurveVisibility();
        wholeRun->fit();
        wholeRun->redraw();
    }
}

void RunPanel::updateCurveVisibility() {
    for (int k = 0; k < 5; ++k)
        ui.customPlotRun->graph(k)->setVisible(curves()[size_t(k)]->isChecked());
    if (ui.customPlotRun->isVisible())
        ui.customPlotRun->replot(QCustomPlot::rpQueuedReplot);
}

void RunPanel::updateLimitLines() {
    const FlagLimits& limits = session.limits();
    for (QCustomPlot* plot : {ui.customPlot, ui.customPlotRun}) {
        auto& lines = plot == ui.customPlot ? liveLimitLines : runLimitLines;
        for (int k = 0; k < 5; ++k) {
            QCPItemStraightLine* line = lines[size_t(k)];
            const auto& limit = limits.percent[size_t(k)];
            line->setVisible(bool(limit));
            if (!limit)
                continue;
            QPen pen(ui.customPlot->graph(k)->pen().color());
            pen.setStyle(Qt::DashLine);
            line->setPen(pen);
            line->point1->setCoords(0.0, scale.fromPercent(*limit));
            line->point2->setCoords(1.0, scale.fromPercent(*limit));
        }
        plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

// ---------------------------------------------------------------------------------------------
// The summary, the units and the run buttons

void RunPanel::showSummary() {
    const RunSummary& s = session.shown().summary;
    for (int k = 0; k < 5; ++k) {
        showText(totals()[size_t(k)], s.totalText(k));
        showText(maxima()[size_t(k)], s.maximumText(k));
        showText(averages()[size_t(k)], s.averageText(k));
        showText(overLimit()[size_t(k)], s.overLimitText(k));
    }
    showText(ui.labelRunLength, s.lengthText());
    showText(ui.labelRunRecords, s.recordsText());
    showText(ui.labelRunTroubled, s.troubledText());
    showVerdict(ui.labelRunVerdict, s.verdictText(), s.verdict());
    showVerdict(ui.labelRunStandard, s.standardText(), s.standard());
    showText(ui.labelRunBler, s.blerText());
    showText(ui.labelRunE32, s.e32Text());
    showText(ui.labelRunUnit, session.shown().unit.details());
    showTip(ui.labelRunUnit, PlainText::tip(ui.labelRunUnit->text()));
    showTip(ui.labelRunStandard, PlainText::tip(ui.labelRunStandard->text()));
    const QString source = session.sourceText();
    showText(ui.labelRunSource, source);
    showTip(ui.labelRunSource, PlainText::tip(source));

    const std::optional<UnitIdentity> next = session.waitingUnit();
    showText(ui.labelNextUnit, next ? QStringLiteral("Next unit: ") + next->unit() : QString());
    showTip(ui.labelNextUnit, next ? QStringLiteral("Next unit: ") + next->details() : QString());
    ui.labelNextUnit->setVisible(bool(next));

    ui.buttonStartRun->setEnabled(!session.runGoing());
    ui.buttonEndRun->setEnabled(session.runGoing());
}

void RunPanel::showInterval() {
    // Called for every record: the label's text is made again only when what it tells changed.
    const int reported = reportedInterval ? reportedInterval() : 0;
    const int chosen = ui.comboCFLAGInterval->currentIndex() + 1;
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

void RunPanel::reviewOpened() {
    for (QWidget* b : std::initializer_list<QWidget*>{ui.buttonNewRun, ui.buttonPauseLive,
                                                      ui.buttonStartRun, ui.buttonEndRun})
        b->hide();
    ui.buttonBackToLive->show();
    if (!inReview)
        wholeRunBeforeReview = ui.buttonWholeRun->isChecked();
    ui.buttonWholeRun->setChecked(true);
    ui.buttonWholeRun->setEnabled(false);
    inReview = true;
    const RunSession::Run& run = session.shown();
    wholeRun->showRun(&run.store, run.series.isEmpty() ? nullptr : &run.series);
    showWholeRun(true);
}

void RunPanel::reviewClosed() {
    inReview = false;
    ui.buttonBackToLive->hide();
    for (QWidget* b : std::initializer_list<QWidget*>{ui.buttonNewRun, ui.buttonPauseLive,
                                                      ui.buttonStartRun, ui.buttonEndRun})
        b->show();
    ui.buttonWholeRun->setEnabled(true);
    wholeRun->showRun(&session.live().store, &session.live().series);
    ui.buttonWholeRun->setChecked(wholeRunBeforeReview);
    showWholeRun(wholeRunBeforeReview);
}
