// Saved runs read back: rows and records that are refused, lines too long to be either, files
// larger than a block, reading in slices with progress and cancel, and on a thread of its own.
#include "flags/flagfilereader.h"
#include "flags/runcsv.h"
#include "flags/runfileloader.h"
#include "flags/runfilereader.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

// `n` rows of a run at the 30 ms interval (33 a second) from `second` on.
QByteArray flagRows(int n, int second = 0) {
    QByteArray out;
    char row[64];
    for (int i = 0; i < n; ++i) {
        const int s = second + i / 33;
        out +=
            QByteArray(row, std::snprintf(row, sizeof row, "%02d:%02d:%02d,\t%d,\t0,\t3,\t0,\t1\n",
                                          s / 3600, s / 60 % 60, s % 60, i % 97));
    }
    return out;
}

QByteArray csvLine(const QByteArray& elapsed, const QByteArray& counts = "12,0,3,0,0") {
    return "2025-03-06 09:04:07.000," + elapsed + ",1000," + counts + ",0.1,0,0.1,0,0\r\n";
}

RunFileReader::State readAll(QByteArray text, RunStore* store, qint64* rows, qint64* skipped,
                             RunFileReader::Format format = RunFileReader::Format::FlagFile) {
    QBuffer in(&text);
    in.open(QIODevice::ReadOnly);
    RunFileReader reader(in, store, format);
    const RunFileReader::State state = reader.readAll();
    *rows = reader.rows();
    *skipped = reader.skipped();
    return state;
}

} // namespace

