#ifndef RESULTSDIALOG_H
#define RESULTSDIALOG_H

#include "resultsfilter.h"
#include "runresult.h"

#include <QDialog>
#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class ResultsStore;

// File -> "Results...": the runs of the results database, newest first (or sorted by the column
// whose header the operator clicked), filtered by serial number or unit ID, start date, verdict
// and station; a selected run opened for review, made into a report PDF or set as the reference
// drawn behind the run on the page, from the curve the database keeps of it (from its flag file
// for a run stored without one); the runs chosen exported as CSV. Every query is answered by the
// store's thread; the dialog shows the answer to its latest one. While it is open the list
// follows the runs the store writes, and "Refresh" asks again (for the runs of other benches).
class ResultsDialog : public QDialog {
    Q_OBJECT
public:
    // At most this many runs are listed (the newest).
    static constexpr int MaxRuns = 5000;
    // Runs written in a burst are listed again once, this long after the first.
    static constexpr int FollowDelayMs = 300;

    struct Parts {
        std::function<bool(const StoredRun&)> review; // opens a stored run on the flag page
        // Writes a stored run's report to a path: empty when written, else why not.
        std::function<QString(const StoredRun&, const QString&)> report;
        // Draws a stored run behind the page's run (one without a series: none).
        std::function<void(const StoredRun&)> setReference;
        std::function<QString()> directory; // where the file choosers start
    };

    ResultsDialog(ResultsStore* store, const Parts& parts, QWidget* parent);

    // Another database (the settings changed): listed afresh.
    void setStore(ResultsStore* store);

    ResultsFilter filter() const;
    const QVector<RunResult>& listed() const { return runs; }
    // The runs selected in the table; all listed when none is.
    QVector<RunResult> chosenRuns() const;

    // Asks for a file to save (caption, suggested path, filter); empty: cancelled.
    std::function<QString(QWidget*, const QString&, const QString&, const QString&)> chooseSaveFile;

    bool exportCsv(const QString& path);

public slots:
    void refresh();
    void reviewChosen();
    void exportChosen();
    void reportChosen();
    void referenceChosen();
    void clearReference();

signals:
    // The table shows the answer to the latest query.
    void runsListed();
    // A request for a selected run has been done (or told why not).
    void runHandled();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void showRuns(int id, const QVector<RunResult>& found, const QString& error);
    void selectionChanged();
    // The selected run when exactly one is; null otherwise.
    const RunResult* single() const;
    // Reads the series of the selected run, then hands the run to `then`; a run without a
    // series goes on only when `fromFlagFile` and its flag file can be read. Says why not
    // otherwise.
    void withSelected(const char* purpose, bool fromFlagFile,
                      std::function<void(const StoredRun&)> then);
    void seriesRead(int id, const QVector<RunSeries::Chunk>& chunks, const QString& error);
    // Whether the run's flag file can be read; says why not.
    bool flagFileReachable(const RunResult& run, const char* purpose);
    // The listed runs of the selected rows, in the table's order.
    QVector<int> selectedRuns() const;
    void tell(const QString& text, bool failure);
    QString suggestedPath(const QString& name) const;
    // Whether a file may be written at `path` (not where one of the program's folders belongs);
    // the dialog says why not.
    bool allowed(const QString& path);

    QPointer<ResultsStore> store;
    QMetaObject::Connection answers;
    QMetaObject::Connection seriesAnswers;
    struct Pending {
        RunResult run;
        const char* purpose;
        bool fromFlagFile;
        std::function<void(const StoredRun&)> then;
    };
    QHash<int, Pending> pending;
    QMetaObject::Connection written;
    QTimer* follow = nullptr;
    Parts p;
    int latestQuery = 0;
    bool stale = false; // runs were written while hidden
    QVector<RunResult> runs;

    QLineEdit* unit = nullptr;
    QCheckBox* fromOn = nullptr;
    QDateEdit* from = nullptr;
    QCheckBox* toOn = nullptr;
    QDateEdit* to = nullptr;
    QComboBox* verdict = nullptr;
    QLineEdit* station = nullptr;
    QTableWidget* table = nullptr;
    QLabel* message = nullptr;
    QPushButton* refreshButton = nullptr;
    QPushButton* reviewButton = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* reportButton = nullptr;
    QPushButton* referenceButton = nullptr;
    QPushButton* clearReferenceButton = nullptr;
    QPushButton* closeButton = nullptr;
};

#endif // RESULTSDIALOG_H
