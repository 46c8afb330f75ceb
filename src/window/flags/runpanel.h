#ifndef RUNPANEL_H
#define RUNPANEL_H

#include "flags/flaglimits.h"
#include "flags/flagscale.h"
#include "flags/runreport.h"
#include "flags/runseries.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "flags/unitidentity.h"
#include "runresult.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>

class CFlags;
class QAction;
class QCheckBox;
class QComboBox;
class QCPItemStraightLine;
class QCPTextElement;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWidget;
class WholeRunPlot;

// The flag page's run: the summary under the plot, the limit lines, pause of the live plot, the
// whole-run view, export of the plot and the run, the review of a saved file, the interval the
// board reports in the status bar and the link's comings and goings in the log file and the run.
// The arithmetic is the run's (RunStore, RunSummary); this puts it on the page.
//
// A run starts when the flag file is created, with "Start run" and with "New run" (each of which
// creates the next flag file while flag files are on), and when the operator chooses another
// interval (a run has one interval); it ends with "End run" (which closes its flag file), with
// the next start and when the window closes. An ended run stays on the page, its verdicts final,
// until the next starts; records that arrive meanwhile are plotted live but belong to no run. The
// slider and settings other than the flag file's leave a run alone. The log file notes every
// start and end with the unit.
//
// Each run carries the unit it measured, fixed once it has one: the DK-61 that named itself on the
// link, else the unit ID typed on the page when it started. An ID typed while a run goes names
// that run only while it has none; otherwise it waits, shown as "Next unit: ...", for the next
// run. With "Clear unit ID on New run" the ID of the run that ends is emptied before the next
// starts.
class RunPanel : public QObject {
    Q_OBJECT

public:
    // How often the summary's labels follow the records at most: once a second, the step of the
    // run's length they show (each change lays the summary's labels out again).
    static constexpr int SummaryIntervalMs = 1000;
    // The summary's band under the curves of both plots, in pixels.
    static constexpr int BandHeight = 124;
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
        QAction* openFlagFile = nullptr;
        QAction* savePng = nullptr;
        QAction* savePdf = nullptr;
        QAction* exportCsv = nullptr;
        QAction* exportReport = nullptr;
        std::array<QCheckBox*, 5> curves{};          // which flags are drawn
        QComboBox* interval = nullptr;               // the interval the operator chose
        std::function<qint64()> elapsedMs;           // the session clock
        std::function<void(const QString&)> logLine; // a line into the log file
        std::function<void()> redrawLive;            // the live curves take the records they missed
        std::function<int()> reportedInterval; // the board's setting; 0: none since the link opened
        std::function<QString()> flagDirectory; // where the file choosers start
        // Closes the flag file and creates the next one; its path, empty when flag files are off
        // (or none could be created).
        std::function<QString()> nextFlagFile;
        std::function<void()> closeFlagFile;
        // Whether a run's report is written when it ends, and the folders to write it to (the
        // first that takes it).
        std::function<bool()> reportAtEnd;
        std::function<QList<QDir>()> reportFolders;
    };

    explicit RunPanel(const Parts& parts, QObject* parent = nullptr);
    ~RunPanel() override;

    // Asks for a file to open / to save (caption, suggested path, filter); an empty answer means
    // cancelled. Replaceable so that the window can be driven without a modal chooser.
    using FileChooser =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    FileChooser chooseOpenFile;
    FileChooser chooseSaveFile;
    // Asks which run a report is made of, the run on the page or the last one ended (texts naming
    // each): 0, 1, or -1 when cancelled. Replaceable like the choosers.
    std::function<int(QWidget*, const QString& shown, const QString& lastEnded)> chooseReportRun;

    // ---- the live run ----
    // A new run; `source` is its flag file (empty: none). The run going on ends first.
    void startRun(const QString& source);
    // A record of the flag board, counted over `setting` with the disc at `at`; false when no
    // run goes on to take it.
    bool recordAdded(const CFlags& record, int setting,
                     const RunSeries::Position& at = RunSeries::Position());
    bool runGoing() const { return !liveEnded; }
    // The operator chose interval `setting`: another than the run's ends it and starts the next.
    void intervalChosen(int setting);
    // The window closes: the run going on ends.
    void finish() { endRun(); }
    void setLimits(const FlagLimits& limits);
    // The live plot's unit and scale, for the whole-run plot and the limit lines.
    void setScale(const FlagScale& scale);
    const RunStore& liveRun() const { return live; }
    const RunSummary& liveSummary() const { return liveTotals; }
    // The live run as the results database keeps a run (started, totals, unit, verdicts).
    RunResult liveResult() const;
    const UnitIdentity& liveUnit() const { return liveIdentity; }
    const RunSeries& liveCurve() const { return liveSeries; }
    // The DK-61 on the link named itself (its firmware and production record were read): the
    // run goes on with it, and so do the runs after it while the link stays up.
    void boardIdentified(const UnitIdentity& unit);
    bool livePaused() const;
    // The link to the flag board opened / went down: a line in the log file, a gap in the run.
    void linkUp(const QString& port, int baud);
    void linkDown(const QString& port, const QString& reason);
    // The status bar's interval label, from the board's last report and the operator's choice.
    void showInterval();
    QLabel* intervalLabel = nullptr;

    // ---- review of a saved flag file (or an exported run), or of a stored run ----
    // `unit`: the unit the results database names for the file's run (else the file's own).
    bool openRun(const QString& path, const UnitIdentity& unit = UnitIdentity());
    // A run of the results database, from its series (from its flag file while it has none).
    bool openStored(const StoredRun& run);
    void backToLive();
    bool reviewing() const { return inReview; }
    const RunSummary& shownSummary() const { return inReview ? reviewTotals : liveTotals; }

    // ---- export ----
    // The plot shown (live or whole run) as PNG / PDF with the summary under it; the run shown
    // as CSV. False when the file could not be written.
    bool savePlot(const QString& path, bool pdf);
    bool exportRun(const QString& path);
    // The run shown as a printable A4 PDF report.
    bool exportReport(const QString& path);
    // The report of a run of the results database, from its series (from its flag file while it
    // has none); empty when written, else why not.
    QString exportStoredReport(const StoredRun& run, const QString& path);
    // A stored run's C1 curve drawn grey behind the run shown, and in its reports; cleared by a
    // run without a series.
    void setReference(const StoredRun& run);
    bool hasReference() const { return !reference.isEmpty(); }
    QCustomPlot* shownPlot() const;
    WholeRunPlot* wholeRunPlot() const { return wholeRun; }

