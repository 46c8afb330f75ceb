// The simulated DK-61 (serial number 12345) streaming flags through the board's link into a
// summary, judged by the CD standard, and its PDF report as a standard tool reads it; the same
// run on the Flags page.
#include "cd_board.h"
#include "e2eharness.h"
#include "eepromimage.h"
#include "flags/cflags.h"
#include "flags/runfiles.h"
#include "flags/runreport.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "simrunner.h"
#include "testenv.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

#include <qcustomplot.h>

namespace {

// The simulated DK-61 with serial number 12345 (customer 7, flashed 2000 days after 22 September
// 2017 by 9) streaming exactly the counts given in `args`.
bool startBoard(SimRunner& sim, const TestEnv& env, const QStringList& args) {
    EepromImage eeprom = EepromImage::makeDefault(0x42, 0xFF, 500);
    eeprom.write(EepromImage::ProductionAddress, {0, 7, 0x07, 0xD0, 0, 9, 0x30, 0x39});
    std::string error;
    return eeprom.save((env.path() + "/eeprom.bin").toStdString(), error) &&
           sim.start(QStringList{"--board", "both", "--eeprom", env.path() + "/eeprom.bin",
                                 "--hold-interval", "--exact", "--c1u", "0", "--c2", "0"} +
                     args);
}

} // namespace

