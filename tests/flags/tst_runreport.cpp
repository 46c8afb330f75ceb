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
        QTest::newRow("1 s, C1 300") << 1 << 300;
        QTest::newRow("30 ms, C1 9") << 3 << 9;
    }
    void standardAndReport() {
        QFETCH(int, setting);
        QFETCH(int, c1);
        const int records = setting == 3 ? 400 : 12; // 12 s
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
        QCOMPARE(summary.standardText(), QString("FAIL: BLER 300/s over 10 s"));
        const EepromParameters& p = board.state.eeprom.image;
        RunReport::Run report{UnitIdentity::board(board.state.link.fw_version, p.serial_number,
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
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) reads the report's text");
        QCOMPARE(QProcess::execute("pdftotext", {"-layout", pdf, pdf + ".txt"}), 0);
        QFile txt(pdf + ".txt");
        QVERIFY(txt.open(QIODevice::ReadOnly));
        const QString text = QString(txt.readAll()).simplified();
        for (const char* shown : {"unit 12345", "FAIL: BLER 300/s over 10 s", "20250306090407.txt"})
            QVERIFY2(text.contains(shown), qPrintable(QString(shown) + " not in: " + text));
    }
};

QTEST_MAIN(tst_runreport)
#include "tst_runreport.moc"
