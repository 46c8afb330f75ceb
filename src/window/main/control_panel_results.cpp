// The main window's results database (ResultsPage): File -> "Results...", and the runs not saved
// asked about as the window closes.
#include "flags/resultspage.h"
#include "main/control_panel.h"
#include "main/signalquitter.h"
#include "ui_control_panel.h"

#include <QCloseEvent>

void Control_Panel::wireResults() {
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
