#include "flags/runfiles.h"

#include "common/plaintext.h"
#include "flags/flagfilereader.h"
#include "flags/runcsv.h"
#include "flags/runloading.h"
#include "flags/summaryband.h"
#include "runresult.h"
#include "settings/programfolders.h"
#include "shell/logging.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPushButton>
#include <QStatusBar>

#include <qcustomplot.h>

namespace {

// Writes the file at `path` through `write`; false when it could not be opened, `write` failed or
// not all of it reached the disk (a full disk shows only when the file's buffer is flushed).
template <typename F> bool writeFile(const QString& path, F&& write) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok = write(file);
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

// The plot as QCustomPlot's own export draws it, into `out`: a PNG image at 96 dpi, or a PDF page
// of the plot's size (a point a pixel, the fonts as on the screen) in vector graphics.
bool writePng(QCustomPlot* plot, QIODevice& out) {
    QImage image = plot->toPixmap().toImage();
    const int dotsPerMeter = int(96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return !image.isNull() && image.save(&out, "PNG");
}

bool writePdf(QCustomPlot* plot, QIODevice& out) {
    QPdfWriter writer(&out);
    writer.setResolution(plot->logicalDpiY());
    QPageLayout page(QPageSize(plot->size(), QPageSize::Point, QString(), QPageSize::ExactMatch),
                     QPageLayout::Portrait, QMarginsF());
    page.setMode(QPageLayout::FullPageMode);
    writer.setPageLayout(page);
    QCPPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setWindow(QRect(QPoint(), plot->size()));
    plot->toPainter(&painter);
    return painter.end();
}

// A unit as part of a file name: letters, digits, '-' and '.'; anything else becomes '_'.
QString fileNamePart(const QString& text) {
    QString part = text.left(40);
    for (QChar& c : part) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') &&
            c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return part;
}

RunSession::Stored storedOf(const StoredRun& run) {
    return {run.series,       run.row.unit(),     run.row.startedAt.toLocalTime(),
            run.row.flagFile, run.row.intervalMs, run.row.judged()};
}

RunReport::Run reportOf(const RunSession::Run& run, const QString& readFrom) {
    return {run.unit,     run.started,  &run.store,
            &run.summary, run.flagFile, run.series.isEmpty() ? nullptr : &run.series,
            readFrom};
}

const QString FromDatabase = QStringLiteral("the results database");

} // namespace

RunFiles::RunFiles(RunSession& session, QWidget* window, QStatusBar* statusBar,
                   QCustomPlot* livePlot, QCustomPlot* runPlot, QObject* parent)
    : QObject(parent), session(session), window(window), statusBar(statusBar), livePlot(livePlot),
      runPlot(runPlot), liveBand(SummaryBand::reserve(livePlot)),
      runBand(SummaryBand::reserve(runPlot)) {
    chooseOpenFile = [](QWidget* parent, const QString& caption, const QString& start,
                        const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    };
    chooseSaveFile = [](QWidget* parent, const QString& caption, const QString& start,
                        const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, start, filter);
    };
    chooseReportRun = [](QWidget* parent, const QString& shown, const QString& lastEnded) {
        // the units are typed text: shown as they are
        QMessageBox box(
            QMessageBox::Question, QStringLiteral("Export Report"),
            QStringLiteral("Which run is the report of?\n\nOn screen: %1\nLast ended: %2")
                .arg(shown, lastEnded),
            QMessageBox::Cancel, parent);
        box.setTextFormat(Qt::PlainText);
        QPushButton* onPage =
            box.addButton(QStringLiteral("Run on screen"), QMessageBox::AcceptRole);
        QPushButton* ended =
            box.addButton(QStringLiteral("Last ended run"), QMessageBox::AcceptRole);
        box.setDefaultButton(ended);
        box.exec();
        return box.clickedButton() == onPage ? 0 : box.clickedButton() == ended ? 1 : -1;
    };
    connect(&session, &RunSession::runEnded, this, [this] {
        if (!this->session.live().store.isEmpty() && reportAtEnd && reportAtEnd())
            writeEndReport();
    });
}

// ---------------------------------------------------------------------------------------------
// Review