public slots:
    void newRun();
    void startRunChosen();
    void endRunChosen();
    void openRunChosen();
    void savePngChosen();
    void savePdfChosen();
    void exportCsvChosen();
    void exportReportChosen();

signals:
    // The live run for the results database: when it starts, when its summary, unit or limits
    // change (at most every SummaryIntervalMs while records arrive) and when the next run
    // replaces it or the window closes (then with `finished` set and `endedAt` the end).
    void runStarted(const RunResult& run);
    void runUpdated(const RunResult& run);
    void runEnded(const RunResult& run);

private:
    WholeRunPlot* wholeRun = nullptr;

    void showSummary();
    void scheduleSummary();
    void showWholeRun(bool shown);
    void setPaused(bool paused);
    void placeOverPlot();
    void updateLimitLines();
    void updateCurveVisibility();
    void reserveBand(QCustomPlot* plot, QCPTextElement** band);
    // A line into the log file after the session's time stamp.
    void writeLogLine(const QString& text);
    // A run begins with `unit` (the one a new run would take when null).
    void beginRun(const QString& source, const UnitIdentity* unit);
    // The live run ends (once): the log line, runEnded, its report when asked for.
    void endRun();
    // With "Clear unit ID on New run": the ID of the run that ends is emptied.
    void clearEndedUnitId();
    // The unit a run starting now takes: the board's while one named itself, else the unit ID
    // typed.
    UnitIdentity nextRunUnit() const;
    // A run without a unit takes the one that became known; the next unit is shown.
    void takeUnit();
    void showNextUnit();
    void showRunButtons();
    // The run ended writes its report into the first report folder that takes it.
    void writeEndReport();
    // Shows `store` (with its summary, unit, start and seconds) in review.
    void enterReview();
    QString reportOfFlagFile(const StoredRun& run, const QString& path);
    QString suggestedPath(const QString& suffix) const;
    // Asks for a file (titled `title`, proposed with `suffix`) and writes it with `write`; a file
    // where one of the program's folders belongs is refused, a failure told.
    void saveChosen(const QString& title, const QString& suffix, const QString& filter,
                    const std::function<bool(const QString&)>& write);
    bool eventFilter(QObject* watched, QEvent* event) override;

    Parts p;
    RunStore live;
    RunSummary liveTotals;
    QDateTime liveStarted;
    qint64 liveStartMs = 0;
    QString liveSource;
    RunSeries liveSeries;
    RunResult liveRow;    // the run's key, station and start
    int liveInterval = 0; // the interval the operator had chosen when it started
    bool liveEnded = true;
    bool liveLogged = false; // the log file named the run's unit
    UnitIdentity liveIdentity;
    UnitIdentity boardUnit; // from the board on the link; none while fromBoard is false
    QElapsedTimer summaryShown;

    // The run that ended before the one on the page (while that one goes on).
    struct EndedRun {
        RunStore store;
        RunSummary summary;
        RunSeries series;
        UnitIdentity unit;
        QDateTime started;
        QString source;
    };
    std::optional<EndedRun> lastEnded;
    // How reports draw their plot: the page's unit and time axis, the reference.
    RunReport::Look look() const;

    RunStore review;
    RunSeries reviewSeries;             // a stored run's seconds (empty for a file)
    std::optional<RunResult> reviewRow; // the stored run reviewed
    RunSummary reviewTotals;
    QDateTime reviewStarted;
    UnitIdentity reviewUnit;
    QString reviewSource;
    qint64 reviewSkipped = 0;
    bool inReview = false;
    bool wholeRunBeforeReview = false;

    RunSeries reference;
    QString referenceName;

    FlagLimits limits;
    FlagScale scale;
    QTimer summaryTimer;
    bool linkIsUp = false;
    bool linkWentDown = false;
    QString shownInterval;
    int shownReported = -1; // what the interval label was made from
    int shownChosen = -1;

    QCPTextElement* liveBand = nullptr;
    QCPTextElement* runBand = nullptr;
    std::array<QCPItemStraightLine*, 5> liveLimitLines{};
    std::array<QCPItemStraightLine*, 5> runLimitLines{};
};

#endif // RUNPANEL_H
