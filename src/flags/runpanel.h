#ifndef RUNPANEL_H
#define RUNPANEL_H

#include "flaglimits.h"
#include "flagscale.h"
#include "runstore.h"
#include "runsummary.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>

class CFlags;
class QAction;
class QCheckBox;
class QComboBox;
class QCPItemStraightLine;
class QCPTextElement;
class QCustomPlot;
class QLabel;
class QPushButton;
class QStatusBar;
class QWidget;
class WholeRunPlot;

// The flag page's run: the summary under the plot, the limit lines, pause of the live plot, the
// whole-run view, export of the plot and the run, the review of a saved file, the interval the
// board reports in the status bar and the link's comings and goings in the log file and the run.
// The arithmetic is the run's (RunStore, RunSummary); this puts it on the page.
//
// A run starts when the flag file is created (and with "New run") and lasts until the next; the
// slider and the interval, which restart the live plot, leave it alone.
class RunPanel : public QObject {
    Q_OBJECT

public:
    // How often the summary's labels follow the records at most.
    static constexpr int SummaryIntervalMs = 500;
    // The summary's band under the curves of both plots, in pixels.
    static constexpr int BandHeight = 100;
    static constexpr int SliderOverlap = 6;

    // What the panel works on, handed over by the window: the flag page's widgets, the menu
    // actions and the status bar, and what the panel asks the window for.
    struct Parts {
        QWidget* window = nullptr; // parent of the message boxes and file choosers
        QStatusBar* statusBar = nullptr;
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
        QLabel* source = nullptr;
        QPushButton* newRun = nullptr;
        QPushButton* backToLive = nullptr;
        QPushButton* pauseLive = nullptr;
        QPushButton* wholeRun = nullptr;
        QAction* openFlagFile = nullptr;
        QAction* savePng = nullptr;
        QAction* savePdf = nullptr;
        QAction* exportCsv = nullptr;
        std::array<QCheckBox*, 5> curves{};          // which flags are drawn
        QComboBox* interval = nullptr;               // the interval the operator chose
        std::function<qint64()> elapsedMs;           // the session clock
        std::function<void(const QString&)> logLine; // a line into the log file
        std::function<void()> redrawLive;            // the live curves take the records they missed
        std::function<int()> reportedInterval; // the board's setting; 0: none since the link opened
        std::function<QString()> flagDirectory; // where the file choosers start
    };

    explicit RunPanel(const Parts& parts, QObject* parent = nullptr);
    ~RunPanel() override;

    // Asks for a file to open / to save (caption, suggested path, filter); an empty answer means
    // cancelled. Replaceable so that the window can be driven without a modal chooser.
    using FileChooser =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    FileChooser chooseOpenFile;
    FileChooser chooseSaveFile;

    // ---- the live run ----
    // A new run; `source` is its flag file (empty: none).
    void startRun(const QString& source);
    void recordAdded(const CFlags& record, int setting);
    void setLimits(const FlagLimits& limits);
    // The live plot's unit and scale, for the whole-run plot and the limit lines.
    void setScale(const FlagScale& scale);
    const RunStore& liveRun() const { return live; }
    const RunSummary& liveSummary() const { return liveTotals; }
    bool livePaused() const;
    // The link to the flag board opened / went down: a line in the log file, a gap in the run.
    void linkUp(const QString& port, int baud);
    void linkDown(const QString& port, const QString& reason);
    // The status bar's interval label, from the board's last report and the operator's choice.
    void showInterval();
    QLabel* intervalLabel = nullptr;

    // ---- review of a saved flag file (or an exported run) ----
    bool openRun(const QString& path);
    void backToLive();
    bool reviewing() const { return inReview; }
    const RunSummary& shownSummary() const { return inReview ? reviewTotals : liveTotals; }

    // ---- export ----
    // The plot shown (live or whole run) as PNG / PDF with the summary under it; the run shown
    // as CSV. False when the file could not be written.
    bool savePlot(const QString& path, bool pdf);
    bool exportRun(const QString& path);
    QCustomPlot* shownPlot() const;

    WholeRunPlot* wholeRun = nullptr;

public slots:
    void newRun();
    void openRunChosen();
    void savePngChosen();
    void savePdfChosen();
    void exportCsvChosen();

private:
    void showSummary();
    void scheduleSummary();
    void showWholeRun(bool shown);
    void setPaused(bool paused);
    void placeOverPlot();
    void updateLimitLines();
    void updateCurveVisibility();
    void reserveBand(QCustomPlot* plot, QCPTextElement** band);
    void writeLinkLine(const QString& text);
    QString suggestedPath(const QString& suffix) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Parts p;
    RunStore live;
    RunSummary liveTotals;
    QDateTime liveStarted;
    qint64 liveStartMs = 0;
    QString liveSource;

    RunStore review;
    RunSummary reviewTotals;
    QDateTime reviewStarted;
    QString reviewSource;
    qint64 reviewSkipped = 0;
    bool inReview = false;
    bool wholeRunBeforeReview = false;

    FlagLimits limits;
    FlagScale scale;
    QTimer summaryTimer;
    bool linkIsUp = false;
    bool linkWentDown = false;
    QString shownInterval;

    QCPTextElement* liveBand = nullptr;
    QCPTextElement* runBand = nullptr;
    std::array<QCPItemStraightLine*, 5> liveLimitLines{};
    std::array<QCPItemStraightLine*, 5> runLimitLines{};
};

#endif // RUNPANEL_H
