#ifndef RUNSESSION_H
#define RUNSESSION_H

#include "flags/flaglimits.h"
#include "flags/runseries.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "flags/unitidentity.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

// The flag monitor's runs: the live run being measured, the one that ended before it, and a run
// read back for review (a saved flag file, an exported run, a run of the results database), each
// with its records, its curve by the second, its summary judged against the limits, its unit and
// its start. The page shows what this holds; its signals say when that changed.
//
// A run starts with startRun() (the flag file was created), "Start run" and "New run" (each of
// which takes the next flag file while flag files are on), and when the operator chooses another
// interval (a run has one interval); it ends with "End run" (which closes its flag file), with the
// next start and with finish(). An ended run stays on the page, its verdicts final, until the next
// starts; records that arrive meanwhile belong to no run. The log file notes every start and end
// with the unit, and the link's going and coming back.
//
// Each run carries the unit it measured, fixed once it has one: the DK-61 that named itself on the
// link, else the unit ID typed when it started. An ID typed while a run goes names that run only
// while it has none; otherwise it waits, shown as "Next unit: ...", for the next run. "New run"
// may empty the typed ID of the run that ends before the next starts (one typed meanwhile for the
// next unit stays).
class RunSession : public QObject {
    Q_OBJECT

public:
    // How often the summary shown follows the records at most: once a second, the step of the
    // run's length it shows.
    static constexpr int SummaryIntervalMs = 1000;

    // One run: its records, its seconds with the disc positions, what it adds up to, the unit
    // measured, its start and its flag file (empty: none).
    struct Run {
        RunStore store;
        RunSeries series;
        RunSummary summary;
        UnitIdentity unit;
        QDateTime started;
        QString flagFile;
    };
    // A run of the results database: its seconds, its unit, start and flag file, the interval of
    // its last record and how it was judged while it was measured.
    struct Stored {
        RunSeries series;
        UnitIdentity unit;
        QDateTime started;
        QString flagFile;
        int intervalMs = 0;
        RunSummary::Judged judged;
    };

    // `clock`: milliseconds of the session's clock (the time stamps of the log file and the
    // records' times); a clock of its own when none is given.
    explicit RunSession(std::function<qint64()> clock = {}, QObject* parent = nullptr);

    // Closes the flag file and creates the next one: its path, empty when flag files are off (or
    // none could be created). Unset: runs have no flag file.
    std::function<QString()> nextFlagFile;
    std::function<void()> closeFlagFile;

    // ---- the live run ----
    // A new run with flag file `flagFile` (empty: none); the run going on ends first.
    void startRun(const QString& flagFile);
    // "New run": the run going on ends (its typed ID emptied when `clearTypedId`) and the next
    // starts with the next flag file.
    void newRun(bool clearTypedId);
    // "Start run": a new run, while none goes on.
    void startChosen(bool clearTypedId);
    // "End run": the run ends and its flag file closes.
    void endChosen();
    // The window closes: the run going on ends.
    void finish() { endRun(); }
    // A record counted over interval `setting` with the disc at `at`; false when no run goes on
    // to take it.
    bool recordAdded(const RunStore::Counts& counts, int setting,
                     const RunSeries::Position& at = RunSeries::Position());
    bool runGoing() const { return !liveEnded; }
    // The interval the operator has chosen (the next run's).
    void setChosenInterval(int setting) { chosenInterval = setting; }
    // The operator chose interval `setting`: another than the run's ends it and starts the next,
    // for the same unit.
    void intervalChosen(int setting);
    void setLimits(const FlagLimits& limits);
    const FlagLimits& limits() const { return flagLimits; }
    const Run& live() const { return liveRun; }
    // The run that ended before the live one, while that one goes on (null: none).
    const Run* lastEnded() const;
    // The interval of the live run's latest record in milliseconds (0: none yet).
    int latestIntervalMs() const;

