// A run judged by the CD standard and by the operator's limits; the unit it measured as the log
// file and an exported run name it.
#include "flaglimits.h"
#include "runcsv.h"
#include "runsummary.h"

#include <QBuffer>
#include <QtTest>

// Stretches of records: {records, interval setting, C1 and uncorrectable C2 per record, the link
// was down for a minute before}.
using Stretches = QList<QVector<int>>;
Q_DECLARE_METATYPE(UnitIdentity)

class tst_runverdict : public QObject {
    Q_OBJECT

private slots:
    void standard_data() {
        QTest::addColumn<Stretches>("stretches");
        QTest::addColumn<double>("bler");
        QTest::addColumn<QString>("verdict");
        const QString fail = "FAIL: BLER 300/s over 10 s";
        QTest::newRow("1 s, C1 300, 12 s") << Stretches{{12, 1, 300, 0, 0}} << 300.0 << fail;
        QTest::newRow("30 ms, C1 9, 12 s") << Stretches{{400, 3, 9, 0, 0}} << 300.0 << fail;
        QTest::newRow("1 s, then 30 ms")
            << Stretches{{5, 1, 300, 0, 0}, {200, 3, 9, 0, 0}} << 300.0 << fail;
        QTest::newRow("down for a minute")
            << Stretches{{5, 1, 300, 0, 0}, {7, 1, 300, 0, 1}} << 300.0 << fail;
        QTest::newRow("one bad second in 21")
            << Stretches{{10, 1, 0, 0, 0}, {1, 1, 2300, 0, 0}, {10, 1, 0, 0, 0}} << 230.0
            << "FAIL: BLER 230/s over 10 s";
        QTest::newRow("at the limit") << Stretches{{12, 1, 220, 0, 0}} << 220.0 << "PASS";
        QTest::newRow("4 s") << Stretches{{4, 1, 300, 0, 0}} << 300.0
                             << "FAIL: BLER 300/s over 4 s (run shorter than 10 s)";
        QTest::newRow("3 s at 30 ms, clean")
            << Stretches{{100, 3, 3, 0, 0}} << 100.0 << "PASS (run shorter than 10 s)";
        QTest::newRow("one E32") << Stretches{{6, 1, 10, 0, 0}, {1, 1, 10, 1, 0}, {6, 1, 10, 0, 0}}
                                 << 10.0 << "FAIL: E32 1";
        QTest::newRow("none") << Stretches{} << 0.0 << "no records";
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
            for (int i = 0; i < s[0]; ++i, ms += s[1] == 3 ? 30 : 1000) {
                store.append(ms, {quint16(s[2]), 0, 0, quint16(s[3]), 0}, s[1]);
                summary.add({quint16(s[2]), 0, 0, quint16(s[3]), 0}, s[1]);
            }
        }
        QVERIFY2(qAbs(summary.maxBler() - bler) < 1e-9, qPrintable(summary.blerText()));
        QCOMPARE(summary.standardText(), verdict);
        RunSummary again;
        again.rebuild(store);
        QCOMPARE(again.plainText(), summary.plainText());
    }

    void limitOfZero_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("uncorrectableC2"); // per record
        QTest::addColumn<QString>("verdict");            // or the refusal
        QTest::newRow("the first fails") << "0" << QList<int>{0, 0, 1, 0} << "FAIL";
        QTest::newRow("none passes") << "0" << QList<int>{0, 0, 0} << "PASS";
        QTest::newRow("negative") << "-0.1" << QList<int>{1}
                                  << "The uncorr. C2 limit must be blank or a percentage from 0 "
                                     "to 100.";
    }
    void limitOfZero() {
        QFETCH(QString, typed);
        QFETCH(QList<int>, uncorrectableC2);
        QFETCH(QString, verdict);
        FlagLimits limits;
        const QString refusal = FlagLimits::refusal("uncorr. C2", typed, &limits.percent[3]);
        RunSummary summary;
        summary.setLimits(limits);
        for (int c : uncorrectableC2)
            summary.add({5, 0, 1, quint16(c), 0}, 3);
        QCOMPARE(refusal.isEmpty() ? summary.verdictText() : refusal, verdict);
    }

    // The log file's line when a run starts; the exported run's header, read back.
    void identity_data() {
        QTest::addColumn<UnitIdentity>("unit");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QByteArray>("headerAfterColumns");
        QTest::newRow("a DK-61 answered")
            << UnitIdentity::board(60, 12345, 7, 2000, 9)
            << "Run started: unit 12345 (customer 7, firmware 60, flashed 2023-03-15 by 9)"
            << QByteArray(",Unit: 12345,Customer ID: 7,Firmware: 60,Flash date: 2023-03-15,"
                          "Flashed by: 9");
        QTest::newRow("typed: two lines, a comma, quotes")
            << UnitIdentity::typedId("  AB-17\r\n[00:00:01]X,\"y\"  ")
            << "Run started: unit AB-17 [00:00:01]X,\"y\" (typed)"
            << QByteArray(",\"Unit: AB-17 [00:00:01]X,\"\"y\"\" (typed)\"");
        QTest::newRow("unknown") << UnitIdentity::typedId(" \t ")
                                 << "Run started: unit not identified" << QByteArray();
    }
    void identity() {
        QFETCH(UnitIdentity, unit);
        QFETCH(QString, logLine);
        QFETCH(QByteArray, headerAfterColumns);
        QCOMPARE(unit.runStartedLine(), logLine);
        RunStore store;
        store.append(0, {1, 0, 0, 0, 0}, 1);
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QVERIFY(RunCsv::write(buffer, store, QDateTime::currentDateTime(), unit));
        QCOMPARE(buffer.data().left(buffer.data().indexOf("\r\n")),
                 RunCsv::Header + headerAfterColumns);
        buffer.seek(0);
        QDateTime started;
        QString error;
        QVERIFY2(RunCsv::read(buffer, &store, &started, &error), qPrintable(error));
        QCOMPARE(store.size(), qint64(1));
    }
};

QTEST_GUILESS_MAIN(tst_runverdict)
#include "tst_runverdict.moc"
