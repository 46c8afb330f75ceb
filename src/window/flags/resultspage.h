#ifndef RESULTSPAGE_H
#define RESULTSPAGE_H

#include "flags/resultsdialog.h"
#include "flags/resultsindicator.h"
#include "runrecorder.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QStatusBar;
class QWidget;
class ResultsStore;

// The window's results database: the store the settings name, the live run's row in it (the
// recorder), the status bar's word on runs waiting, and the Results dialog. The store opens when
// it is first needed (a record, the dialog), or OpenAfterMs after start-up to send what waits
// from an earlier session; a window that never measures never opens a database.
class ResultsPage {
public:
    static constexpr int OpenAfterMs = 5000;

    struct Hooks {
        // The folders that take the outbox when its own cannot (the Logs and Flags folders).
        std::function<QStringList()> spareFolders;
        // A line for the log file (time-stamped by the caller).
        std::function<void(const QString&)> logLine;
    };

    ResultsPage(QWidget* window, QStatusBar* bar, const ResultsDialog::Parts& dialogParts,
                const Hooks& hooks = Hooks());
    // Ends the run going on and closes the store.
    ~ResultsPage();

    // The database of the settings value `location`: a store open before is closed (it waits a
    // moment at most for its database) and the new one opens at once; the run going on is
    // written to it from now on.
    void open(const QString& location);
    // The run going on ends; the store closes, waiting a moment at most for its database. Runs
    // that no place took are written to the log, column by column.
    void close();
    // Before the window closes: while runs are NOT SAVED, asks "Retry" (the default: tries to
    // save them again, and asks again if that fails) or "Quit anyway"; no question once
    // `quitting` says the program is told to end (SIGTERM).
    void confirmClose(const std::function<bool()>& quitting);

    // The live run: a new one starts (as the run panel began it), a record was added to it
    // (`series`: its curve so far), it ends.
    void started(const RunResult& run) { recorder.start(run); }
    void recorded(const RunSummary& summary, int setting, const RunSeries* series);
    void ended() { recorder.end(); }
    // The run's unit as the run panel names it now (the board answered, the operator typed).
    void unitKnown(const UnitIdentity& unit) { recorder.setUnit(unit); }
    // The run's summary as the run panel has it now (judged again when the limits changed).
    void rejudged(const RunSummary& summary) { recorder.rejudged(summary); }
    // File -> "Results...".
    void showDialog();

private:
    void openNow();
    void show(const ResultsStatus& status);

    QWidget* window;
    QString location;
    QTimer opening;
    ResultsDialog::Parts dialogParts;
    Hooks hooks;
    QString told; // the notice on a damaged database shown last
    std::unique_ptr<ResultsStore> store;
    RunRecorder recorder;
    ResultsIndicator indicator;
    QPointer<ResultsDialog> dialog;
};

#endif // RESULTSPAGE_H
