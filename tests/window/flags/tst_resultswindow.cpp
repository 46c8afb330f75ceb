// The results database in the window, on SQLite files: a live run becomes a row when it ends
// ("New run", the window closing), runs that cannot reach the database are told in the status
// bar, runs that no folder takes hold the window's closing with a question, the "Results..."
// dialog lists, filters and exports them and tells the runs that ended unexpectedly; a review
// being read can be cancelled.
#include "flags/resultsdialog.h"
#include "flags/runfiles.h"
#include "flags/runsession.h"
#include "main/control_panel.h"
#include "resultsstore.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A 14-byte CFLAG frame at the 30 ms interval as the text fx.feed() takes.
QString frame(int c1, int c2u) {
    return QStringLiteral("C6 0C 00 %1 00 00 00 00 00 %2 00 00 03 05")
        .arg(c1, 2, 16, QLatin1Char('0'))
        .arg(c2u, 2, 16, QLatin1Char('0'));
}

// The rows of `runs` in an SQLite file: records, c1_total, verdicts, finished, unit_id.
QStringList rows(const QString& file) {
    QStringList found;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(file);
        QSqlQuery q(db);
        if (db.open() &&
            q.exec("SELECT records, c1_total, verdict_standard || '/' || verdict_limits, "
                   "finished, unit_id FROM runs "
                   "ORDER BY "
                   "started_at")) {
            while (q.next())
                found << QStringLiteral("%1 %2 %3 %4 %5")
                             .arg(q.value(0).toInt())
                             .arg(q.value(1).toInt())
                             .arg(q.value(2).toString())
                             .arg(q.value(3).toInt())
                             .arg(q.value(4).toString());
        }
    }
    QSqlDatabase::removeDatabase("check");
    return found;
}

} // namespace

class tst_resultswindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<WindowFixture> fx;

    QString database() const { return dir.filePath("runs.sqlite"); }
    void start(const QString& location, const std::function<void(TestEnv&)>& prepare = {}) {
        fx = std::make_unique<WindowFixture>();
        if (prepare)
            prepare(fx->env);
        fx->env.setSetting("resultsDatabase", location);
        fx->start();
        fx->window->boardSupervisor().answerWatchdog.stop();
        QVERIFY(fx->device());
    }

    // The window on a database holding `runs`, its Results dialog open and listing them.
    ResultsDialog* openDialog(const QVector<RunResult>& runs) {
        {
            ResultsStore::Options options;
            options.location = "sqlite:" + database();
            options.outboxPath = dir.filePath("outbox.sqlite");
            ResultsStore store(options);
            for (const RunResult& r : runs)
                store.finish(r);
            if (!store.flush(5000))
                return nullptr;
        }
        start("sqlite:" + database());
        fx->find<QAction>("actionResults")->trigger();
        auto* dialog = fx->window->findChild<ResultsDialog*>();
        if (!dialog || !QTest::qWaitFor([&] { return dialog->listed().size() == runs.size(); }))
            return nullptr;
        return dialog;
    }

