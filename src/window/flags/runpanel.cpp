#include "flags/runpanel.h"

#include "board/statuswording.h"
#include "common/plaintext.h"
#include "flags/flaginterval.h"
#include "flags/runsession.h"
#include "flags/summaryband.h"
#include "flags/wholerunplot.h"

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

RunPanel::RunPanel(RunSession& session, const Widgets& widgets, QStatusBar* statusBar,
                   std::function<int()> reportedInterval, QObject* parent)
    : QObject(parent), session(session), w(widgets), reportedInterval(std::move(reportedInterval)) {
    // The whole-run plot on the live one's place, the summary over the band below their curves.
    wholeRun = new WholeRunPlot(w.runPlot, w.livePlot, this);
    w.runPlot->hide();
    w.livePlot->installEventFilter(this);
    placeOverPlot();
    w.summary->raise();
    w.fileWarning->raise();
    w.source->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (w.fileWarning->text().isEmpty())
        w.fileWarning->hide();
    w.backToLive->hide();
    for (int k = 0; k < 5; ++k) {
        liveLimitLines[size_t(k)] = new QCPItemStraightLine(w.livePlot);
        runLimitLines[size_t(k)] = new QCPItemStraightLine(w.runPlot);
    }
    updateLimitLines();

    // What each value is, for screen readers (their names are the values).
    const QString flagHeads[5] = {"C1", "uncorr. C1", "C2", "uncorr. C2", "interpol."};
    const std::array<QLabel*, 5>* const rows[4] = {&w.totals, &w.maxima, &w.averages, &w.overLimit};
    const QString rowHeads[4] = {"Total", "Maximum", "Average", "Over limit"};
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 5; ++k)
            (*rows[r])[size_t(k)]->setAccessibleDescription(rowHeads[r] + QLatin1Char(' ') +
                                                            flagHeads[k]);
    }
    for (QLabel* label : w.summary->findChildren<QLabel*>())
        label->setAccessibleName(label->text());
    for (QAbstractButton* button : w.summary->findChildren<QAbstractButton*>())
        button->setAccessibleName(button->text());
    w.unitId->setAccessibleName(QStringLiteral("Unit ID"));
    w.unitId->setMaxLength(UnitIdentity::TypedLength);
    w.unit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    w.standard->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    intervalLabel = new QLabel(statusBar);
    intervalLabel->setObjectName(QStringLiteral("intervalLabel"));
    statusBar->insertPermanentWidget(3, intervalLabel);
    showInterval();

    // The operator's word goes to the session.
    session.setTypedId(w.unitId->text());
    session.setChosenInterval(w.interval->currentIndex() + 1);
    connect(w.unitId, &QLineEdit::textChanged, &session, &RunSession::setTypedId);
    connect(w.unitId, &QLineEdit::editingFinished, &session, &RunSession::typedIdDone);
    connect(w.interval, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { this->session.setChosenInterval(index + 1); });
    connect(w.interval, QOverload<int>::of(&QComboBox::activated), this, &RunPanel::showInterval);
    connect(w.newRun, &QPushButton::clicked, this,
            [this] { this->session.newRun(w.clearUnitId->isChecked()); });
    connect(w.startRun, &QPushButton::clicked, this,
            [this] { this->session.startChosen(w.clearUnitId->isChecked()); });
    connect(w.endRun, &QPushButton::clicked, &session, &RunSession::endChosen);
    connect(w.backToLive, &QPushButton::clicked, &session, &RunSession::backToLive);
    connect(w.pauseLive, &QPushButton::toggled, this, &RunPanel::setPaused);
    connect(w.wholeRun, &QPushButton::toggled, this, &RunPanel::showWholeRun);
    for (QCheckBox* box : w.curves)
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
    connect(&session, &RunSession::typedIdCleared, w.unitId, &QLineEdit::clear);
    w.nextUnit->hide();
    if (session.live().started.isValid())
        showSummary();
}

// ---------------------------------------------------------------------------------------------
// Layout

void RunPanel::placeOverPlot() {
    const QRect plot = w.livePlot->geometry();
    w.runPlot->setGeometry(plot);
    w.summary->setGeometry(
        plot.x(), plot.y() + plot.height() - SummaryBand::Height - SummaryBand::SliderOverlap,
        plot.width(), SummaryBand::Height);
}