    // ---- units ----
    // The text of the unit ID field (taken as the next run's unit).
    void setTypedId(const QString& text) { typedText = text; }
    // The operator finished typing the unit ID: it names the run going on when that has none.
    void typedIdDone() { takeUnit(); }
    // The DK-61 on the link named itself: the run goes on with it when it has no unit yet, and so
    // do the runs after it while the link stays up.
    void boardIdentified(const UnitIdentity& unit);
    // The unit a run starting now takes: the board's while one named itself, else the typed ID.
    UnitIdentity nextUnit() const;
    // The unit waiting for the next run, shown beside the live one ("Next unit: ..."): none
    // while it is the live run's or a run is reviewed.
    std::optional<UnitIdentity> waitingUnit() const;

    // ---- the link ----
    // The link to the flag board opened / went down: a line in the log file, a gap in the run.
    void linkUp(const QString& port, int baud);
    void linkDown(const QString& port, const QString& reason);

    // ---- review ----
    // A saved run read back: its records and what they add up to (with limits()), its start and
    // unit, the file and the lines of it skipped.
    void review(RunStore store, const RunSummary& summary, const QDateTime& started,
                const UnitIdentity& unit, const QString& path, qint64 skipped);
    // A run of the results database, from its seconds.
    void review(const Stored& run);
    void backToLive();
    bool reviewing() const { return bool(reviewed); }
    bool reviewFromDatabase() const { return reviewed && reviewed->stored; }
    // The run on the page: the one reviewed, else the live one.
    const Run& shown() const { return reviewed ? reviewed->run : liveRun; }
    // Where the run on the page comes from: "Run since 2025-03-06 09:04:07, flag file ...",
    // "Reviewing ... (3 lines skipped)", ...
    QString sourceText() const;
    // A stored run added up by the second, judged as it was while it was measured.
    static RunSummary storedSummary(const Stored& run, const FlagLimits& limits);

    // ---- reference ----
    // A run's curve drawn behind the runs, and in their reports (empty: none).
    void setReference(const RunSeries& series, const QString& name);
    const RunSeries& reference() const { return referenceSeries; }
    const QString& referenceName() const { return referenceTitle; }

    // A line into the log file after the session's time stamp.
    void note(const QString& text);

signals:
    // The live run: it started, its unit or its verdicts changed (at most every
    // SummaryIntervalMs while records arrive), it ended.
    void runStarted();
    void runUpdated();
    void runEnded();
    // The live run took a record.
    void recordTaken();
    // What the page shows changed: the summary, the units, the run going or not, the source.
    void changed();
    // A run is reviewed (another one may take the place of the one reviewed) / no longer.
    void reviewOpened();
    void reviewClosed();
    void limitsChanged();
    void referenceChanged();
    // The typed unit ID was emptied for the next run.
    void typedIdCleared();
    // A line for the log file, its time stamp first.
    void logLine(const QString& line);

private:
    // A run begins with `unit` (the one a new run would take when null).
    void beginRun(const QString& flagFile, const UnitIdentity* unit);
    // The live run ends (once): the log line, runEnded.
    void endRun();
    void takeUnit();
    QString takeNextFlagFile() const { return nextFlagFile ? nextFlagFile() : QString(); }
    // The page shows the session as it is now (a summary waiting for its time goes with it).
    void show();
    void scheduleSummary();

    std::function<qint64()> clock;
    QElapsedTimer ownClock;

    Run liveRun;
    qint64 liveStartMs = 0;
    int liveInterval = 0; // the interval the operator had chosen when it started
    bool liveEnded = true;
    bool liveLogged = false; // the log file named the run's unit
    std::optional<Run> ended;
    int chosenInterval = 1;

    QString typedText;
    UnitIdentity boardUnit; // from the board on the link; none while fromBoard is false

    struct Reviewed {
        Run run;
        bool stored = false; // from the results database
        int intervalMs = 0;  // a stored run's interval and verdicts
        RunSummary::Judged judged;
        qint64 skipped = 0; // lines of the file skipped
    };
    std::optional<Reviewed> reviewed;

    FlagLimits flagLimits;
    RunSeries referenceSeries;
    QString referenceTitle;

    QTimer summaryTimer;
    QElapsedTimer summaryShown;
    bool linkIsUp = false;
    bool linkWentDown = false;
};

#endif // RUNSESSION_H
