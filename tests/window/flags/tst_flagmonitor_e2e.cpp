// A flag board on a pseudo-terminal sends CFLAG frames with stray bytes between them; the tool
// must show, plot and record every one of them.
#include "cd_board.h"
#include "console/consolepage.h"
#include "console/trafficview.h"
#include "e2eharness.h"
#include "flags/runfiles.h"
#include "flags/runsession.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "ptypair.h"
#include "simrunner.h"
#include "testenv.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QtTest>

#include <array>
#include <memory>

namespace {

using Counts = std::array<quint16, 5>;

// A 14-byte CFLAG frame: the five counts, status (interval 1, no error), firmware version 5.
QByteArray cflagFrame(const Counts& c) {
    QByteArray frame;
    frame.append(char(0xC6));
    frame.append(char(0x0C));
    for (quint16 count : c) {
        frame.append(static_cast<char>(count >> 8));
        frame.append(static_cast<char>(count & 0xFF));
    }
    frame.append(char(0x01));
    frame.append(char(0x05));
    return frame;
}

QString hexLine(const QByteArray& bytes) {
    QString out;
    for (char b : bytes)
        out += QString("%1  ").arg(static_cast<quint8>(b), 2, 16, QLatin1Char('0')).toUpper();
    return out;
}

QStringList linesOf(const QString& dirPath) {
    QByteArray all;
    const QDir dir(dirPath);
    for (const QString& name : dir.entryList({"*.txt"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            all.append(file.readAll());
    }
    return QString::fromLatin1(all).split('\n', Qt::SkipEmptyParts);
}

// The summary's texts, in the order of the page (the run's source left out).
QStringList summaryTexts(QWidget* window) {
    QStringList texts;
    for (QLabel* label : window->findChild<QFrame*>("frameRunSummary")->findChildren<QLabel*>()) {
        if (label->objectName() != "labelRunSource")
            texts << label->objectName() + "=" + label->text();
    }
    return texts;
}

QString labelText(QWidget* window, const QString& name) {
    return window->findChild<QLabel*>(name)->text();
}

// Presses "Continue Offline" on any adapter box (the simulator went away).
struct OfflineAnswer : QObject {
    QTimer poll;
    OfflineAnswer() {
        connect(&poll, &QTimer::timeout, this, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == "Continue Offline")
                        button->click();
                }
            }
        });
        poll.start(20);
    }
};

} // namespace

