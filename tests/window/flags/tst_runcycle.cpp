// Runs from start to report as a technician meets them, the window on the simulated boards: the
// unit each run keeps, ending a run and reporting it, a run reported and reviewed from the results
// database alone on another profile, one unit for page, review, report and database, a run per
// interval, the disc time, and the report written when a run ends.
#include "e2eharness.h"
#include "eepromimage.h"
#include "flags/resultsdialog.h"
#include "flags/runfiles.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "simrunner.h"
#include "testenv.h"
#include "windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

#include <qcustomplot.h>

#include <memory>

namespace {

// The flag board alone, 20 records of 1 s a second: no board names the unit.
const QStringList FlagBoard{"--board",
                            "flag",
                            "--start-interval",
                            "1",
                            "--hold-interval",
                            "--exact",
                            "--c1",
                            "300",
                            "--c1u",
                            "0",
                            "--c2",
                            "5",
                            "--c2u",
                            "0",
                            "--time-lapse",
                            "20"};

// The rows of `runs`, oldest first: "unit|finished|interval_ms".
QStringList rows(const QString& file) {
    QStringList found;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(file);
        QSqlQuery q(db);
        if (db.open() && q.exec("SELECT unit_id, finished, interval_ms, records FROM runs "
                                "WHERE records > 0 ORDER BY rowid"))
            while (q.next())
                found << QStringLiteral("%1|%2|%3")
                             .arg(q.value(0).toString())
                             .arg(q.value(1).toInt())
                             .arg(q.value(2).toInt());
    }
    QSqlDatabase::removeDatabase("check");
    return found;
}

QStringList runLines(const QString& logFile) {
    QFile file(logFile);
    QStringList lines;
    if (file.open(QIODevice::ReadOnly))
        for (const QString& line : QString(file.readAll()).split('\n'))
            if (line.contains("]Run ") || line.contains("]Report "))
                lines << line.mid(line.indexOf(']') + 1);
    return lines;
}

// A bench: its settings, the simulator on a pseudo-terminal and the window on it.
struct Bench {
    TestEnv env;
    SimRunner sim{env.path() + "/dk61", env.path() + "/sim.log"};
    PortFactory ports;
    std::unique_ptr<Control_Panel> w;

    bool start(const QStringList& args, const QVariantMap& settings) {
        if (!sim.start(args))
            return false;
        ports.setVirtualPaths({env.path() + "/dk61"});
        env.setSetting("storeLogFile", true);
        env.setSetting("logFileDirectory", env.path());
        env.setSetting("flagFileDirectory", env.path());
        for (auto it = settings.begin(); it != settings.end(); ++it)
            env.setSetting(it.key(), it.value());
        w = std::make_unique<Control_Panel>(ports);
        return true;
    }
    template <typename T = QWidget> T* find(const char* name) const {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    qint64 records() const { return w->flagSession().live().summary.records(); }
    void typeUnit(const QString& id) const {
        auto* edit = find<QLineEdit>("lineEditUnitId");
        edit->setText(id);
        emit edit->editingFinished();
    }
    // File -> "Export report..." into `pdf`; its text.
    QString report(const QString& pdf, int which = -2) const {
        w->flagFiles().chooseSaveFile = [pdf](QWidget*, auto&, auto&, auto&) { return pdf; };
        w->flagFiles().chooseReportRun = [which](QWidget*, auto&, auto&) { return which; };
        find<QAction>("actionExportReport")->trigger();
        return E2eHarness::pdfText(pdf);
    }
};

// The simulated DK-61 with serial number 12345 (customer 7, flashed 2023-03-15 by 9) and its flag
// board.
QStringList namedBoard(const TestEnv& env, const QStringList& more) {
    EepromImage eeprom = EepromImage::makeDefault(0x42, 0xFF, 500);
    eeprom.write(EepromImage::ProductionAddress, {0, 7, 0x07, 0xD0, 0, 9, 0x30, 0x39});
    std::string error;
    eeprom.save((env.path() + "/eeprom.bin").toStdString(), error);
    return QStringList{"--board", "both", "--eeprom", env.path() + "/eeprom.bin"} + more;
}

// The Results dialog of `window`, once it lists `runs` runs.
ResultsDialog* resultsOf(QWidget* window, int runs) {
    window->findChild<QAction*>("actionResults")->trigger();
    auto* dialog = window->findChild<ResultsDialog*>();
    if (!dialog || !QTest::qWaitFor([&] { return dialog->listed().size() >= runs; }, 10000))
        return nullptr;
    return dialog;
}

// Selects the dialog's row of the run with `records` records and presses `button`.
bool press(ResultsDialog* dialog, const char* button, qint64 records) {
    int row = -1;
    for (int i = 0; i < dialog->listed().size(); ++i)
        if (dialog->listed()[i].records == records)
            row = i;
    if (row < 0)
        return false;
    dialog->findChild<QTableWidget*>("tableResults")->selectRow(row);
    QSignalSpy handled(dialog, &ResultsDialog::runHandled);
    dialog->findChild<QPushButton*>(button)->click();
    return handled.wait(10000);
}

} // namespace

