// The flag page's run as the operator meets it: the summary under the plot, limits, pause, the
// whole-run view, export, review of a saved file and the interval in the status bar.
#include "cd_board.h"
#include "flags/flagscalebar.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "flags/wholerunplot.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

// A 14-byte CFLAG frame (flag board firmware 5) as the text fx.feed() takes.
QString frame(int c1, int c1u, int c2, int c2u, int interp, int status = 1) {
    QString text = QStringLiteral("C6 0C");
    for (int c : {c1, c1u, c2, c2u, interp})
        text += QStringLiteral(" %1 %2")
                    .arg(c >> 8, 2, 16, QLatin1Char('0'))
                    .arg(c & 0xFF, 2, 16, QLatin1Char('0'));
    return text + QStringLiteral(" %1 05").arg(status, 2, 16, QLatin1Char('0'));
}

QString text(const WindowFixture& fx, const char* name) {
    return fx.find<QLabel>(QString::fromLatin1(name))->text();
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_runpanel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    void start(const QVariantMap& settings = {}) {
        for (auto it = settings.begin(); it != settings.end(); ++it)
            fx->env.setSetting(it.key(), it.value());
        fx->start();
        fx->window->boardSupervisor().answerWatchdog.stop();
        QVERIFY(fx->device());
    }
    QCustomPlot* runPlot() const { return fx->find<QCustomPlot>("customPlotRun"); }

private slots:
    void init() { fx = std::make_unique<WindowFixture>(); }
    void cleanup() { fx.reset(); }

    // 30 ms records of C1 counts 11 and 22 (4.99 % and 9.98 %) against limits.
    void limits_linesAndVerdict_data() {
        QTest::addColumn<QVariantMap>("limits");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("overC1");
        QTest::addColumn<int>("lines");
        QTest::newRow("none") << QVariantMap{} << "no limits set"
                              << "no limit" << 0;
        QTest::newRow("C1 at 5 %: failed") << QVariantMap{{"limitC1", 5}} << "FAIL"
                                           << "1 over 5 %" << 1;
        QTest::newRow("C1 at 10 %, C2 at 1 %: passed")
            << QVariantMap{{"limitC1", 10}, {"limitC2", "1"}} << "PASS"
            << "0 over 10 %" << 2;
    }
    void limits_linesAndVerdict() {
        QFETCH(QVariantMap, limits);
        QFETCH(QString, verdict);
        QFETCH(QString, overC1);
        QFETCH(int, lines);
        start(limits);
        fx->feed(frame(11, 0, 0, 0, 0, 3) + frame(22, 0, 0, 0, 0, 3));
        QTRY_COMPARE(text(*fx, "labelRunVerdict"), verdict);
        QCOMPARE(text(*fx, "labelOverC1"), overC1);
        QCOMPARE(fx->find<QLabel>("labelRunVerdict")->styleSheet(),
                 verdict == "PASS"   ? QString("QLabel {color: green}")
                 : verdict == "FAIL" ? QString("QLabel {color: red}")
                                     : QString());
        // Dashed lines in the flag's colour at the limit.
        QCustomPlot* plot = fx->find<QCustomPlot>("customPlot");
        int shown = 0;
        for (int i = 0; i < plot->itemCount(); ++i) {
            auto* line = qobject_cast<QCPItemStraightLine*>(plot->item(i));
            if (!line || !line->visible())
                continue;
            ++shown;
            QCOMPARE(line->pen().style(), Qt::DashLine);
            QCOMPARE(line->point1->coords().y(), line->point2->coords().y());
            const double y = line->point1->coords().y();
            const int k = y == limits.value("limitC1").toDouble() ? 0 : 2;
            QCOMPARE(line->pen().color(), plot->graph(k)->pen().color());
        }
        QCOMPARE(shown, lines);
    }

    // The summary belongs to the run: clearing the plot (slider, interval) keeps it, "New run"
    // starts again; pause freezes the live curves while the run goes on.
    void run_survivesPlotResets_pauseFreezes() {
        start();
        fx->feed(frame(7, 1, 0, 0, 0) + frame(3, 0, 0, 0, 2));
        QTRY_COMPARE(text(*fx, "labelRunRecords"), QString("2"));
        fx->find<QSlider>("horizontalSliderFlagsGraph")->setValue(20);
        emit fx->find<QComboBox>("comboCFLAGInterval")->activated(0);
        fx->feed(frame(5, 0, 0, 0, 0));
        QTRY_COMPARE(text(*fx, "labelRunRecords"), QString("3"));
        QCOMPARE(text(*fx, "labelTotalC1"), QString("15"));
        QCOMPARE(text(*fx, "labelRunTroubled"), QString("2"));
        QCOMPARE(text(*fx, "labelRunLength"), QString("00:00:03"));

        QCustomPlot* live = fx->find<QCustomPlot>("customPlot");
        const int points = live->graph(0)->dataCount();
        fx->find<QPushButton>("buttonPauseLive")->click();
        QCOMPARE(fx->find<QPushButton>("buttonPauseLive")->text(), QString("Resume"));
        fx->feed(frame(9, 0, 0, 0, 0) + frame(9, 0, 0, 0, 0));
        QCOMPARE(live->graph(0)->dataCount(), points);
        QTRY_COMPARE(text(*fx, "labelRunRecords"), QString("5"));
        fx->find<QPushButton>("buttonPauseLive")->click();
        QCOMPARE(live->graph(0)->dataCount(), points + 2);

        fx->find<QPushButton>("buttonNewRun")->click();
        QCOMPARE(text(*fx, "labelRunRecords"), QString("0"));
        QCOMPARE(text(*fx, "labelTotalC1"), QString("0"));
        QCOMPARE(fx->find<QLabel>("labelTotalC1")->accessibleName(), QString("0"));
    }

    // A typed unit ID names the run in the log file, the exported run (and that run when it is
    // reviewed) and the results; settings
    // other than the flag file's keep the run; "New run" starts the next flag file and keeps the
    // ID unless asked to clear it.
    void newRun_nextFlagFileAndTypedUnit() {
        const QString dir = fx->env.path();
        start({{"storeLogFile", true},
               {"logFileDirectory", dir},
               {"storeFlagFile_csv", true},
               {"flagFileDirectory", dir}});
        QSignalSpy ended(&fx->window->flagSession(), &RunSession::runEnded);
        fx->feed(frame(7, 0, 0, 1, 0) + frame(3, 0, 0, 0, 0));
        auto* unitId = fx->find<QLineEdit>("lineEditUnitId");
        unitId->setText("AB-17");
        emit unitId->editingFinished();
        fx->window->openSettings();
        fx->find<QLineEdit>("lineLimitC1")->setText("0");
        fx->find<QPushButton>("buttonApplyChanges")->click();
        QTRY_COMPARE(text(*fx, "labelRunRecords"), QString("2"));
        const QString firstFile = fx->window->flagFile().absolutePath();
        fx->window->flagFiles().exportRun(dir + "/run.csv");
        QVERIFY(readAll(dir + "/run.csv").split('\n')[0].contains(",Unit: AB-17 (typed)"));
        // Reviewed and exported again, the run still names its unit.
        QVERIFY(fx->window->flagFiles().openRun(dir + "/run.csv"));
        QCOMPARE(text(*fx, "labelRunUnit"), QString("AB-17 (typed)"));
        fx->window->flagFiles().exportRun(dir + "/again.csv");
        QCOMPARE(readAll(dir + "/again.csv"), readAll(dir + "/run.csv"));
        fx->find<QPushButton>("buttonBackToLive")->click();

        fx->find<QPushButton>("buttonNewRun")->click();
        QCOMPARE(ended.count(), 1);
        const RunSession::Run* first = fx->window->flagSession().lastEnded();
        QVERIFY(first);
        QCOMPARE(QStringList({first->unit.unit(), first->summary.recordsText(),
                              first->summary.e32Text(), first->summary.standardText(),
                              first->summary.verdictText(), first->flagFile}),
                 QStringList({"AB-17", "2", "1", "FAIL: E32 1 (run shorter than 10 s)", "FAIL",
                              firstFile}));
        const QString secondFile = fx->window->flagFile().absolutePath();
        QVERIFY(secondFile != firstFile && QFile::exists(secondFile));
        QVERIFY(text(*fx, "labelRunSource").endsWith(QFileInfo(secondFile).fileName()));
        QCOMPARE(text(*fx, "labelRunUnit"), QString("AB-17 (typed)"));
        fx->feed(frame(1, 0, 0, 0, 0));
        fx->find<QCheckBox>("checkBoxClearUnitId")->setChecked(true);
        fx->find<QPushButton>("buttonNewRun")->click();
        QVERIFY(unitId->text().isEmpty());
        fx->feed(frame(1, 0, 0, 0, 0));
        const QByteArray log = readAll(fx->window->logFile().absolutePath());
        for (const char* line :
             {"]Run unit: unit AB-17 (typed)\n", "]Run started: unit AB-17 (typed)\n",
              "]Run started: unit not identified\n"})
            QVERIFY2(log.contains(line), line);
    }

    // The whole run: shown in place of the live plot, a gap where the link was down, one point
    // per record while the run is shorter than the plot is wide.
    void wholeRun_gapWhereTheLinkWasDown() {
        start({{"storeLogFile", true}, {"logFileDirectory", fx->env.path()}});
        QString records;
        for (int i = 0; i < 40; ++i)
            records += frame(i, 0, 0, 0, 0, 3);
        fx->feed(records);
        // The adapter breaks; the tool finds it again at once.
        QSignalSpy down(fx->board, &CD_Board::disconnected_from_serial_port);
        fx->board->trans_error(QSerialPort::ResourceError);
        QTRY_COMPARE(down.count(), 1);
        QTRY_VERIFY(fx->board->isPortOpen() && fx->device());
        fx->feed(records);
        fx->find<QPushButton>("buttonWholeRun")->click();
        QVERIFY(runPlot()->isVisibleTo(fx->window));
        QVERIFY(!fx->find<QCustomPlot>("customPlot")->isVisibleTo(fx->window));
        fx->window->flagRun().wholeRunPlot()->redraw();
        QCPGraphDataContainer& data = *runPlot()->graph(0)->data();
        int nans = 0;
        for (const QCPGraphData& point : data)
            nans += std::isnan(point.value);
        QCOMPARE(nans, 1);
        QCOMPARE(data.size(), 81);
        QVERIFY(!fx->window->flagRun().wholeRunPlot()->decimated());
        const QString log = QString::fromLatin1(readAll(fx->window->logFile().fileName()));
        QVERIFY2(log.contains(QRegularExpression("\\]Link down: .*bridge-0 \\(.*\\)\\n")),
                 qPrintable(log));
        QVERIFY2(log.contains(QRegularExpression("\\]Link back: .*bridge-0 at 128000 Baud\\n")),
                 qPrintable(log));
    }

    // The operator's unit and scale: per second a count divided by its interval, in both plots
    // and for the limit line; marks on the edge where a curve rises above a fixed top; an axis
    // that follows the data. The choice is remembered.
    void perSecond_autoScale_edgeMarks() {
        start({{"limitC1", 5}});
        // 30 ms records, C1 6 and 66 flagged frames: 200 and 2200 a second.
        fx->feed(frame(6, 0, 0, 0, 0, 3) + frame(66, 0, 0, 0, 0, 3));
        QTRY_COMPARE(text(*fx, "labelRunRecords"), QString("2"));
        QCustomPlot* live = fx->find<QCustomPlot>("customPlot");
        fx->find<QRadioButton>("radioFlagsPerSecond")->click();
        QCOMPARE(live->yAxis->label(), QString("Flags per second"));
        QVERIFY(qAbs(live->graph(0)->data()->at(1)->value - 2200.0) < 1e-6);
        fx->window->flagRun().wholeRunPlot()->redraw();
        double largest = 0;
        for (const QCPGraphData& point : *runPlot()->graph(0)->data())
            largest = qMax(largest, point.value);
        QVERIFY(qAbs(largest - 2200.0) < 1e-3);
        QCOMPARE(runPlot()->yAxis->label(), QString("Flags per second"));
        for (int i = 0; i < live->itemCount(); ++i) {
            if (auto* line = qobject_cast<QCPItemStraightLine*>(live->item(i)); line->visible())
                QCOMPARE(line->point1->coords().y(), 5 * 73.5);
        }
        // Top at 10 % of the frames, 735 a second: the second point gets a mark on the edge.
        fx->find<QSlider>("verticalSliderFlagsGraph")->setValue(10);
        QCOMPARE(live->yAxis->range().upper, 735.0);
        QCOMPARE(live->graph(5)->data()->size(), 1);
        QCOMPARE(live->graph(5)->data()->at(0)->key, 0.03);
        QCOMPARE(live->graph(5)->data()->at(0)->value, 735.0);
        fx->find<QCheckBox>("checkBoxFlagsAutoScale")->click();
        live->replot();
        QCOMPARE(live->yAxis->range().upper, 5000.0);
        QCOMPARE(live->graph(5)->data()->size(), 0);
        // Back in percent, and the next start shows what the operator left.
        fx->find<QRadioButton>("radioFlagsPercent")->click();
        QVERIFY(qAbs(live->graph(0)->data()->at(1)->value - 66 / 2.205) < 1e-9);
        fx->find<QRadioButton>("radioFlagsPerSecond")->click();
        QSettings store;
        QWidget page;
        FlagScaleBar next(new QSlider(&page), &store);
        QCOMPARE(next.unit(), FlagScale::Unit::PerSecond);
        QVERIFY(next.automatic());
    }

    void export_pngPdfCsv() {
        start();
        for (int i = 0; i < 12; ++i)
            fx->feed(frame(i, 0, i % 3, 0, 0, 2));
        const QString dir = fx->env.path();
        fx->window->flagFiles().chooseSaveFile = [dir](QWidget*, const QString&,
                                                       const QString& suggested, const QString&) {
            return dir + "/" + QFileInfo(suggested).fileName();
        };
        for (const char* action : {"actionSavePlotPng", "actionSavePlotPdf", "actionExportRunCsv"})
            fx->find<QAction>(action)->trigger();
        const QStringList files = QDir(dir).entryList({"run-*"}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 3);
        const QByteArray csv = readAll(dir + "/" + files[0]);
        const QByteArray pdf = readAll(dir + "/" + files[1]);
        const QByteArray png = readAll(dir + "/" + files[2]);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QVERIFY(png.size() > 2000);
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        QVERIFY(pdf.size() > 1000);
        // The CSV as a spreadsheet reads it: a header and one line of 13 fields per record.
        const QList<QByteArray> lines = csv.trimmed().split('\n');
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0].split(',').size(), 13);
        const QList<QByteArray> last = lines.last().trimmed().split(',');
        QCOMPARE(last.size(), 13);
        QCOMPARE(last[2] + " " + last[3] + " " + last[5], QByteArray("170 11 2"));
        // A full disk: each export says it failed instead of leaving a cut-short file behind.
        if (QFileInfo::exists("/dev/full")) {
            RunFiles& run = fx->window->flagFiles();
            QVERIFY(!run.savePlot("/dev/full", false));
            QVERIFY(!run.savePlot("/dev/full", true));
            QVERIFY(!run.exportRun("/dev/full"));
        }
    }

    void intervalLabel_followsTheRecords_data() {
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("reported");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("style");
        QTest::newRow("170 ms as asked") << 1 << 2 << "  Interval: 170 ms  "
                                         << "QLabel {color: green}";
        QTest::newRow("1 s where 30 ms was asked") << 2 << 1 << "  Interval: 1 s (asked: 30 ms)  "
                                                   << "QLabel {color: red}";
        QTest::newRow("none reported yet") << 0 << 0 << "  Interval: not reported  "
                                           << "QLabel {color: red}";
    }
    void intervalLabel_followsTheRecords() {
        QFETCH(int, chosen);
        QFETCH(int, reported);
        QFETCH(QString, label);
        QFETCH(QString, style);
        start();
        auto* combo = fx->find<QComboBox>("comboCFLAGInterval");
        combo->setCurrentIndex(chosen);
        emit combo->activated(chosen);
        if (reported)
            fx->feed(frame(1, 0, 0, 0, 0, reported));
        QLabel* interval = fx->find<QLabel>("intervalLabel");
        QCOMPARE(interval->text(), label);
        QCOMPARE(interval->styleSheet(), style);
        QCOMPARE(interval->parentWidget(), fx->window->statusBar());
    }

    // No adapter at all: "Continue Offline" brings the window up, and a saved flag file is
    // reviewed from the File menu.
    void noAdapter_reviewFromFileMenu() {
        fx = std::make_unique<WindowFixture>(0);
        QTimer answer;
        int boxes = 0;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == "Continue Offline")
                        button->click();
                }
            }
        });
        answer.start(10);
        fx->start();
        answer.stop();
        QCOMPARE(boxes, 1);
        QVERIFY(!fx->board->isPortOpen());
        QVERIFY(!fx->window->quitTimer().isActive());

        const QString path = fx->env.path() + "/20250306090407.txt";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("00:00:01,\t12,\t0,\t3,\t0,\t0\n00:00:0\n00:00:02,\t735,\t1,\t0,\t0,\t2\n");
        file.close();
        fx->window->flagFiles().chooseOpenFile = [path](QWidget*, const QString&, const QString&,
                                                        const QString&) { return path; };
        fx->find<QAction>("actionOpenFlagFile")->trigger();
        QCOMPARE(text(*fx, "labelRunRecords"), QString("2"));
        QCOMPARE(text(*fx, "labelTotalC1"), QString("747"));
        QCOMPARE(text(*fx, "labelMaxC1"), QString("10.000 % (735)"));
        QCOMPARE(text(*fx, "labelRunTroubled"), QString("1"));
        QVERIFY(text(*fx, "labelRunSource").endsWith("20250306090407.txt (1 lines skipped)"));
        QVERIFY(runPlot()->isVisibleTo(fx->window));
        QCOMPARE(runPlot()->graph(0)->dataCount(), 2);
        fx->find<QPushButton>("buttonBackToLive")->click();
        QCOMPARE(text(*fx, "labelRunRecords"), QString("0"));
        QVERIFY(!runPlot()->isVisibleTo(fx->window));
    }

    // A flag file renamed by hand: its last row is when it was last written.
    void review_renamedFlagFileEndsWhenLastWritten() {
        start();
        QFile file(fx->env.path() + "/unit 17.txt");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("01:00:00,\t1,\t0,\t0,\t0,\t0\n01:10:00,\t3,\t0,\t0,\t0,\t0\n");
        file.flush();
        QVERIFY(file.setFileTime(QDateTime(QDate(2025, 3, 6), QTime(10, 0)),
                                 QFileDevice::FileModificationTime));
        RunFiles& run = fx->window->flagFiles();
        QVERIFY(run.openRun(file.fileName()) && run.exportRun(file.fileName() + "v"));
        QVERIFY(readAll(file.fileName() + "v").split('\n')[1].startsWith("2025-03-06 09:50:00.0"));
    }
};

QTEST_MAIN(tst_runpanel)
#include "tst_runpanel.moc"