class tst_flagmonitor_e2e : public QObject {
    Q_OBJECT

private slots:
    void flagBoard_recordsReachViewPlotAndFiles() {
        TestEnv env;
        PtyPair pty;
        QVERIFY(pty.isValid());
        PortFactory ports({pty.slavePath()});
        const QString logDir = env.path() + "/logs";
        const QString flagDir = env.path() + "/flags";
        QVERIFY(QDir().mkpath(logDir));
        QVERIFY(QDir().mkpath(flagDir));
        env.setSetting("logFileDirectory", logDir);
        env.setSetting("flagFileDirectory", flagDir);
        env.setSetting("storeLogFile", true);
        env.setSetting("storeFlagFile_csv", true);

        Control_Panel w(ports);
        QVERIFY(w.logFile().isOpen() && w.flagFile().isOpen());
        if (!w.cdBoard()->isPortOpen()) {
            w.cdBoard()->setPortName(pty.slavePath());
            w.cdBoard()->applyPortSettings();
            w.cdBoard()->openPort();
        }
        QVERIFY(w.cdBoard()->isPortOpen());
        formWidget<QCheckBox>(&w, "chkLog")->setChecked(true);
        formWidget<QSlider>(&w, "horizontalSliderFlagsGraph")->setRange(0, 60);
        formWidget<QSlider>(&w, "horizontalSliderFlagsGraph")->setValue(30);
        for (QCheckBox* box :
             {formWidget<QCheckBox>(&w, "checkBoxC1"), formWidget<QCheckBox>(&w, "checkBoxC1U"),
              formWidget<QCheckBox>(&w, "checkBoxC2"), formWidget<QCheckBox>(&w, "checkBoxC2U"),
              formWidget<QCheckBox>(&w, "checkBoxInterpol")})
            box->setChecked(true);

        const QList<Counts> counts = {{12, 0, 3, 0, 0},
                                      {300, 2, 40, 1, 7},
                                      {65535, 0, 0, 0, 1},
                                      {0, 0, 0, 0, 0},
                                      {7350, 7350, 7350, 7350, 7350}};
        const QByteArray garbage = QByteArray::fromHex("00117f90ffb0ce");
        const qint64 framesBefore = w.cdBoard()->journal().received().size();
        // Frames with stray bytes between them; the fourth frame arrives in two pieces.
        QByteArray stream;
        for (int i = 0; i < 3; ++i)
            stream += garbage.left(i + 2) + cflagFrame(counts[i]);
        QVERIFY(pty.write(stream));
        QTRY_COMPARE(w.console().receivedIndex(), framesBefore + 3);
        const QByteArray fourth = cflagFrame(counts[3]);
        QVERIFY(pty.write(garbage + fourth.left(5)));
        QTRY_COMPARE(w.cdBoard()->link().pendingBytes(), fourth.left(5));
        QVERIFY(pty.write(fourth.mid(5) + garbage + cflagFrame(counts[4]) + garbage));
        QTRY_COMPARE(w.console().receivedIndex(), framesBefore + 5);
        QCOMPARE(w.cdBoard()->journal().received().size(), framesBefore + 5);

        // Every frame decoded into a record.
        QCOMPARE(w.cdBoard()->flagRecords().size(), counts.size());

        // Status bar.
        QTRY_COMPARE(formWidget<QLabel>(&w, "spdifLabel")->text(), QString("  SPDIF: OK  "));
        QCOMPARE(formWidget<QLabel>(&w, "cflagLabel")->text(), QString("  CFLAG: OK  "));
        QCOMPARE(formWidget<QLabel>(&w, "boardLabel")->text(), QString("  BOARD: OK  "));

        // Plot: one point per record, the last one 100 %.
        QCOMPARE(formWidget<QCustomPlot>(&w, "customPlot")->graph(0)->data()->size(),
                 counts.size());
        QCOMPARE(formWidget<QCustomPlot>(&w, "customPlot")->graph(4)->data()->at(4)->value, 100.0);
        QCOMPARE(formWidget<QCustomPlot>(&w, "customPlot")->graph(4)->data()->at(4)->key, 4.0);

        const QRegularExpression stamp("^\\d\\d:\\d\\d:\\d\\d$");
        // Log file: every frame exactly, in order; requests only as the tool sent them.
        QStringList frameLines;
        for (const QString& line : linesOf(logDir)) {
            QVERIFY2(line.startsWith('[') && line.at(9) == ']' &&
                         stamp.match(line.mid(1, 8)).hasMatch(),
                     qPrintable(line));
            if (line.mid(10).startsWith("DK-61  : "))
                frameLines.append(line.mid(10));
            else
                QVERIFY2(line.mid(10).startsWith("PC-Tool: ") ||
                             line.mid(10).startsWith("Run started: unit not identified"),
                         qPrintable(line));
        }
        QStringList expectedFrames;
        for (const Counts& c : counts)
            expectedFrames.append("DK-61  : " + hexLine(cflagFrame(c)));
        QCOMPARE(frameLines, expectedFrames);

        // Flag file: one row per record.
        const QStringList rows = linesOf(flagDir);
        const QStringList expectedRows = {",\t12,\t0,\t3,\t0,\t0", ",\t300,\t2,\t40,\t1,\t7",
                                          ",\t-1,\t0,\t0,\t0,\t1", ",\t0,\t0,\t0,\t0,\t0",
                                          ",\t7350,\t7350,\t7350,\t7350,\t7350"};
        QCOMPARE(rows.size(), expectedRows.size());
        for (int i = 0; i < rows.size(); ++i) {
            QVERIFY2(stamp.match(rows[i].left(8)).hasMatch(), qPrintable(rows[i]));
            QCOMPARE(rows[i].mid(8), expectedRows[i]);
        }

        // The traffic view shows the same frame lines.
        w.console().view().flush();
        const QString view = formWidget<QPlainTextEdit>(&w, "textBrowser")->toPlainText();
        for (const QString& line : expectedFrames)
            QVERIFY2(view.contains(line), qPrintable(line));
    }