class tst_runfilereader : public QObject {
    Q_OBJECT

private slots:
    // Rows and records that would overflow or are no time at all are skipped; the rest stays.
    void refusedLines_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("csv");
        QTest::addColumn<int>("state"); // RunFileReader::State
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<qint64>("lastMs");
        const QByteArray counts = ",\t1,\t0,\t0,\t0,\t0\n";
        const int finished = int(RunFileReader::State::Finished);
        QTest::newRow("flag file: hours whose seconds overflow")
            << "4000000000000000:00:00" + counts + "00:00:01" + counts << false << finished << 1
            << 1 << qint64(0);
        QTest::newRow("flag file: ten hour digits refused, nine taken")
            << "1000000000:00:00" + counts + "999999999:59:58" + counts + "999999999:59:59" + counts
            << false << finished << 2 << 1 << qint64(1000);
        QTest::newRow("flag file: counts beyond 16 bits")
            << "00:00:01,\t65536,\t0,\t0,\t0,\t0\n00:00:01,\t1,\t-32769,\t0,\t0,\t0\n00:00:02" +
                   counts
            << false << finished << 1 << 2 << qint64(0);
        QTest::newRow("flag file: blank lines inside count, the last one does not")
            << "00:00:01" + counts + "\n00:00:02" + counts + "\n"
            << false << finished << 2 << 1 << qint64(1000);
        const QByteArray header = QByteArray(RunCsv::Header) + "\r\n";
        QTest::newRow("csv: no elapsed time of a run, the records around it stay")
            << header + csvLine("0.000") + csvLine("nan") + csvLine("inf") + csvLine("1e300") +
                   csvLine("-1") + csvLine("4294968") + csvLine("") + csvLine("1.000")
            << true << finished << 2 << 6 << qint64(1000);
        QTest::newRow("csv: torn, counts beyond 16 bits, a field too many")
            << header + csvLine("0.000") + "2025-03-06 09:04:08.000,1.000,10" + "\r\n" +
                   csvLine("2.000", "70000,0,0,0,0") + csvLine("3.000", "1,2,3,4,5,6") +
                   csvLine("4.000")
            << true << finished << 2 << 3 << qint64(4000);
        QTest::newRow("csv: another header fails the file")
            << QByteArray("Date,Elapsed\r\n") + csvLine("0.000") << true
            << int(RunFileReader::State::Failed) << 0 << 0 << qint64(-1);
        QTest::newRow("csv: nothing but the header")
            << header << true << finished << 0 << 0 << qint64(-1);
    }
    void refusedLines() {
        QFETCH(QByteArray, text);
        QFETCH(bool, csv);
        QFETCH(int, state);
        QFETCH(int, rows);
        QFETCH(int, skipped);
        QFETCH(qint64, lastMs);
        RunStore store;
        qint64 gotRows = 0;
        qint64 gotSkipped = 0;
        const auto format = csv ? RunFileReader::Format::RunCsv : RunFileReader::Format::FlagFile;
        QCOMPARE(int(readAll(text, &store, &gotRows, &gotSkipped, format)), state);
        QCOMPARE(gotRows, qint64(rows));
        QCOMPARE(gotSkipped, qint64(skipped));
        QCOMPARE(store.size(), qint64(rows));
        QCOMPARE(store.isEmpty() ? -1 : store.timeMs(store.size() - 1), lastMs);
    }

    // Lines are cut across block boundaries; a line too long to be a row is passed over as one
    // skipped line wherever it lies, terminated or not.
    void blocksAndLongLines_data() {
        QTest::addColumn<int>("before");   // rows
        QTest::addColumn<int>("longLine"); // bytes, 0: none
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<int>("after"); // rows
        const int manyRows = 3 * RunFileReader::BlockBytes / 27;
        QTest::newRow("rows over three blocks") << manyRows << 0 << true << 0;
        QTest::newRow("a long line inside a block")
            << 40 << RunFileReader::LineLimit + 1 << true << 40;
        QTest::newRow("a line over three blocks")
            << 40000 << 3 * RunFileReader::BlockBytes << true << 40000;
        QTest::newRow("a line over three blocks, the last")
            << 40000 << 3 * RunFileReader::BlockBytes << false << 0;
    }
    void blocksAndLongLines() {
        QFETCH(int, before);
        QFETCH(int, longLine);
        QFETCH(bool, terminated);
        QFETCH(int, after);
        QByteArray text = flagRows(before);
        if (longLine > 0)
            text += QByteArray(longLine, '7') + (terminated ? "\n" : "");
        text += flagRows(after, before / 33 + 1);
        RunStore store;
        qint64 rows = 0;
        qint64 skipped = 0;
        QCOMPARE(readAll(text, &store, &rows, &skipped), RunFileReader::State::Finished);
        QCOMPARE(rows, qint64(before + after));
        QCOMPARE(skipped, qint64(longLine > 0));
        QCOMPARE(store.counts(store.size() - 1)[0], quint16((after ? after - 1 : before - 1) % 97));
    }

    // However the file is cut into blocks, the same run comes out, with the same lines skipped.
    void sameRunWhateverTheBlocks_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("csv");
        QByteArray flags = flagRows(70, 5) + "00:00:0\r\n" + QByteArray(5000, '1') + "\n" +
                           flagRows(40, 20) + "\n\n" + flagRows(3, 90);
        flags.replace("\n00:00:09", "\r\n00:00:09");
        QTest::newRow("flag file") << flags << false;
        QByteArray csv = QByteArray(RunCsv::Header) + "\r\n";
        for (int i = 0; i < 60; ++i)
            csv += csvLine(QByteArray::number(i * 0.17 + (i > 40 ? 9 : 0), 'f', 3));
        csv.insert(csv.size() / 2, "torn,line\r\n" + QByteArray(4200, ',') + "\r\n");
        QTest::newRow("exported run") << csv << true;
    }
    void sameRunWhateverTheBlocks() {
        QFETCH(QByteArray, text);
        QFETCH(bool, csv);
        const auto format = csv ? RunFileReader::Format::RunCsv : RunFileReader::Format::FlagFile;
        QList<qint64> first;
        for (int blockBytes : {RunFileReader::BlockBytes, 1, 5, RunFileReader::LineLimit + 1}) {
            QBuffer in(&text);
            in.open(QIODevice::ReadOnly);
            RunStore store;
            RunFileReader reader(in, &store, format, blockBytes);
            while (reader.step(blockBytes) == RunFileReader::State::Reading) {
            }
            QList<qint64> run{reader.rows(), reader.skipped()};
            store.forEach([&](qint64 ms, const RunStore::Counts& c, int setting, bool gap) {
                run << ms << c[0] << setting << gap;
            });
            if (first.isEmpty())
                first = run;
            QCOMPARE(run, first);
        }
        QVERIFY(first[0] > 0 && first[1] > 0);
    }

    void slicesProgressAndCancel() {
        QByteArray text = flagRows(4 * RunFileReader::BlockBytes / 27);
        QBuffer in(&text);
        in.open(QIODevice::ReadOnly);
        RunStore store;
        RunFileReader reader(in, &store, RunFileReader::Format::FlagFile);
        QCOMPARE(reader.step(1), RunFileReader::State::Reading);
        QVERIFY(reader.percent() > 0 && reader.percent() < 50);
        QVERIFY(store.size() > 0);
        reader.cancel();
        QCOMPARE(reader.step(), RunFileReader::State::Cancelled);
        QVERIFY(store.isEmpty());
    }

    void loaderReadsOnItsThread() {
        QTemporaryDir dir;
        const QString path = dir.filePath("20250306090407.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(flagRows(2 * RunFileReader::BlockBytes / 27));
        file.close();
        RunFileLoader loader;
        QSignalSpy progress(&loader, &RunFileLoader::progress);
        QSignalSpy finished(&loader, &RunFileLoader::finished);
        QVERIFY(loader.start(path));
        QVERIFY(!loader.start(path));
        QVERIFY(finished.wait());
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(progress.last().first().toInt(), 100);
        RunFileLoader::Result result = loader.takeResult();
        QCOMPARE(result.run.size(), qint64(2 * RunFileReader::BlockBytes / 27));
        QCOMPARE(result.rows, result.run.size());

        QVERIFY(loader.start(dir.filePath("none.txt")));
        QVERIFY(finished.wait());
        QCOMPARE(finished.last().first().toBool(), false);
        QVERIFY(!loader.takeResult().error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_runfilereader)
#include "tst_runfilereader.moc"
