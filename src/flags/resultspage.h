#ifndef RESULTSPAGE_H
#define RESULTSPAGE_H

#include "resultsdialog.h"
#include "resultsindicator.h"
#include "runrecorder.h"

#include <QPointer>
#include <QString>

#include <memory>

class QStatusBar;
class QWidget;
class ResultsStore;

// The window's results database: the store the settings name, the live run's row in it (the
// recorder), the status bar's word on runs waiting, and the Results dialog.
class ResultsPage {
public:
    ResultsPage(QWidget* window, QStatusBar* bar, const ResultsDialog::Parts& dialogParts);
    // Ends the run going on and closes the store.
    ~ResultsPage();

    // Opens the database of the settings value `location`, closing the one before (which waits
    // a moment at most for its database); the run going on is written to the new one from now.
    void open(const QString& location);
    // The run going on ends; the store closes, waiting a moment at most for its database.
    void close();

    RunRecorder& runs() { return recorder; }
    // File -> "Results...".
    void showDialog();

private:
    QWidget* window;
    ResultsDialog::Parts dialogParts;
    std::unique_ptr<ResultsStore> store;
    RunRecorder recorder;
    ResultsIndicator indicator;
    QPointer<ResultsDialog> dialog;
};

#endif // RESULTSPAGE_H
