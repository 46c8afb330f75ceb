#ifndef FLAGMONITOR_H
#define FLAGMONITOR_H

#include "settings/sessionfiles.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CD_Board;
class CFlags;
class FlagsPage;
class QStatusBar;
class QWidget;
class ResultsPage;
class RunFiles;
class RunPanel;
class RunSession;

// The flag monitor around the flags page: the run session fed by the board's records and its
// link, its view on the page (RunPanel), its files (RunFiles) and the results database
// (ResultsPage) that records every run.
class FlagMonitor : public QObject {
    Q_OBJECT

public:
    // What the window lends: its clock since start-up, the log file's writer, and the way to
    // bring the flags page up (for a reviewed run). `settings` are the ones in force, `window`
    // parents the choosers and messages.
    struct Hooks {
        std::function<qint64()> elapsedMs;
        std::function<void(const QStringList&)> writeLog;
        std::function<void()> showPage;
    };

    FlagMonitor(CD_Board& board, FlagsPage& page, SessionFiles& files,
                const SettingsValues& settings, QWidget* window, QStatusBar* statusBar,
                Hooks hooks);
    // The run going on ends (its row written as ended, its report when asked for), then the
    // view, the files and the session go, in that order.
    ~FlagMonitor() override;

    RunSession& session() const { return *runSession; }
    RunPanel& panel() const { return *runPanel; }
    RunFiles& files() const { return *runFiles; }
    ResultsPage& results() const { return *resultsPage; }

    // A flag file opened: a run starts with it.
    void flagFileOpened(const QString& path);
    // The link to the board opened (the interval the operator chose is sent again; the board
    // starts at 1 s) or went down: a line in the log file and a gap in the run.
    void linkOpened();
    void linkDown(const QString& reason);
    // The board's newest record, into the run and the results database.
    void recordAdded(const CFlags& record);

private:
    void wireResults(const SettingsValues& settings, QWidget* window, QStatusBar* statusBar);

    CD_Board& board;
    FlagsPage& page;
    SessionFiles& sessionFiles;
    Hooks hooks;
    RunSession* runSession = nullptr;
    RunFiles* runFiles = nullptr;
    RunPanel* runPanel = nullptr;
    std::unique_ptr<ResultsPage> resultsPage;
};

#endif // FLAGMONITOR_H
