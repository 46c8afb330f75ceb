// A run judged by the CD standard and by the operator's limits, and the unit it measured as the
// log file and an exported run name it.
#include "flaglimits.h"
#include "runcsv.h"
#include "runsummary.h"

#include <QBuffer>
#include <QtTest>

// Records in stretches: {records, interval setting, C1 per record, uncorrectable C2 per record,
// the link was down for a minute before the stretch}.
using Stretches = QList<QVector<int>>;
Q_DECLARE_METATYPE(UnitIdentity)

class tst_runverdict : public QObject {
    Q_OBJECT

private slots:
    void standard_data() {
        QTest::addColumn<Stretches>("stretches");
        QTest::addColumn<double>("bler");
        QTest::addColumn<QString>("verdict");
        const QString fail300 = "FAIL: BLER 300/s over 10 s";
        QTest::newRow("1 s, C1 300 for 12 s") << Stretches{{12, 1, 300, 0, 0}} << 300.0 << fail300;
        QTest::newRow("30 ms, C1 9 for 12 s") << Stretches{{400, 3, 9, 0, 0}} << 300.0 << fail300;
        QTest::newRow("170 ms, C1 51") << Stretches{{71, 2, 51, 0, 0}} << 300.0 << fail300;
        QTest::newRow("interval changed within 10 s")
            << Stretches{{5, 1, 300, 0, 0}, {200, 3, 9, 0, 0}} << 300.0 << fail300;
        QTest::newRow("one bad second among clean ones")
            << Stretches{{10, 1, 0, 0, 0}, {1, 1, 2300, 0, 0}, {10, 1, 0, 0, 0}} << 230.0
            << "FAIL: BLER 230/s over 10 s";
        QTest::newRow("at the limit") << Stretches{{12, 1, 220, 0, 0}} << 220.0 << "PASS";
        QTest::newRow("the minute the link was down is not averaged")
            << Stretches{{5, 1, 300, 0, 0}, {7, 1, 300, 0, 1}} << 300.0 << fail300;
        QTest::newRow("4 s run") << Stretches{{4, 1, 300, 0, 0}} << 300.0
                                 << "FAIL: BLER 300/s over 4 s (run shorter than 10 s)";
        QTest::newRow("3 s clean run at 30 ms")
            << Stretches{{100, 3, 3, 0, 0}} << 100.0 << "PASS (run shorter than 10 s)";
        QTest::newRow("one uncorrectable C2")
            << Stretches{{6, 1, 10, 0, 0}, {1, 1, 10, 1, 0}, {6, 1, 10, 0, 0}} << 10.0
            << "FAIL: E32 1";
        QTest::newRow("both fail")
            << Stretches{{12, 1, 300, 1, 0}} << 300.0 << "FAIL: BLER 300/s over 10 s, E32 12";
        QTest::newRow("no records") << Stretches{} << 0.0 << "no records";
    }
    void standard() {
        QFETCH(Stretches, stretches);
        QFETCH(double, bler);
        QFETCH(QString, verdict);
        RunStore store;
        RunSummary summary;
        qint64 ms = 0;
        for (const QVector<int>& s : stretches) {
            if (s[4]) {
                store.markGap();
                ms += 60000;
            }
            for (int i = 0; i < s[0]; ++i) {
                const RunStore::Counts counts{quint16(s[2]), 0, 0, quint16(s[3]), 0};
                store.append(ms, counts, s[1]);
                summary.add(counts, s[1]);
                ms += s[1] == 3 ? 30 : s[1] == 2 ? 170 : 1000;
            }
        }
        QVERIFY2(qAbs(summary.maxBler() - bler) < 1e-9, qPrintable(summary.blerText()));
        QCOMPARE(summary.standardText(), verdict);
        RunSummary again;
        again.rebuild(store);
        QCOMPARE(again.maxBler(), summary.maxBler());
        QCOMPARE(again.standardText(), verdict);
    }

    void limitOfZero_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("uncorrectableC2"); // per record
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("0: the first one fails") << "0" << QList<int>{0, 0, 1, 0} << ""
                                                << "FAIL";
        QTest::newRow("0: none passes") << "0" << QList<int>{0, 0, 0} << ""
                                        << "PASS";
        const QString refused = "The uncorr. C2 limit must be blank or a percentage from 0 to 100.";
        QTest::newRow("negative") << "-0.1" << QList<int>{} << refused << "no limits set";
        QTest::newRow("not a number") << "nan" << QList<int>{} << refused << "no limits set";
    }
    void limitOfZero() {
        QFETCH(QString, typed);
        QFETCH(QList<int>, uncorrectableC2);
        QFETCH(QString, refusal);
        QFETCH(QString, verdict);
        FlagLimits limits;
        QCOMPARE(FlagLimits::refusal("uncorr. C2", typed, &limits.percent[3]), refusal);
        RunSummary summary;
        summary.setLimits(limits);
        for (int c : uncorrectableC2)
            summary.add(RunStore::Counts{5, 0, 1, quint16(c), 0}, 3);
        QCOMPARE(summary.verdictText(), verdict);
    }

    // The log file's line when a run starts, and the head of the run exported: read back whole.
    void identity_data() {
        QTest::addColumn<UnitIdentity>("unit");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QByteArray>("headerAfterColumns");
        QTest::newRow("a DK-61 answered")
            << UnitIdentity::board(60, 12345, 7, 2000, 9)
            << "Run started: unit 12345 (customer 7, firmware 60, flashed 2023-03-15 by 9)"
            << QByteArray(",Unit: 12345,Customer ID: 7,Firmware: 60,Flash date: 2023-03-15,"
                          "Flashed by: 9");
        QTest::newRow("typed over two lines, with a comma and quotes")
            << UnitIdentity::typedId("  AB-17\r\n[00:00:01]X,\"y\"  ")
            << "Run started: unit AB-17 [00:00:01]X,\"y\" (typed)"
            << QByteArray(",\"Unit: AB-17 [00:00:01]X,\"\"y\"\" (typed)\"");
        QTest::newRow("nothing known")
            << UnitIdentity::typedId(" \t ") << "Run started: unit not identified" << QByteArray();
    }
    void identity() {
        QFETCH(UnitIdentity, unit);
        QFETCH(QString, logLine);
        QFETCH(QByteArray, headerAfterColumns);
        QCOMPARE(unit.runStartedLine(), logLine);
        RunStore store;
        for (int i = 0; i < 3; ++i)
            store.append(i * 1000, RunStore::Counts{1, 0, 0, 0, 0}, 1);
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QVERIFY(RunCsv::write(out, store, QDateTime(QDate(2025, 3, 6), QTime(9, 0)), unit));
        QCOMPARE(bytes.left(bytes.indexOf("\r\n")), RunCsv::Header + headerAfterColumns);
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        RunStore back;
        QDateTime started;
        QString error;
        QVERIFY2(RunCsv::read(in, &back, &started, &error), qPrintable(error));
        QCOMPARE(back.size(), qint64(3));
    }
};

QTEST_GUILESS_MAIN(tst_runverdict)
#include "tst_runverdict.moc"