bool RunPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w.livePlot && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
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
    return w.pauseLive->isChecked();
}

void RunPanel::setPaused(bool paused) {
    QPushButton* button = w.pauseLive;
    button->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    button->setAccessibleName(button->text());
    // The curves take the records that arrived meanwhile.
    if (!paused)
        emit liveResumed();
}

void RunPanel::showWholeRun(bool shown) {
    w.livePlot->setVisible(!shown);
    w.runPlot->setVisible(shown);
    w.summary->raise();
    w.fileWarning->raise();
    w.spdifMessage->raise();
    if (shown) {
        updateCurveVisibility();
        wholeRun->fit();
        wholeRun->redraw();
    }
}

void RunPanel::updateCurveVisibility() {
    for (int k = 0; k < 5; ++k)
        w.runPlot->graph(k)->setVisible(w.curves[size_t(k)]->isChecked());
    if (w.runPlot->isVisible())
        w.runPlot->replot(QCustomPlot::rpQueuedReplot);
}

void RunPanel::updateLimitLines() {
    const FlagLimits& limits = session.limits();
    for (QCustomPlot* plot : {w.livePlot, w.runPlot}) {
        auto& lines = plot == w.livePlot ? liveLimitLines : runLimitLines;
        for (int k = 0; k < 5; ++k) {
            QCPItemStraightLine* line = lines[size_t(k)];
            const auto& limit = limits.percent[size_t(k)];
            line->setVisible(bool(limit));
            if (!limit)
                continue;
            QPen pen(w.livePlot->graph(k)->pen().color());
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
        showText(w.totals[size_t(k)], s.totalText(k));
        showText(w.maxima[size_t(k)], s.maximumText(k));
        showText(w.averages[size_t(k)], s.averageText(k));
        showText(w.overLimit[size_t(k)], s.overLimitText(k));
    }
    showText(w.length, s.lengthText());
    showText(w.records, s.recordsText());
    showText(w.troubled, s.troubledText());
    showVerdict(w.verdict, s.verdictText(), s.verdict());
    showVerdict(w.standard, s.standardText(), s.standard());
    showText(w.bler, s.blerText());
    showText(w.e32, s.e32Text());
    showText(w.unit, session.shown().unit.details());
    showTip(w.unit, PlainText::tip(w.unit->text()));
    showTip(w.standard, PlainText::tip(w.standard->text()));
    const QString source = session.sourceText();
    showText(w.source, source);
    showTip(w.source, PlainText::tip(source));

    const std::optional<UnitIdentity> next = session.waitingUnit();
    showText(w.nextUnit, next ? QStringLiteral("Next unit: ") + next->unit() : QString());
    showTip(w.nextUnit, next ? QStringLiteral("Next unit: ") + next->details() : QString());
    w.nextUnit->setVisible(bool(next));

    w.startRun->setEnabled(!session.runGoing());
    w.endRun->setEnabled(session.runGoing());
}

void RunPanel::showInterval() {
    // Called for every record: the label's text is made again only when what it tells changed.
    const int reported = reportedInterval ? reportedInterval() : 0;
    const int chosen = w.interval->currentIndex() + 1;
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
    for (QWidget* b : std::initializer_list<QWidget*>{w.newRun, w.pauseLive, w.startRun, w.endRun})
        b->hide();
    w.backToLive->show();
    if (!inReview)
        wholeRunBeforeReview = w.wholeRun->isChecked();
    w.wholeRun->setChecked(true);
    w.wholeRun->setEnabled(false);
    inReview = true;
    const RunSession::Run& run = session.shown();
    wholeRun->showRun(&run.store, run.series.isEmpty() ? nullptr : &run.series);
    showWholeRun(true);
}

void RunPanel::reviewClosed() {
    inReview = false;
    w.backToLive->hide();
    for (QWidget* b : std::initializer_list<QWidget*>{w.newRun, w.pauseLive, w.startRun, w.endRun})
        b->show();
    w.wholeRun->setEnabled(true);
    wholeRun->showRun(&session.live().store, &session.live().series);
    w.wholeRun->setChecked(wholeRunBeforeReview);
    showWholeRun(wholeRunBeforeReview);
}
