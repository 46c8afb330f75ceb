#ifndef RUNPANEL_H
#define RUNPANEL_H

#include "flags/flagscale.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QCPItemStraightLine;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWidget;
class RunSession;
class WholeRunPlot;

// The flag page's view of the run session: the summary under the plot with both verdicts and the
// unit, the next unit waiting, the run buttons, the limit lines on both plots, pause of the live
// plot, the whole-run view in the live plot's place (for a review as well) and, in the status
// bar, the interval the board reports. What it shows is the session's; the buttons and the unit
// ID go to the session.
class RunPanel : public QObject {
    Q_OBJECT

public:
    // The flag page's widgets it works on.
    struct Widgets {
        QCustomPlot* livePlot = nullptr;
        QCustomPlot* runPlot = nullptr;
        QWidget* summary = nullptr; // the frame of the summary's labels and buttons
        QLabel* fileWarning = nullptr;
        QLabel* spdifMessage = nullptr;
        std::array<QLabel*, 5> totals{};
        std::array<QLabel*, 5> maxima{};
        std::array<QLabel*, 5> averages{};
        std::array<QLabel*, 5> overLimit{};
        QLabel* length = nullptr;
        QLabel* records = nullptr;
        QLabel* troubled = nullptr;
        QLabel* verdict = nullptr;
        QLabel* standard = nullptr; // the CD standard's verdict, its BLER and E32
        QLabel* bler = nullptr;
        QLabel* e32 = nullptr;
        QLabel* unit = nullptr;
        QLabel* nextUnit = nullptr;       // the unit the next run will take, when another
        QLineEdit* unitId = nullptr;      // typed by the operator when no board names itself
        QCheckBox* clearUnitId = nullptr; // "New run" empties the unit ID
        QLabel* source = nullptr;
        QPushButton* newRun = nullptr;
        QPushButton* startRun = nullptr;
        QPushButton* endRun = nullptr;
        QPushButton* backToLive = nullptr;
        QPushButton* pauseLive = nullptr;
        QPushButton* wholeRun = nullptr;
        std::array<QCheckBox*, 5> curves{}; // which flags are drawn
        QComboBox* interval = nullptr;      // the interval the operator chose
    };

    // `reportedInterval`: the interval setting the board reports, 0 while none was reported since
    // the link opened.
    RunPanel(RunSession& session, const Widgets& widgets, QStatusBar* statusBar,
             std::function<int()> reportedInterval, QObject* parent = nullptr);

    // The live plot's unit and scale, for the whole-run plot and the limit lines.
    void setScale(const FlagScale& scale);
    bool livePaused() const;
    // The status bar's interval label, from the board's last report and the operator's choice.
    void showInterval();
    WholeRunPlot* wholeRunPlot() const { return wholeRun; }

signals:
    // The live plot was resumed: its curves take the records they missed.
    void liveResumed();

private:
    void showSummary();
    void showWholeRun(bool shown);
    void setPaused(bool paused);
    void placeOverPlot();
    void updateLimitLines();
    void updateCurveVisibility();
    void reviewOpened();
    void reviewClosed();
    bool eventFilter(QObject* watched, QEvent* event) override;

    RunSession& session;
    Widgets w;
    std::function<int()> reportedInterval;
    WholeRunPlot* wholeRun = nullptr;
    QLabel* intervalLabel = nullptr;
    FlagScale scale;
    bool inReview = false;
    bool wholeRunBeforeReview = false;
    QString shownInterval;
    int shownReported = -1; // what the interval label was made from
    int shownChosen = -1;
    std::array<QCPItemStraightLine*, 5> liveLimitLines{};
    std::array<QCPItemStraightLine*, 5> runLimitLines{};
};

#endif // RUNPANEL_H
