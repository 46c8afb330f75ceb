// The simulated DK-61 (serial number 12345) streaming flags through the board's link into a
// summary, judged by the CD standard, and its PDF report as a standard tool reads it.
#include "cd_board.h"
#include "cflags.h"
#include "eepromimage.h"
#include "runreport.h"
#include "runstore.h"
#include "runsummary.h"
#include "simrunner.h"
#include "testenv.h"

#include <QProcess>
#include <QtTest>

#include <qcustomplot.h>

class tst_runreport : public QObject {
    Q_OBJECT

private slots:
    void standardAndReport_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("c1");
        QTest::addColumn<int>("records"); // 12 s
        QTest::newRow("1 s, C1 300") << 1 << 300 << 12;
        QTest::newRow("30 ms, C1 9") << 3 << 9 << 400;
    }
    void standardAndReport() {
        QFETCH(int, setting);
        QFETCH(int, c1);
        QFETCH(int, records);
        TestEnv env;
        EepromImage eeprom = EepromImage::makeDefault(0x42, 0xFF, 500);
        // customer 7, flashed 2000 days after 22 September 2017 by 9, serial number 12345
        eeprom.write(EepromImage::ProductionAddress, {0, 7, 0x07, 0xD0, 0, 9, 0x30, 0x39});
        std::string error;
        QVERIFY(eeprom.save((env.path() + "/eeprom.bin").toStdString(), error));
        SimRunner sim(env.path() + "/dk61", env.path() + "/sim.log");
        QVERIFY2(sim.start({"--board", "both", "--eeprom", env.path() + "/eeprom.bin",
                            "--start-interval", QString::number(setting), "--hold-interval",
                            "--exact", "--c1", QString::number(c1), "--c1u", "0", "--c2", "0",
                            "--time-lapse", "20"}),
                 qPrintable(sim.error()));
        CD_Board board;
        board.setPortName(env.path() + "/dk61");
        board.applyPortSettings();
        board.openPort();
        board.sendShortRequest(1); // who are you (the interval stays)
        QTRY_VERIFY_WITH_TIMEOUT(
            board.state.eeprom.production_read && board.flag_records.size() >= records, 10000);
        RunStore store;
        for (int i = 0; i < records; ++i) {
            const CFlags& r = *board.flag_records[i];
            store.append(i * (setting == 3 ? 30 : 1000),
                         {r.getC1Flags(), r.getC1Uncorrectable(), r.getC2Flags(),
                          r.getC2Uncorrectable(), r.getInterpolationFlags()},
                         board.state.flags.flag_sub_status);
        }
        RunSummary summary;
        summary.rebuild(store);
        QCOMPARE(summary.maxBler(), 300.0);
        QCOMPARE(summary.standardText(), QString("FAIL: BLER 300/s over 10 s"));
        const EepromParameters& p = board.state.eeprom;
        RunReport::Run report{UnitIdentity::board(board.state.link.fw_version, p.serial_number,
                                                  p.customer_id, p.production_day, p.flashed_by),
                              QDateTime::currentDateTime(), &store, &summary,
                              env.path() + "/20250306090407.txt"};
        QCustomPlot live;
        for (const char* name : RunSummary::FlagNames)
            live.addGraph()->setName(name);
        const QString pdf = env.path() + "/report.pdf";
        QVERIFY(RunReport::write(pdf, report, &live));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the report");
        auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.start(program, args);
            return p.waitForFinished(10000) ? QString(p.readAllStandardOutput()).simplified()
                                            : QString();
        };
        const QString info = run("pdfinfo", {pdf});
        QVERIFY2(info.contains(QRegularExpression("Pages: 1 .*Page size: 595[.0-9]* x "
                                                  "84[12][.0-9]* pts \\(A4\\)")),
                 qPrintable(info));
        const QString text = run("pdftotext", {"-layout", pdf, "-"});
        for (const char* shown : {"unit 12345", "Customer ID 7", "Flash date 2023-03-15",
                                  "FAIL: BLER 300/s over 10 s", "20250306090407.txt"})
            QVERIFY2(text.contains(shown), qPrintable(QString(shown) + " not in: " + text));
    }
};

QTEST_MAIN(tst_runreport)
#include "tst_runreport.moc"