    // The simulator streams records of the 30 ms interval (four times as fast): the summary adds
    // up exactly what the flag file holds, against the limits in the settings, and the saved file
    // opened for review shows the same summary.
    void simulator_summaryMatchesFlagFile_reviewShowsTheSame() {
        TestEnv env;
        const QString link = env.path() + "/flagboard";
        PortFactory ports({link});
        const QString flagDir = env.path() + "/flags";
        QVERIFY(QDir().mkpath(flagDir));
        env.setSetting("flagFileDirectory", flagDir);
        env.setSetting("storeFlagFile_csv", true);
        env.setSetting("limitC1", 6);
        env.setSetting("limitC2", "50");
        SimRunner sim(link, env.path() + "/sim.log");
        // per second; a record of 30 ms carries about 10, 0.5, 2, 0.2 and 0.3
        QVERIFY2(sim.start({"--board", "flag", "--start-interval", "3", "--hold-interval",
                            "--time-lapse", "4", "--c1", "333", "--c1u", "16.7", "--c2", "66.7",
                            "--c2u", "6.7", "--interp", "10"},
                           7),
                 qPrintable(sim.error()));
        OfflineAnswer answer;
        Control_Panel w(ports);
        QVERIFY(w.cdBoard()->isPortOpen());
        QTRY_VERIFY_WITH_TIMEOUT(w.flagSession().live().summary.records() >= 50, 15000);
        QVERIFY(sim.stop());
        QTRY_VERIFY_WITH_TIMEOUT(!w.cdBoard()->isPortOpen(), 5000);

        // The flag file, added up.
        QFile file(w.flagFile().fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = file.readAll().split('\n');
        const int n = rows.size() - 1;
        qint64 total[5] = {}, over[5] = {};
        int max[5] = {}, troubled = 0;
        for (int i = 0; i < n; ++i) {
            QString stamp;
            QList<int> c;
            QVERIFY(E2eHarness::parseFlagRow(QString::fromLatin1(rows[i]), &stamp, &c));
            for (int k = 0; k < 5; ++k) {
                total[k] += c[k];
                max[k] = qMax(max[k], c[k]);
            }
            over[0] += c[0] * 100 / 220.5 > 6;
            over[2] += c[2] * 100 / 220.5 > 50;
            troubled += c[1] || c[3] || c[4];
        }
        QTRY_COMPARE(labelText(&w, "labelRunRecords"), QString::number(n));
        const char* const names[5] = {"C1", "C1U", "C2", "C2U", "Interp"};
        for (int k = 0; k < 5; ++k) {
            const QString flag = QString::fromLatin1(names[k]);
            QCOMPARE(labelText(&w, "labelTotal" + flag), QString::number(total[k]));
            QCOMPARE(labelText(&w, "labelMax" + flag),
                     QString("%1 % (%2)").arg(max[k] * 100 / 220.5, 0, 'f', 3).arg(max[k]));
            QCOMPARE(labelText(&w, "labelAvg" + flag),
                     QString("%1 %").arg(100.0 * total[k] / (n * 220.5), 0, 'f', 3));
        }
        QCOMPARE(labelText(&w, "labelOverC1"), QString("%1 over 6 %").arg(over[0]));
        QCOMPARE(labelText(&w, "labelOverC2"), QString("%1 over 50 %").arg(over[2]));
        QCOMPARE(labelText(&w, "labelOverC2U"), QString("no limit"));
        QCOMPARE(labelText(&w, "labelRunVerdict"), QString(over[0] + over[2] ? "FAIL" : "PASS"));
        QCOMPARE(labelText(&w, "labelRunTroubled"), QString::number(troubled));
        QCOMPARE(labelText(&w, "labelRunLength"),
                 QTime(0, 0).addMSecs(n * 30).toString("hh:mm:ss"));

        const QStringList live = summaryTexts(&w);
        const QString path = w.flagFile().fileName();
        w.flagFiles().chooseOpenFile = [path](QWidget*, const QString&, const QString&,
                                              const QString&) { return path; };
        w.findChild<QAction*>("actionOpenFlagFile")->trigger();
        QVERIFY(w.flagSession().reviewing());
        QCOMPARE(summaryTexts(&w), live);
    }

    // 170 ms chosen, the adapter unplugged and plugged in again: the tool asks for 170 ms again
    // and the status bar shows the interval the records report; the log file tells the link's
    // going and coming back.
    void simulator_replug_sendsTheChosenIntervalAgain() {
        TestEnv env;
        const QString link = env.path() + "/flagboard";
        PortFactory ports({link});
        env.setSetting("logFileDirectory", env.path());
        env.setSetting("storeLogFile", true);
        // Records four times as often as their interval; the tool looks for a lost adapter every
        // 50 ms.
        const QStringList fast{"--board", "flag", "--c1", "5", "--time-lapse", "4"};
        SimRunner first(link, env.path() + "/sim1.log");
        QVERIFY2(first.start(fast + QStringList{"--hangup-after", "1.5"}, 3),
                 qPrintable(first.error()));
        Control_Panel w(ports);
        w.boardSupervisor().setIntervals({400, 2400, 400, 50});
        QLabel* interval = w.findChild<QLabel*>("intervalLabel");
        QTRY_COMPARE_WITH_TIMEOUT(interval->text(), QString("  Interval: 1 s  "), 3000);
        auto* combo = w.findChild<QComboBox*>("comboCFLAGInterval");
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QTRY_COMPARE_WITH_TIMEOUT(interval->text(), QString("  Interval: 170 ms  "), 3000);

        // The board goes away at 1.5 s and is back as soon as that is noticed.
        std::unique_ptr<SimRunner> second;
        QTimer replug;
        connect(&replug, &QTimer::timeout, this, [&] {
            if (first.isRunning() || second)
                return;
            second = std::make_unique<SimRunner>(link, env.path() + "/sim2.log");
            QVERIFY(second->start(fast, 4));
        });
        replug.start(50);
        QTRY_VERIFY_WITH_TIMEOUT(second && second->commandsReceived().size() >= 2, 10000);
        const QList<QByteArray> asked = second->commandsReceived();
        QCOMPARE(E2eHarness::hex(asked[0]) + " " + E2eHarness::hex(asked[1]), QString("A1 A2"));
        QTRY_COMPARE_WITH_TIMEOUT(interval->text(), QString("  Interval: 170 ms  "), 5000);
        QCOMPARE(combo->currentIndex(), 1);

        QFile log(w.logFile().fileName());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString lines = QString::fromLatin1(log.readAll());
        QVERIFY2(lines.contains("]Link down: " + link) && lines.contains("]Link back: " + link),
                 qPrintable(lines.right(2000)));
    }
};

QTEST_MAIN(tst_flagmonitor_e2e)
#include "tst_flagmonitor_e2e.moc"
