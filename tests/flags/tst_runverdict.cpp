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
    // Rows: the stretches of a run, the highest 10-s BLER, the CD standard's verdict; the limit
    // typed for uncorrectable C2 and the limits' verdict (or the refusal of the limit).
    void standard_data() {
        QTest::addColumn<Stretches>("stretches");
        QTest::addColumn<double>("bler");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QString>("limit");
        QTest::addColumn<QString>("limits");
        const QString fail = "FAIL: BLER 300/s over 10 s", none = "no limits set";
        QTest::newRow("1 s, C1 300, 12 s")
            << Stretches{{12, 1, 300, 0, 0}} << 300.0 << fail << "" << none;
        QTest::newRow("30 ms, C1 9, 12 s") << Stretches{{400, 3, 9, 0, 0}} << 300.0 << fail << "0"
                                           << "PASS";
        QTest::newRow("1 s, then 30 ms")
            << Stretches{{5, 1, 300, 0, 0}, {200, 3, 9, 0, 0}} << 300.0 << fail << "" << none;
        QTest::newRow("link down between")
            << Stretches{{5, 1, 300, 0, 0}, {7, 1, 300, 0, 1}} << 300.0 << fail << "" << none;
        QTest::newRow("one bad second in 21")
            << Stretches{{10, 1, 0, 0, 0}, {1, 1, 2300, 0, 0}, {10, 1, 0, 0, 0}} << 230.0
            << "FAIL: BLER 230/s over 10 s"
            << "" << none;
        QTest::newRow("at the limit") << Stretches{{12, 1, 220, 0, 0}} << 220.0 << "PASS"
                                      << "" << none;
        QTest::newRow("4 s") << Stretches{{4, 1, 300, 0, 0}} << 300.0
                             << "FAIL: BLER 300/s over 4 s (run shorter than 10 s)"
                             << "" << none;
        QTest::newRow("one E32, limit 0")
            << Stretches{{6, 1, 10, 0, 0}, {1, 1, 10, 1, 0}, {6, 1, 10, 0, 0}} << 10.0
            << "FAIL: E32 1"
            << "0"
            << "FAIL";
        QTest::newRow("negative limit")
            << Stretches{} << 0.0 << "no records"
            << "-0.1"
            << "The uncorr. C2 limit must be blank or a percentage from 0 to 100.";
    }
    void standard() {
        QFETCH(Stretches, stretches);
        QFETCH(double, bler);
        QFETCH(QString, verdict);
        QFETCH(QString, limit);
        QFETCH(QString, limits);
        FlagLimits typed;
        const QString refusal = FlagLimits::refusal("uncorr. C2", limit, &typed.percent[3]);
        RunStore store;
        RunSummary summary;
        summary.setLimits(typed);
        for (const QVector<int>& s : stretches) {
            if (s[4])
                store.markGap(); // (the summary counts the intervals, never the time between)
            for (int i = 0; i < s[0]; ++i) {
                const RunStore::Counts counts{quint16(s[2]), 0, 0, quint16(s[3]), 0};
                store.append(store.lastMs() + 30, counts, s[1]);
                summary.add(counts, s[1]);
            }
        }
        QVERIFY2(qAbs(summary.maxBler() - bler) < 1e-9, qPrintable(summary.blerText()));
        QCOMPARE(summary.standardText(), verdict);
        QCOMPARE(refusal.isEmpty() ? summary.verdictText() : refusal, limits);
        RunSummary again = summary;
        again.rebuild(store);
        QCOMPARE(again.plainText(), summary.plainText());
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
        QVERIFY(buffer.data().startsWith(RunCsv::Header + headerAfterColumns + "\r\n"));
        buffer.seek(0);
        QDateTime started;
        QString error;
        QVERIFY2(RunCsv::read(buffer, &store, &started, &error), qPrintable(error));
        QCOMPARE(store.size(), qint64(1));
    }
};

QTEST_GUILESS_MAIN(tst_runverdict)
#include "tst_runverdict.moc"
