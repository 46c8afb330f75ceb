// The main window's results database: the store the live runs are recorded in, its word in the
// status bar, and File -> "Results...".
#include "control_panel.h"
#include "resultsdialog.h"
#include "resultsindicator.h"
#include "resultsstore.h"
#include "runpanel.h"
#include "ui_control_panel.h"

#include <QDir>
#include <QStatusBar>

void Control_Panel::wireResults() {
    resultsIndicator = std::make_unique<ResultsIndicator>(statusBar());
    openResultsStore();
    connect(runPanel, &RunPanel::runStarted, this,
            [this](const QString& flagFile) { recorder.start(flagFile, UnitIdentity()); });
    auto* action = new QAction(QStringLiteral("Results..."), this);
    action->setObjectName(QStringLiteral("actionResults"));
    const QList<QAction*> fileMenu = ui->menuSettings->actions();
    const int after = fileMenu.indexOf(ui->actionExportRunCsv);
    ui->menuSettings->insertAction(fileMenu.value(after + 1), action);
    connect(action, &QAction::triggered, this, &Control_Panel::showResults);
}

// A store for the database in the settings; the run going on is written there from now on.
void Control_Panel::openResultsStore() {
    recorder.setStore(nullptr);
    results.reset(); // the store before hands over what it holds, waiting a moment at most
    ResultsStore::Options options;
    options.location = currentSettings.resultsDatabase;
    results = std::make_unique<ResultsStore>(options);
    connect(results.get(), &ResultsStore::statusChanged, this,
            [this](const ResultsStatus& status) { resultsIndicator->show(status); });
    resultsIndicator->show(results->status());
    recorder.setStore(results.get());
    if (resultsDialog)
        resultsDialog->setStore(results.get());
}

void Control_Panel::closeResultsStore() {
    recorder.end();
    if (resultsDialog)
        resultsDialog->setStore(nullptr);
    results.reset();
}

void Control_Panel::showResults() {
    if (!resultsDialog) {
        ResultsDialog::Parts parts;
        parts.review = [this](const QString& path) {
            ui->tabWidget->setCurrentWidget(ui->tabFlags);
            return runPanel->openRun(path);
        };
        parts.limits = [this] { return currentSettings.limits; };
        parts.directory = [this] { return QDir(currentSettings.flagFileDirectory).absolutePath(); };
        parts.livePlot = ui->customPlot;
        resultsDialog = new ResultsDialog(results.get(), parts, this);
    }
    resultsDialog->show();
    resultsDialog->raise();
}