bool RunFiles::openRun(const QString& path, const UnitIdentity& unit) {
    RunFileLoader::Result read;
    RunSummary totals;
    totals.setLimits(session.limits());
    if (!RunLoading::load(path, window, &read, &totals) && read.error.isEmpty())
        return false; // cancelled
    QString error = read.error;
    if (error.isEmpty() && read.format == RunFileReader::Format::FlagFile && read.rows == 0)
        error = QStringLiteral("no flag rows in it");
    if (!error.isEmpty()) {
        qCDebug(dk61Flags) << "cannot review" << path << error;
        PlainText::warn(
            window, QStringLiteral("Open Flag File"),
            QStringLiteral("%1 cannot be reviewed: %2").arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    QDateTime started = read.format == RunFileReader::Format::FlagFile
                            ? FlagFileReader::created(path)
                            : read.started;
    // A file renamed by hand: its last record is when it was last written.
    if (!started.isValid())
        started = QFileInfo(path).lastModified().addMSecs(-read.run.lastMs());
    // The run as the results database names it, else as an exported file does.
    session.review(std::move(read.run), totals, started, unit.isKnown() ? unit : read.unit, path,
                   read.skipped);
    return true;
}

bool RunFiles::openStored(const StoredRun& run) {
    if (run.series.isEmpty())
        return openRun(run.row.flagFile, run.row.unit());
    session.review(storedOf(run));
    return true;
}

void RunFiles::setReference(const StoredRun& run) {
    session.setReference(run.series,
                         QStringLiteral("Reference: unit %1, %2")
                             .arg(run.row.unit().unit(), run.row.startedAt.toLocalTime().toString(
                                                             QStringLiteral("yyyy-MM-dd HH:mm"))));
}

void RunFiles::openRunChosen() {
    const QString path =
        chooseOpenFile(window, QStringLiteral("Open Flag File"), flagDirectory(),
                       QStringLiteral("Flag files (*.txt);;Exported runs (*.csv);;All files (*)"));
    if (!path.isEmpty())
        openRun(path);
}

// ---------------------------------------------------------------------------------------------
// Export

QString RunFiles::suggestedPath(const QString& suffix) const {
    const RunSession::Run& shown = session.shown();
    const QString base =
        session.reviewing() && !session.reviewFromDatabase()
            ? QFileInfo(shown.flagFile).completeBaseName()
            : QStringLiteral("run-") + shown.started.toString(QStringLiteral("yyyyMMddHHmmss"));
    return QDir(flagDirectory()).absoluteFilePath(base + suffix);
}

bool RunFiles::savePlot(const QString& path, bool pdf) {
    QCustomPlot* plot = runPlot->isHidden() ? livePlot : runPlot;
    QCPTextElement* band = plot == livePlot ? liveBand : runBand;
    band->setText(session.shown().summary.plainText() + QLatin1Char('\n') + session.sourceText());
    const bool ok = writeFile(path, [plot, pdf](QIODevice& out) {
        return pdf ? writePdf(plot, out) : writePng(plot, out);
    });
    band->setText(QString());
    plot->replot(QCustomPlot::rpQueuedReplot);
    return ok;
}

bool RunFiles::exportRun(const QString& path) {
    const RunSession::Run& run = session.shown();
    return writeFile(path, [&run](QIODevice& out) {
        return RunCsv::write(out, run.store, run.started, run.unit);
    });
}

RunReport::Look RunFiles::look() const {
    RunReport::Look look;
    look.scale = pageScale;
    if (!session.reference().isEmpty()) {
        look.reference = &session.reference();
        look.referenceName = session.referenceName();
    }
    return look;
}

bool RunFiles::report(const QString& path, const RunSession::Run& run, const QString& readFrom) {
    return RunReport::write(path, reportOf(run, readFrom), livePlot, look());
}

bool RunFiles::exportReport(const QString& path) {
    return report(path, session.shown(), session.reviewFromDatabase() ? FromDatabase : QString());
}

QString RunFiles::exportStoredReport(const StoredRun& stored, const QString& path) {
    if (stored.series.isEmpty())
        return reportOfFlagFile(stored, path);
    RunSession::Run run;
    run.series = stored.series;
    run.store = stored.series.toStore();
    run.summary = RunSession::storedSummary(storedOf(stored), session.limits());
    run.unit = stored.row.unit();
    run.started = stored.row.startedAt.toLocalTime();
    run.flagFile = stored.row.flagFile;
    return report(path, run, FromDatabase)
               ? QString()
               : QStringLiteral("%1 cannot be written.").arg(QDir::toNativeSeparators(path));
}

// A run stored before its series was: its flag file read again.
QString RunFiles::reportOfFlagFile(const StoredRun& stored, const QString& path) {
    RunFileLoader::Result read;
    RunSession::Run run;
    run.summary.setLimits(session.limits());
    if (!RunLoading::load(stored.row.flagFile, window, &read, &run.summary))
        return read.error.isEmpty()
                   ? QStringLiteral("Cancelled.")
                   : QStringLiteral("%1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(stored.row.flagFile), read.error);
    run.store = std::move(read.run);
    run.unit = stored.row.unit();
    run.started = stored.row.startedAt.toLocalTime();
    run.flagFile = stored.row.flagFile;
    return report(path, run, QString())
               ? QString()
               : QStringLiteral("%1 cannot be written.").arg(QDir::toNativeSeparators(path));
}

void RunFiles::writeEndReport() {
    const RunSession::Run& run = session.live();
    const QString base = run.started.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QLatin1Char('_') + fileNamePart(run.unit.unit());
    QString why = QStringLiteral("no folder for reports");
    for (const QDir& folder : reportFolders ? reportFolders() : QList<QDir>()) {
        // Created new, never over a file (or a link) that is there.
        for (int n = 1; n <= 100; ++n) {
            const QString path =
                folder.absoluteFilePath(base + (n == 1 ? QString() : QStringLiteral("_%1").arg(n)) +
                                        QStringLiteral("-report.pdf"));
            QFile file(path);
            if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
                continue;
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                why = file.errorString();
                break;
            }
            if (RunReport::write(file, reportOf(run, QString()), livePlot, look()) &&
                file.flush()) {
                file.close();
                if (file.error() == QFileDevice::NoError) {
                    session.note(QStringLiteral("Report written: ") +
                                 QDir::toNativeSeparators(path));
                    statusBar->showMessage(QStringLiteral("Report written to ") +
                                           QDir::toNativeSeparators(path));
                    return;
                }
            }
            why = file.errorString();
            file.remove();
            break;
        }
    }
    qCWarning(dk61Flags) << "report not written:" << why;
    session.note(QStringLiteral("Report not written: ") + why);
    statusBar->showMessage(QStringLiteral("The run's report could not be written: ") + why);
}

void RunFiles::saveChosen(const QString& title, const QString& suffix, const QString& filter,
                          const std::function<bool(const QString&)>& write) {
    const QString path = chooseSaveFile(window, title, suggestedPath(suffix), filter);
    if (path.isEmpty())
        return;
    const QString refused = ProgramFolders::refusal(path);
    if (!refused.isEmpty())
        PlainText::warn(window, title, QStringLiteral("Not written: %1").arg(refused));
    else if (!write(path))
        PlainText::warn(
            window, title,
            QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
}

void RunFiles::savePngChosen() {
    saveChosen(QStringLiteral("Save Plot as PNG"), QStringLiteral(".png"),
               QStringLiteral("PNG images (*.png)"),
               [this](const QString& path) { return savePlot(path, false); });
}

void RunFiles::savePdfChosen() {
    saveChosen(QStringLiteral("Save Plot as PDF"), QStringLiteral(".pdf"),
               QStringLiteral("PDF documents (*.pdf)"),
               [this](const QString& path) { return savePlot(path, true); });
}

void RunFiles::exportCsvChosen() {
    saveChosen(QStringLiteral("Export Run as CSV"), QStringLiteral(".csv"),
               QStringLiteral("CSV files (*.csv)"),
               [this](const QString& path) { return exportRun(path); });
}

void RunFiles::exportReportChosen() {
    // While a run goes on, the one that ended before it may be the one wanted.
    const RunSession::Run* lastEnded = session.reviewing() ? nullptr : session.lastEnded();
    if (lastEnded) {
        const RunSession::Run& live = session.live();
        const QString dateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
        const int chosen = chooseReportRun(
            window,
            QStringLiteral("%1, since %2").arg(live.unit.text(), live.started.toString(dateTime)),
            QStringLiteral("%1, started %2, %3 records")
                .arg(lastEnded->unit.text(), lastEnded->started.toString(dateTime),
                     lastEnded->summary.recordsText()));
        if (chosen < 0)
            return;
        if (chosen == 0)
            lastEnded = nullptr;
    }
    const QString suggested =
        lastEnded
            ? QDir(flagDirectory())
                  .absoluteFilePath(QStringLiteral("run-") +
                                    lastEnded->started.toString(QStringLiteral("yyyyMMddHHmmss")) +
                                    QStringLiteral("-report.pdf"))
            : suggestedPath(QStringLiteral("-report.pdf"));
    const QString path = chooseSaveFile(window, QStringLiteral("Export Report"), suggested,
                                        QStringLiteral("PDF documents (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString refused = ProgramFolders::refusal(path);
    if (!refused.isEmpty()) {
        PlainText::warn(window, QStringLiteral("Export Report"),
                        QStringLiteral("Not written: %1").arg(refused));
        return;
    }
    const bool ok = lastEnded ? report(path, *lastEnded, QString()) : exportReport(path);
    if (!ok)
        PlainText::warn(
            window, QStringLiteral("Export Report"),
            QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(path)));
}