class tst_runreport : public QObject {
    Q_OBJECT

private slots:
    void standardAndReport_data() {
        // the simulated disc: 300 C1-flagged blocks a second, whatever the interval
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("records"); // 12 s
        QTest::newRow("1 s") << 1 << 12;
        QTest::newRow("170 ms") << 2 << 71;
        QTest::newRow("30 ms") << 3 << 400;
    }
    void standardAndReport() {
        QFETCH(int, setting);
        QFETCH(int, records);
        const int periodMs[] = {0, 1000, 170, 30};
        TestEnv env;
        SimRunner sim(env.path() + "/dk61", env.path() + "/sim.log");
        QVERIFY2(startBoard(sim, env,
                            {"--start-interval", QString::number(setting), "--c1", "300",
                             "--time-lapse", "20"}),
                 qPrintable(sim.error()));
        PortFactory ports;
        CD_Board board(ports);
        board.setPortName(env.path() + "/dk61");
        board.applyPortSettings();
        board.openPort();
        board.sendShortRequest(1); // who are you (the interval stays)
        QTRY_VERIFY_WITH_TIMEOUT(
            board.state().eeprom.production_read && board.flagRecords().size() >= records, 10000);
        RunStore store;
        for (int i = 0; i < records; ++i) {
            const CFlags& r = *board.flagRecords()[i];
            store.append(i * periodMs[setting],
                         {r.getC1Flags(), r.getC1Uncorrectable(), r.getC2Flags(),
                          r.getC2Uncorrectable(), r.getInterpolationFlags()},
                         board.state().flags.flag_sub_status);
        }
        RunSummary summary;
        summary.rebuild(store);
        QCOMPARE(summary.standardText(), QString("FAIL: BLER 300/s over 10 s"));
        const EepromParameters& p = board.state().eeprom.image;
        RunReport::Run report{UnitIdentity::board(board.state().link.fw_version, p.serial_number,
                                                  p.customer_id, p.production_day, p.flashed_by),
                              QDateTime::currentDateTime(), &store, &summary,
                              env.path() + "/20250306090407.txt"};
        QCOMPARE(
            report.unit.runStartedLine(),
            QString("Run started: unit 12345 (customer 7, firmware 60, flashed 2023-03-15 by 9)"));
        QCustomPlot live;
        for (const char* name : RunSummary::FlagNames)
            live.addGraph()->setName(name);
        const QString pdf = env.path() + "/report.pdf";
        QVERIFY(RunReport::write(pdf, report, &live));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF-") &&
                bytes.contains("/MediaBox [0 0 595.000000 842.000000]"));
        SKIP_WITHOUT_PDFTOTEXT();
        const QString text = E2eHarness::pdfText(pdf);
        for (const char* shown : {"unit 12345", "FAIL: BLER 300/s over 10 s", "20250306090407.txt"})
            QVERIFY2(text.contains(shown), qPrintable(QString(shown) + " not in: " + text));
    }

    // The report's plot says its unit: percent, or per second with the CD standard's line at 220
    // C1 blocks a second; the limits are drawn either way.
    void reportPlot_saysItsUnit_data() {
        QTest::addColumn<bool>("perSecond");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("percent") << false << QStringList{"Flags in %", "in % of the frames"}
                                 << QStringList{"per second", "BLER limit"};
        QTest::newRow("per second")
            << true << QStringList{"Flags per second", "BLER limit 220 per second"}
            << QStringList{"Flags in %"};
    }
    void reportPlot_saysItsUnit() {
        QFETCH(bool, perSecond);
        QFETCH(QStringList, found);
        QFETCH(QStringList, absent);
        RunStore store;
        RunSummary summary;
        FlagLimits limits;
        limits.percent[0] = 1.0;
        summary.setLimits(limits);
        for (int i = 0; i < 20; ++i) {
            const RunStore::Counts c{quint16(40 + i), 0, 3, 0, 0};
            store.append(i * 1000, c, 1);
            summary.add(c, 1);
        }
        QCustomPlot live;
        for (const char* name : RunSummary::FlagNames)
            live.addGraph()->setName(name);
        RunReport::Look look;
        look.scale.unit = perSecond ? FlagScale::Unit::PerSecond : FlagScale::Unit::Percent;
        TestEnv env;
        const QString pdf = env.path() + "/report.pdf";
        QVERIFY(RunReport::write(
            pdf,
            {UnitIdentity::typedId("PG-5"), QDateTime::currentDateTime(), &store, &summary, {}},
            &live, look));
        SKIP_WITHOUT_PDFTOTEXT();
        const QString text = E2eHarness::pdfText(pdf);
        for (const QString& shown : found)
            QVERIFY2(text.contains(shown), qPrintable(shown + " not in: " + text));
        for (const QString& shown : absent)
            QVERIFY2(!text.contains(shown), qPrintable(shown + " in: " + text));
    }

    // The Flags page as the operator sees it: the standard's verdict beside the limits' (a limit
    // of 0 for uncorrectable C2 typed in the settings window), the unit that named itself, and
    // its report from the menu.
    void flagsPage_data() {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("shown"); // standard | BLER | E32 | limits
        const QString fail = "FAIL: BLER 300/s over 10 s | 300/s over 10 s | 0 | PASS";
        QTest::newRow("1 s, C1 300") << "1 --c1 300 --c2u 0 --time-lapse 40" << 12 << fail;
        QTest::newRow("30 ms, C1 300") << "3 --c1 300 --c2u 0 --time-lapse 40" << 400 << fail;
        QTest::newRow("clean") << "1 --c1 100 --c2u 0 --time-lapse 40" << 12
                               << "PASS | 100/s over 10 s | 0 | PASS";
        // One record a second: the first one is on the page before the next arrives.
        QTest::newRow("one E32")
            << "1 --c1 10 --c2u 1" << 1
            << "FAIL: E32 1 (run shorter than 10 s) | 10/s over 1 s | 1 | FAIL";
    }
    void flagsPage() {
        QFETCH(QString, args);
        QFETCH(int, records);
        QFETCH(QString, shown);
        TestEnv env;
        SimRunner sim(env.path() + "/dk61", env.path() + "/sim.log");
        QVERIFY2(startBoard(sim, env, ("--start-interval " + args).split(' ')),
                 qPrintable(sim.error()));
        PortFactory ports({env.path() + "/dk61"});
        env.setSetting("storeLogFile", true);
        env.setSetting("logFileDirectory", env.path());
        Control_Panel w(ports);
        auto label = [&w](const char* name) { return w.findChild<QLabel*>(name)->text(); };
        w.openSettings();
        w.findChild<QLineEdit*>("lineLimitC2U")->setText("0");
        w.findChild<QPushButton*>("buttonApplyChanges")->click();
        const QString unit = "12345 (customer 7, firmware 60, flashed 2023-03-15 by 9)";
        QTRY_COMPARE_WITH_TIMEOUT(label("labelRunUnit"), unit, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(label("labelRunRecords").toInt() >= records, 10000);
        QCOMPARE(QStringList({label("labelRunStandard"), label("labelRunBler"),
                              label("labelRunE32"), label("labelRunVerdict")})
                     .join(" | "),
                 shown);
        QFile log(w.logFile().absolutePath());
        QVERIFY(log.open(QIODevice::ReadOnly) && QString(log.readAll()).contains(": unit " + unit));
        const QString pdf = env.path() + "/report.pdf";
        w.flagFiles().chooseSaveFile = [pdf](QWidget*, auto&, auto&, auto&) { return pdf; };
        w.findChild<QAction*>("actionExportReport")->trigger();
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly) &&
                file.readAll().contains("/MediaBox [0 0 595.000000 842.000000]"));
        SKIP_WITHOUT_PDFTOTEXT();
        const QString text = E2eHarness::pdfText(pdf);
        QVERIFY2(text.contains("unit 12345") && text.contains(shown.section(" | ", 0, 0)),
                 qPrintable(text));
    }
};

QTEST_MAIN(tst_runreport)
#include "tst_runreport.moc"
