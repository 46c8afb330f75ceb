#ifndef RUNFILES_H
#define RUNFILES_H

#include "flags/flagscale.h"
#include "flags/runreport.h"
#include "flags/runsession.h"

#include <QDir>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QCPTextElement;
class QCustomPlot;
class QStatusBar;
class QWidget;
struct StoredRun;

// The flag page's runs to and from files: a saved flag file (or an exported run) opened for
// review, a run of the results database reviewed, reported or set as the reference; the plot
// shown saved as PNG or PDF with the summary under its curves, the run shown exported as CSV or
// reported as a printable PDF page (while a run goes on after another ended, either of the two),
// and, when asked for, the report of every run that ends written into the first report folder
// that takes it.
class RunFiles : public QObject {
    Q_OBJECT

public:
    // `window`: parent of the message boxes and file choosers; `livePlot` names and colours the
    // curves of reports; `runPlot` is the whole-run plot, shown instead of the live one.
    RunFiles(RunSession& session, QWidget* window, QStatusBar* statusBar, QCustomPlot* livePlot,
             QCustomPlot* runPlot, QObject* parent = nullptr);

    // Asks for a file to open / to save (caption, suggested path, filter); an empty answer means
    // cancelled. Replaceable so that the window can be driven without a modal chooser.
    using FileChooser =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;
    FileChooser chooseOpenFile;
    FileChooser chooseSaveFile;
    // Asks which run a report is made of, the run on the page or the last one ended (texts naming
    // each): 0, 1, or -1 when cancelled. Replaceable like the choosers.
    std::function<int(QWidget*, const QString& shown, const QString& lastEnded)> chooseReportRun;
    // Where the file choosers start.
    std::function<QString()> flagDirectory;
    // Whether a run's report is written when it ends, and the folders to write it to.
    std::function<bool()> reportAtEnd;
    std::function<QList<QDir>()> reportFolders;

    // The page's unit and time axis, for reports.
    void setScale(const FlagScale& scale) { pageScale = scale; }

    // ---- review ----
    // `unit`: the unit the results database names for the file's run (else the file's own).
    bool openRun(const QString& path, const UnitIdentity& unit = UnitIdentity());
    // A run of the results database, from its series (from its flag file while it has none).
    bool openStored(const StoredRun& run);
    // A stored run's C1 curve drawn grey behind the run shown, and in its reports; cleared by a
    // run without a series.
    void setReference(const StoredRun& run);

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

public slots:
    void openRunChosen();
    void savePngChosen();
    void savePdfChosen();
    void exportCsvChosen();
    void exportReportChosen();

private:
    // How reports draw their plot: the page's unit and time axis, the reference.
    RunReport::Look look() const;
    bool report(const QString& path, const RunSession::Run& run, const QString& readFrom);
    QString reportOfFlagFile(const StoredRun& run, const QString& path);
    // The run that ended writes its report into the first report folder that takes it.
    void writeEndReport();
    QString suggestedPath(const QString& suffix) const;
    // Asks for a file (titled `title`, proposed with `suffix`) and writes it with `write`; a file
    // where one of the program's folders belongs is refused, a failure told.
    void saveChosen(const QString& title, const QString& suffix, const QString& filter,
                    const std::function<bool(const QString&)>& write);

    RunSession& session;
    QWidget* window;
    QStatusBar* statusBar;
    QCustomPlot* livePlot;
    QCustomPlot* runPlot;
    QCPTextElement* liveBand;
    QCPTextElement* runBand;
    FlagScale pageScale;
};

#endif // RUNFILES_H
