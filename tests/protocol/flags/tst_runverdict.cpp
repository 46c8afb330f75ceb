// A run judged by the CD standard and by the operator's limits; a typed unit ID in the log file
// and in an exported run.
#include "flags/flaglimits.h"
#include "flags/runcsv.h"
#include "flags/runsummary.h"

#include <QBuffer>
#include <QtTest>

// Stretches of records: {records, interval setting, C1 and uncorrectable C2 per record, the link
// was down before}.
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
        QTest::newRow("1 s, link down, 30 ms")
            << Stretches{{5, 1, 300, 0, 0}, {200, 3, 9, 0, 1}} << 300.0 << fail;
        QTest::newRow("one bad second in 21")
            << Stretches{{10, 1, 0, 0, 0}, {1, 1, 2300, 0, 0}, {10, 1, 0, 0, 0}} << 230.0
            << "FAIL: BLER 230/s over 10 s";
        QTest::newRow("at the limit") << Stretches{{12, 1, 220, 0, 0}} << 220.0 << "PASS";
        QTest::newRow("4 s") << Stretches{{4, 1, 300, 0, 0}} << 300.0
                             << "FAIL: BLER 300/s over 4 s (run shorter than 10 s)";
        QTest::newRow("one E32") << Stretches{{6, 1, 10, 0, 0}, {1, 1, 10, 1, 0}, {6, 1, 10, 0, 0}}
                                 << 10.0 << "FAIL: E32 1";
        QTest::newRow("none") << Stretches{} << 0.0 << "no records";
    }
    void standard() {
        QFETCH(Stretches, stretches);
        QFETCH(double, bler);
        QFETCH(QString, verdict);
        FlagLimits limits; // uncorrectable C2 at 0: any one fails
        QVERIFY(FlagLimits::refusal("uncorr. C2", "0", &limits.percent[3]).isEmpty());
        RunStore store;
        RunSummary summary;
        summary.setLimits(limits);
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
        QCOMPARE(summary.verdictText(), QString(summary.e32() > 0 ? "FAIL" : "PASS"));
        RunSummary again = summary;
        again.rebuild(store);
        QCOMPARE(again.plainText(), summary.plainText());
    }

    void limitRefused() {
        std::optional<double> limit;
        for (const char* typed : {"-0.1", "nan", "100.5"})
            QCOMPARE(FlagLimits::refusal("C1", typed, &limit),
                     QString("The C1 limit must be blank or a percentage from 0 to 100."));
    }

    // One line in the log file; in the exported run's header one field per part (quoted where
    // it holds a comma or quote), and reviewing or exporting that run again keeps the unit.
    void unitReadsBack_data() {
        QTest::addColumn<UnitIdentity>("unit");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QByteArray>("headerEnd");
        QTest::newRow("typed") << UnitIdentity::typedId("  AB-17\r\n[00:00:01]X,\"y\"  ")
                               << "Run started: unit AB-17 [00:00:01]X,\"y\" (typed)"
                               << QByteArray(",\"Unit: AB-17 [00:00:01]X,\"\"y\"\" (typed)\"");
        // A right-to-left override would show "abc\u202Egnp.exe" as "abcexe.png"; zero-width
        // and tag characters hide in it unseen.
        QTest::newRow("typed with format characters")
            << UnitIdentity::typedId(QString::fromUtf8("abc\u202Egnp.exe\u200B\U000E0041"))
            << "Run started: unit abcgnp.exe (typed)" << QByteArray(",Unit: abcgnp.exe (typed)");
        QTest::newRow("board") << UnitIdentity::board(60, 12345, 7, 2000, 9)
                               << "Run started: unit 12345 (customer 7, firmware 60, flashed "
                                  "2023-03-15 by 9)"
                               << QByteArray(",Unit: 12345,Customer ID: 7,Firmware: 60,Flash date: "
                                             "2023-03-15,Flashed by: 9");
        QTest::newRow("none") << UnitIdentity() << "Run started: unit not identified"
                              << QByteArray(RunCsv::Header).right(20);
    }

    void unitReadsBack() {
        QFETCH(UnitIdentity, unit);
        QFETCH(QString, logLine);
        QFETCH(QByteArray, headerEnd);
        QCOMPARE(unit.runStartedLine(), logLine);
        RunStore store;
        store.append(0, {1, 0, 0, 0, 0}, 1);
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QVERIFY(RunCsv::write(buffer, store, QDateTime::currentDateTime(), unit));
        QVERIFY(buffer.data().startsWith(RunCsv::Header));
        QVERIFY2(buffer.data().contains(headerEnd + "\r\n"), buffer.data().constData());
        buffer.seek(0);
        QDateTime started;
        QString error;
        UnitIdentity back;
        QVERIFY2(RunCsv::read(buffer, &store, &started, &error, nullptr, &back), qPrintable(error));
        QCOMPARE(store.size(), qint64(1));
        QCOMPARE(back.details(), unit.details());
        QCOMPARE(RunCsv::headerLine(back), RunCsv::headerLine(unit));
    }
};

QTEST_GUILESS_MAIN(tst_runverdict)
#include "tst_runverdict.moc"
