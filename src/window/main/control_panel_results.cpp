// The main window's results database (ResultsPage): the live runs recorded, File -> "Results...".
#include "console/trafficline.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "main/signalquitter.h"
#include "ui_control_panel.h"

#include <QCloseEvent>
#include <QDir>
#include <QStatusBar>

void Control_Panel::wireResults() {
    ResultsDialog::Parts parts;
    parts.review = [this](const StoredRun& run) {
        ui->tabWidget->setCurrentWidget(ui->tabFlags);
        return runFiles->openStored(run);
    };
    parts.report = [this](const StoredRun& run, const QString& path) {
        return runFiles->exportStoredReport(run, path);
    };
    parts.setReference = [this](const StoredRun& run) { runFiles->setReference(run); };
    parts.directory = [this] { return QDir(currentSettings.flagFileDirectory).absolutePath(); };
    ResultsPage::Hooks hooks;
    hooks.spareFolders = [this] {
        return QStringList{currentSettings.logFileDirectory, currentSettings.flagFileDirectory};
    };
    hooks.logLine = [this](const QString& text) {
        writeLogLines({QLatin1Char('[') + TrafficLine::stamp(sessionClock.elapsed()) +
                       QLatin1Char(']') + text});
    };
    resultsPage = std::make_unique<ResultsPage>(this, statusBar(), parts, hooks);
    resultsPage->open(currentSettings.resultsDatabase);
    connect(runSession, &RunSession::runStarted, this, [this] {
        if (!resultsPage)
            return;
        const RunSession::Run& live = runSession->live();
        RunResult run = RunResult::begin(live.started.toUTC());
        run.takeUnit(live.unit);
        run.flagFile = live.flagFile;
        resultsPage->started(run);
    });
    connect(runSession, &RunSession::runEnded, this, [this] {
        if (resultsPage)
            resultsPage->ended();
    });
    // The board named the unit (or the operator typed it), or new limits judged the run again,
    // while the run goes on.
    connect(runSession, &RunSession::runUpdated, this, [this] {
        if (!resultsPage)
            return;
        resultsPage->unitKnown(runSession->live().unit);
        resultsPage->rejudged(runSession->live().summary);
    });
    auto* action = new QAction(QStringLiteral("Results..."), this);
    action->setObjectName(QStringLiteral("actionResults"));
    const QList<QAction*> fileMenu = ui->menuSettings->actions();
    ui->menuSettings->insertAction(fileMenu.value(fileMenu.indexOf(ui->actionExportRunCsv) + 1),
                                   action);
    connect(action, &QAction::triggered, this, &Control_Panel::showResults);
}

void Control_Panel::showResults() {
    resultsPage->showDialog();
}

void Control_Panel::closeEvent(QCloseEvent* event) {
    resultsPage->confirmClose(&SignalQuitter::quitRequested);
    QMainWindow::closeEvent(event);
}