private slots:
    void cleanup() {
        fx.reset();
        QFile::remove(database());
    }

    // A run is a row once it ends, with its totals and verdict; the run after it, without a
    // record, leaves no row.
    void run_writtenWhenItEnds_data() {
        QTest::addColumn<QString>("end");
        QTest::newRow("New run") << "new run";
        QTest::newRow("window closed (also the end after SIGTERM)") << "close";
        // Limits set after the run's last record judge it again.
        QTest::newRow("limits, then New run") << "limits, new run";
    }
    void run_writtenWhenItEnds() {
        QFETCH(QString, end);
        start("sqlite:" + database());
        // The unit the operator typed (no board named one) goes with the run.
        auto* unit = fx->find<QLineEdit>("lineEditUnitId");
        unit->setText("MECH-7");
        emit unit->editingFinished();
        fx->feed(frame(1, 0) + frame(2, 0) + frame(3, 1));
        QTRY_COMPARE(fx->window->flagSession().live().summary.records(), qint64(3));
        // The first record is written at once, as a run going on.
        QTRY_COMPARE(rows(database()), QStringList{"1 1 PASS/ 0 MECH-7"});
        if (end.startsWith("limits"))
            fx->window->flagSession().setLimits(FlagLimits{{0.0}});
        const QString ended =
            end.startsWith("limits") ? "3 6 FAIL/FAIL 1 MECH-7" : "3 6 FAIL/ 1 MECH-7";
        if (end.endsWith("new run"))
            fx->find<QPushButton>("buttonNewRun")->click();
        else
            fx.reset();
        QTRY_COMPARE(rows(database()), QStringList{ended});
        fx.reset();
        QCOMPARE(rows(database()), QStringList{ended});
    }

    // While the database cannot be reached, the status bar says how many runs wait.
    void unreachableDatabase_runsWaitInStatusBar() {
        start("postgresql://bench@127.0.0.1:1/dk61");
        auto* label = fx->find<QLabel>("resultsLabel");
        QVERIFY(label);
        QVERIFY(label->isHidden());
        fx->feed(frame(1, 0));
        QTRY_VERIFY(!label->isHidden());
        QCOMPARE(label->accessibleName(), QString("RESULTS: 1 run waiting"));
        QVERIFY(label->toolTip().startsWith("postgresql://bench@127.0.0.1:1/dk61"));
    }

    // No folder takes the run (the application data folder and the Logs and Flags folders cannot
    // be written) and the database is away: the status bar says so in words, and closing the
    // window asks Retry (the default) or Quit anyway. Retry asks again while nothing changed and
    // closes once the run is saved.
    void notSaved_closingAsks_data() {
        QTest::addColumn<bool>("quitAnyway");
        QTest::newRow("Retry after making room") << false;
        QTest::newRow("Quit anyway") << true;
    }
    void notSaved_closingAsks() {
        QFETCH(bool, quitAnyway);
        QString data;
        auto block = [&](bool on) {
            QFile file(data);
            QVERIFY(on ? file.open(QIODevice::WriteOnly) : file.remove());
        };
        start("postgresql://bench@127.0.0.1:1/dk61", [&](TestEnv& env) {
            data = env.path() + "/data/Orvalta/DK-61 PC-Tool";
            QDir().mkpath(QFileInfo(data).path());
            block(true);
            env.setSetting("logFileDirectory", data + "/Logs");
            env.setSetting("flagFileDirectory", data + "/Flags");
        });
        fx->feed(frame(1, 0));
        auto* label = fx->find<QLabel>("resultsLabel");
        QTRY_COMPARE(label->accessibleName(),
                     QString("RESULTS: 1 run NOT SAVED (folder not writable)"));

        int asked = 0;
        QString defaultButton;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box->objectName() != "resultsNotSaved")
                return;
            defaultButton = box->defaultButton()->text();
            const bool last = quitAnyway || ++asked == 2;
            if (last && !quitAnyway)
                block(false);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == (quitAnyway ? "Quit anyway" : "Retry"))
                    b->click();
        });
        answer.start(20);
        fx->window->close();
        answer.stop();
        QCOMPARE(defaultButton, QString("Retry"));
        QCOMPARE(asked, quitAnyway ? 0 : 2);
        QVERIFY(!fx->window->isVisible());
        if (quitAnyway) { // lost, but its row is logged
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression("^run NOT SAVED \\(folder not writable\\): "
                                                    "run_id=.*records=1,.*finished=1"));
            fx.reset();
            return;
        }
        QCOMPARE(rows(data + "/results-outbox.sqlite"), QStringList{"1 1 PASS/ 0 "});
    }

    // A run whose program ended while measuring is listed as having ended unexpectedly.
    void dialog_showsRunEndedUnexpectedly() {
        RunResult killed = RunResult::begin();
        killed.ended = RunResult::EndedUnexpectedly;
        ResultsStore::Options options;
        options.location = "sqlite:" + database();
        options.outboxPath = dir.filePath("outbox.sqlite");
        {
            ResultsStore store(options);
            store.update(killed);
            QVERIFY(store.flush(5000));
        }
        start("sqlite:" + database());
        fx->find<QAction>("actionResults")->trigger();
        auto* table = fx->window->findChild<QTableWidget*>("tableResults");
        QTRY_COMPARE(table ? table->rowCount() : 0, 1);
        QVERIFY(!table->findItems("unexpectedly", Qt::MatchExactly).isEmpty());
    }

    // The dialog lists the runs newest first, filters them and exports what it lists.
    void dialog_filtersAndExports_data() {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("verdict"); // 0 any, 1 PASS, 2 FAIL
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("all, newest first") << "" << 0 << QStringList{"303", "202", "101"};
        QTest::newRow("by unit ID") << "ab-2" << 0 << QStringList{"202"};
        QTest::newRow("failed") << "" << 2 << QStringList{"303"};
    }
    void dialog_filtersAndExports() {
        QFETCH(QString, unit);
        QFETCH(int, verdict);
        QFETCH(QStringList, serials);
        QVector<RunResult> runs;
        for (int i = 1; i <= 3; ++i) {
            RunResult r = RunResult::begin(QDateTime::currentDateTimeUtc().addDays(i - 5));
            r.serialNumber = QString::number(101 * i);
            r.unitId = QStringLiteral("AB-%1").arg(i);
            r.verdictStandard = i == 3 ? "FAIL" : "PASS";
            runs << r;
        }
        ResultsDialog* dialog = openDialog(runs);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>("lineResultsUnit")->setText(unit);
        dialog->findChild<QComboBox*>("comboResultsVerdict")->setCurrentIndex(verdict);
        QTRY_COMPARE(dialog->listed().size(), serials.size());
        QStringList shown;
        for (const RunResult& r : dialog->listed())
            shown << r.serialNumber;
        QCOMPARE(shown, serials);

        const QString csv = dir.filePath("export.csv");
        dialog->chooseSaveFile = [csv](QWidget*, const QString&, const QString&, const QString&) {
            return csv;
        };
        dialog->findChild<QPushButton*>("buttonResultsExport")->click();
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 1 + serials.size() + 1); // header, runs, nothing after the last
        QVERIFY(lines[1].contains(serials.first().toLatin1()));
    }

    // The list sorts by the header clicked (numbers as numbers), shows the start in full, takes
    // the runs of another bench on "Refresh" and follows this bench's runs by itself.
    void dialog_sortsRefreshesAndFollows() {
        QVector<RunResult> runs;
        for (int records : {9, 100, 10}) {
            RunResult r = RunResult::begin(QDateTime::currentDateTimeUtc().addDays(-records));
            r.records = records;
            runs << r;
        }
        ResultsDialog* dialog = openDialog(runs);
        QVERIFY(dialog);
        auto* table = dialog->findChild<QTableWidget*>("tableResults");
        // The cell keeps a few pixels of margin on either side of its text.
        QVERIFY(table->fontMetrics().horizontalAdvance(table->item(0, 0)->text()) + 8 <=
                table->columnWidth(0));
        QHeaderView* header = table->horizontalHeader();
        int records = 0;
        while (records < table->columnCount() &&
               table->horizontalHeaderItem(records)->text() != "Records")
            ++records;
        QVERIFY(records < table->columnCount());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(records) + 5, 5));
        auto column = [table](int c) {
            QStringList texts;
            for (int row = 0; row < table->rowCount(); ++row)
                texts << table->item(row, c)->text();
            return texts;
        };
        QCOMPARE(column(records), QStringList({"9", "10", "100"}));
        table->selectRow(1);
        QCOMPARE(dialog->chosenRuns().size(), 1);
        QCOMPARE(dialog->chosenRuns().first().records, qint64(10));

        {
            ResultsStore::Options options;
            options.location = "sqlite:" + database();
            options.outboxPath = dir.filePath("other-outbox.sqlite");
            ResultsStore otherBench(options);
            RunResult r = RunResult::begin();
            r.records = 50;
            otherBench.finish(r);
            QVERIFY(otherBench.flush(5000));
        }
        dialog->findChild<QPushButton*>("buttonResultsRefresh")->click();
        QTRY_COMPARE(column(records), QStringList({"9", "10", "50", "100"}));
        QCOMPARE(dialog->chosenRuns().first().records, qint64(10)); // still selected

        fx->feed(frame(1, 0));
        QTRY_COMPARE(column(records), QStringList({"1", "9", "10", "50", "100"}));
    }

    // A stored run's flag file opens for review and makes its report where it can be reached;
    // otherwise the dialog says why.
    void dialog_reviewAndReport_data() {
        QTest::addColumn<QString>("flagFile");
        QTest::addColumn<QString>("told"); // empty: done
        QTest::newRow("flag file at hand") << "20250306090407.txt" << QString();
        QTest::newRow("flag file gone") << "gone.txt"
                                        << "cannot be reached from this bench";
        QTest::newRow("run without a flag file") << ""
                                                 << "no flag file";
    }
    void dialog_reviewAndReport() {
        QFETCH(QString, flagFile);
        QFETCH(QString, told);
        const QString path = flagFile.isEmpty() ? QString() : dir.filePath(flagFile);
        if (told.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int s = 0; s < 20; ++s)
                file.write(QStringLiteral("00:00:%1,\t%2,\t0,\t1,\t0,\t0\n")
                               .arg(s, 2, 10, QLatin1Char('0'))
                               .arg(s)
                               .toLatin1());
        }
        RunResult run = RunResult::begin();
        run.flagFile = path;
        ResultsDialog* dialog = openDialog({run});
        QVERIFY(dialog);
        dialog->findChild<QTableWidget*>("tableResults")->selectRow(0);
        const QString pdf = dir.filePath("report.pdf");
        dialog->chooseSaveFile = [pdf](QWidget*, const QString&, const QString&, const QString&) {
            return pdf;
        };
        QSignalSpy handled(dialog, &ResultsDialog::runHandled);
        dialog->findChild<QPushButton*>("buttonResultsReport")->click();
        QVERIFY(handled.wait(5000));
        QCOMPARE(QFile::exists(pdf), told.isEmpty());
        dialog->findChild<QPushButton*>("buttonResultsReview")->click();
        QVERIFY(handled.wait(5000));
        QCOMPARE(fx->window->flagSession().reviewing(), told.isEmpty());
        QCOMPARE(dialog->isVisible(), !told.isEmpty());
        if (!told.isEmpty())
            QVERIFY2(dialog->findChild<QLabel*>("labelResultsMessage")->text().contains(told),
                     qPrintable(dialog->findChild<QLabel*>("labelResultsMessage")->text()));
        QFile::remove(pdf);
        QFile::remove(path);
    }

    // A large file being read for review can be cancelled: nothing changes, nothing complains.
    void review_cancelled() {
        const QString path = dir.filePath("20250306090407.txt");
        {
            QByteArray block;
            for (int i = 0; i < 40000; ++i)
                block += "00:00:01,\t12,\t0,\t3,\t0,\t0\n";
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            for (int i = 0; i < 40; ++i)
                file.write(block);
        }
        start("sqlite:" + database());
        fx->window->flagFiles().chooseOpenFile = [path](QWidget*, const QString&, const QString&,
                                                        const QString&) { return path; };
        bool cancelled = false;
        QTimer::singleShot(0, fx->window, [&] {
            auto* progress = fx->window->findChild<QProgressDialog*>("readingProgress");
            for (auto* button :
                 progress ? progress->findChildren<QPushButton*>() : QList<QPushButton*>())
                if (button->text() == "Cancel") {
                    button->click();
                    cancelled = true;
                }
        });
        fx->find<QAction>("actionOpenFlagFile")->trigger();
        QVERIFY(cancelled);
        QVERIFY(!fx->window->flagSession().reviewing());
        QVERIFY(!fx->window->findChild<QMessageBox*>());
        QVERIFY(!fx->window->findChild<QProgressDialog*>());
        QVERIFY(!fx->find<QPushButton>("buttonNewRun")->isHidden());
    }
};

QTEST_MAIN(tst_resultswindow)
#include "tst_resultswindow.moc"