class tst_runcycle : public QObject {
    Q_OBJECT

    QTemporaryDir shared; // the lab's database

private slots:
    // PG-001 measured, PG-002 typed for the next unit while it runs, "New run": each run keeps
    // its own unit, in the database and in the log file.
    void typedUnits_eachRunKeepsItsOwn() {
        Bench b;
        const QString db = shared.filePath("units.sqlite");
        QVERIFY2(b.start(FlagBoard, {{"resultsDatabase", "sqlite:" + db}}),
                 qPrintable(b.sim.error()));
        b.typeUnit("PG-001");
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 3, 10000);
        QCOMPARE(b.label("labelRunUnit"), QString("PG-001 (typed)"));
        b.typeUnit("PG-002");
        QCOMPARE(b.label("labelRunUnit"), QString("PG-001 (typed)"));
        QCOMPARE(b.label("labelNextUnit"), QString("Next unit: PG-002"));
        QVERIFY(!b.find("labelNextUnit")->isHidden());
        b.find<QPushButton>("buttonNewRun")->click();
        QCOMPARE(b.label("labelRunUnit"), QString("PG-002 (typed)"));
        QVERIFY(b.find("labelNextUnit")->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 3, 10000);
        b.find<QPushButton>("buttonEndRun")->click();
        QTRY_COMPARE(rows(db), (QStringList{"PG-001|1|1000", "PG-002|1|1000"}));
        QCOMPARE(
            runLines(b.w->logFile().absolutePath())
                .replaceInStrings(QRegularExpression(", \\d+ records, .*"), ""),
            (QStringList{"Run started: unit PG-001 (typed)", "Run ended: unit PG-001 (typed)",
                         "Run started: unit PG-002 (typed)", "Run ended: unit PG-002 (typed)"}));
    }

    // "End run": the run stops taking records, its flag file closes with its rows, and
    // "Export report..." reports it; once the next run goes, the report may be of either.
    void endRun_thenExportReportsIt() {
        Bench b;
        QVERIFY2(b.start(FlagBoard, {{"storeFlagFile_csv", true}}), qPrintable(b.sim.error()));
        b.typeUnit("PG-003");
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 5, 10000);
        const QString flagFile = b.w->flagFile().absolutePath();
        QSignalSpy arriving(b.w.get(), &Control_Panel::recievedCFlags);
        b.find<QPushButton>("buttonEndRun")->click();
        const qint64 ended = b.records();
        QTRY_VERIFY_WITH_TIMEOUT(arriving.count() >= 3, 5000); // the board goes on sending
        QCOMPARE(b.records(), ended);
        QVERIFY(b.find<QPushButton>("buttonStartRun")->isEnabled());
        QVERIFY(!b.find<QPushButton>("buttonEndRun")->isEnabled());
        QFile rowsWritten(flagFile);
        QVERIFY(rowsWritten.open(QIODevice::ReadOnly));
        QCOMPARE(rowsWritten.readAll().count('\n'), int(ended));
        const QString measured = QStringLiteral("(%1 records)").arg(ended);
        const QString endedText = b.report(b.env.path() + "/ended.pdf");
        QVERIFY(QFile::exists(b.env.path() + "/ended.pdf"));

        b.find<QPushButton>("buttonStartRun")->click();
        QVERIFY(b.w->flagFile().absolutePath() != flagFile);
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 1, 10000);
        const QString lastEndedText = b.report(b.env.path() + "/last-ended.pdf", 1);
        QVERIFY(QFile::exists(b.env.path() + "/last-ended.pdf"));
        SKIP_WITHOUT_PDFTOTEXT();
        QVERIFY2(endedText.contains("unit PG-003") && endedText.contains(measured),
                 qPrintable(endedText));
        QVERIFY2(lastEndedText.contains(measured), qPrintable(lastEndedText));
    }

    // Flag files off: a run measured on one bench is reported and reviewed on another profile
    // (no flag file, no outbox of the first) from the database alone, with its curve and unit,
    // and drawn as the reference behind the run.
    void secondProfile_reportsFromTheDatabaseAlone() {
        const QString db = shared.filePath("lab.sqlite");
        qint64 measured = 0;
        {
            Bench b;
            QVERIFY2(b.start(FlagBoard, {{"resultsDatabase", "sqlite:" + db}}),
                     qPrintable(b.sim.error()));
            b.typeUnit("PG-7");
            QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 12, 10000);
            b.find<QPushButton>("buttonEndRun")->click();
            measured = b.records();
        }
        WindowFixture fx;
        fx.env.setSetting("resultsDatabase", "sqlite:" + db);
        fx.env.setSetting("flagPlotUnit", "perSecond");
        fx.start();
        fx.window->boardSupervisor().answerWatchdog.stop();
        ResultsDialog* dialog = resultsOf(fx.window, 1);
        QVERIFY(dialog);
        const QString pdf = fx.env.path() + "/report.pdf";
        dialog->chooseSaveFile = [pdf](QWidget*, auto&, auto&, auto&) { return pdf; };
        QVERIFY(press(dialog, "buttonResultsReport", measured));
        QVERIFY2(QFile::exists(pdf),
                 qPrintable(dialog->findChild<QLabel*>("labelResultsMessage")->text()));
        const QString text = E2eHarness::pdfText(pdf);

        QVERIFY(press(dialog, "buttonResultsReference", measured));
        QCustomPlot* runPlot = fx.find<QCustomPlot>("customPlotRun");
        QCPGraph* reference = runPlot->graph(10);
        QVERIFY(reference->visible() && reference->name().startsWith("Reference: unit PG-7"));
        QVERIFY(reference->dataCount() > 0);

        QVERIFY(press(dialog, "buttonResultsReview", measured));
        QVERIFY(fx.window->flagSession().reviewing());
        QCOMPARE(fx.find<QLabel>("labelRunUnit")->text(), QString("PG-7 (typed)"));
        QCOMPARE(fx.find<QLabel>("labelRunRecords")->text(), QString::number(measured));
        QVERIFY(runPlot->graph(0)->dataCount() >= 12);
        SKIP_WITHOUT_PDFTOTEXT();
        QVERIFY2(text.contains("unit PG-7") && text.contains("from the results database") &&
                     text.contains(QStringLiteral("(%1 records)").arg(measured)),
                 qPrintable(text));
    }

    // The DK-61 names itself: the page, the review and the report of its run, from the Results
    // window, and the database name one unit.
    void reviewAndReport_nameTheSameUnit() {
        Bench b;
        const QString db = shared.filePath("named.sqlite");
        QVERIFY2(
            b.start(namedBoard(b.env, FlagBoard.mid(2)), {{"resultsDatabase", "sqlite:" + db}}),
            qPrintable(b.sim.error()));
        QTRY_VERIFY_WITH_TIMEOUT(
            b.label("labelRunUnit").startsWith("12345 (customer 7, firmware 60"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 3, 10000);
        b.find<QPushButton>("buttonEndRun")->click();
        const qint64 measured = b.records();
        QTRY_COMPARE(rows(db), QStringList{"12345|1|1000"});
        ResultsDialog* dialog = resultsOf(b.w.get(), 1);
        QVERIFY(dialog);
        QVERIFY(press(dialog, "buttonResultsReview", measured));
        const QString reviewed = b.label("labelRunUnit");
        QCOMPARE(reviewed, QString("12345 (customer 7, firmware 60)"));
        const QString fromReview = b.report(b.env.path() + "/review.pdf");
        dialog = resultsOf(b.w.get(), 1);
        const QString pdf = b.env.path() + "/results.pdf";
        dialog->chooseSaveFile = [pdf](QWidget*, auto&, auto&, auto&) { return pdf; };
        QVERIFY(press(dialog, "buttonResultsReport", measured));
        const QString fromResults = E2eHarness::pdfText(pdf);
        SKIP_WITHOUT_PDFTOTEXT();
        for (const QString& text : {fromReview, fromResults})
            QVERIFY2(text.contains("report: unit 12345 ") &&
                         text.contains("Unit 12345 Customer ID 7 Firmware 60 "),
                     qPrintable(text));
    }

    // Another interval chosen while a run goes: that run ends and the next one runs at the new
    // interval.
    void intervalChange_startsANewRun() {
        Bench b;
        const QString db = shared.filePath("intervals.sqlite");
        QStringList args = FlagBoard;
        args.removeOne("--hold-interval");
        args.last() = "10";
        QVERIFY2(b.start(args, {{"resultsDatabase", "sqlite:" + db}}), qPrintable(b.sim.error()));
        b.typeUnit("PG-010");
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 3, 10000);
        QSignalSpy started(&b.w->flagSession(), &RunSession::runStarted);
        auto* interval = b.find<QComboBox>("comboCFLAGInterval");
        interval->setCurrentIndex(2);
        emit interval->activated(2);
        QCOMPARE(started.count(), 1);
        QCOMPARE(b.label("labelRunUnit"), QString("PG-010 (typed)"));
        QTRY_VERIFY_WITH_TIMEOUT(b.w->flagSession().latestIntervalMs() == 30 && b.records() > 40,
                                 10000);
        b.find<QPushButton>("buttonEndRun")->click();
        QTRY_COMPARE(rows(db), (QStringList{"PG-010|1|1000", "PG-010|1|30"}));
    }

    // A DK-61 playing a disc of 3-second tracks: the whole run and its report along the disc
    // time, the tracks marked.
    void discTime_wholeRunAndReport() {
        Bench b;
        QVERIFY2(b.start(namedBoard(b.env,
                                    {"--start-interval", "1", "--hold-interval", "--playing",
                                     "--tracks", "4", "--track-seconds", "1", "--time-lapse", "4"}),
                         {{"flagPlotDiscTime", true}}),
                 qPrintable(b.sim.error()));
        QTRY_VERIFY_WITH_TIMEOUT(b.w->flagSession().live().series.size() >= 6, 15000);
        b.find<QPushButton>("buttonWholeRun")->click();
        QCustomPlot* plot = b.find<QCustomPlot>("customPlotRun");
        QTRY_COMPARE(plot->xAxis->label(), QString("Disc time (min:s)"));
        auto tracks = plot->xAxis2->ticker().dynamicCast<QCPAxisTickerText>();
        QVERIFY(tracks && tracks->ticks().values().contains("2"));
        b.find<QPushButton>("buttonEndRun")->click();
        const QString text = b.report(b.env.path() + "/disc.pdf");
        SKIP_WITHOUT_PDFTOTEXT();
        QVERIFY2(text.contains("Disc time") && text.contains("Track"), qPrintable(text));
    }

    // With "Report at the end of each run" the run's report is written into the Reports folder
    // beside the Logs and Flags folders, named by its start and unit, and the log file says where.
    void reportAtTheEndOfEachRun() {
        const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
        Bench b;
        qputenv("HOME", b.env.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (b.env.path() + "/config").toLocal8Bit());
        QVERIFY2(b.start(FlagBoard, {{"reportAtRunEnd", true}}), qPrintable(b.sim.error()));
        b.typeUnit("PG/9 x");
        QTRY_VERIFY_WITH_TIMEOUT(b.records() >= 3, 10000);
        b.find<QPushButton>("buttonEndRun")->click();
        const QDir reports(b.env.path() + "/Documents/DK-61 PC-Tool/Reports");
        const QStringList written = reports.entryList({"*_PG_9_x-report.pdf"}, QDir::Files);
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
        QCOMPARE(written.size(), 1);
        QVERIFY(runLines(b.w->logFile().absolutePath())
                    .contains("Report written: " +
                              QDir::toNativeSeparators(reports.filePath(written.first()))));
    }
};

QTEST_MAIN(tst_runcycle)
#include "tst_runcycle.moc"
