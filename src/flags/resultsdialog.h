#ifndef RESULTSDIALOG_H
#define RESULTSDIALOG_H

#include "flaglimits.h"
#include "resultsfilter.h"
#include "runresult.h"

#include <QDialog>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <functional>

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class ResultsStore;

// File -> "Results...": the runs of the results database, newest first (or sorted by the column
// whose header the operator clicked), filtered by serial number or unit ID, start date, verdict
// and station; a selected run's flag file opened for review or made into a report PDF, the runs
// chosen exported as CSV. Every query is answered by the store's thread; the dialog shows the
// answer to its latest one. While it is open the list follows the runs the store writes, and
// "Refresh" asks again (for the runs of other benches).
class ResultsDialog : public QDialog {
    Q_OBJECT
public:
    // At most this many runs are listed (the newest).
    static constexpr int MaxRuns = 5000;
    // Runs written in a burst are listed again once, this long after the first.
    static constexpr int FollowDelayMs = 300;

    struct Parts {
        std::function<bool(const QString&)> review; // opens a flag file on the flag page
        std::function<FlagLimits()> limits;         // the limits a report judges by
        std::function<QString()> directory;         // where the file choosers start
        QCustomPlot* livePlot = nullptr;            // a report draws its curves as this does
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
    // The report of a stored run, from its flag file; false with the reason told when there is no
    // file to read, it cannot be read or the PDF cannot be written.
    bool writeReport(const RunResult& run, const QString& path);

public slots:
    void refresh();
    void reviewChosen();
    void exportChosen();
    void reportChosen();

signals:
    // The table shows the answer to the latest query.
    void runsListed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void showRuns(int id, const QVector<RunResult>& found, const QString& error);
    void selectionChanged();
    // The selected run when exactly one is; null otherwise.
    const RunResult* single() const;
    // The listed runs of the selected rows, in the table's order.
    QVector<int> selectedRuns() const;
    // The single selected run's flag file when it can be read; otherwise says why and is empty.
    QString reachableFlagFile(const char* purpose);
    void tell(const QString& text, bool failure);
    QString suggestedPath(const QString& name) const;
    // Whether a file may be written at `path` (not where one of the program's folders belongs);
    // the dialog says why not.
    bool allowed(const QString& path);

    QPointer<ResultsStore> store;
    QMetaObject::Connection answers;
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
    QPushButton* closeButton = nullptr;
};

#endif // RESULTSDIALOG_H
