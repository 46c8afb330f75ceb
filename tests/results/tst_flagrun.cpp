// A run's arithmetic without a window: the summary, the whole-run envelope, the flag file read
// back and the CSV export.
#include "flags/flagfilereader.h"
#include "flags/flaglimits.h"
#include "flags/runcsv.h"
#include "flags/runseries.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "runresult.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

using Counts = RunStore::Counts;
Q_DECLARE_METATYPE(Counts)

namespace {

// A run of `n` random records at `setting`, with a gap before every record in `gapsBefore`.
RunStore randomRun(int n, int setting, const QList<int>& gapsBefore, quint32 seed) {
    QRandomGenerator random(seed);
    RunStore store;
    qint64 ms = 0;
    const int step = setting == 3 ? 30 : setting == 2 ? 170 : 1000;
    for (int i = 0; i < n; ++i) {
        if (gapsBefore.contains(i)) {
            store.markGap();
            ms += 120000;
        }
        Counts c;
        for (quint16& v : c)
            v = quint16(random.bounded(0, 200));
        store.append(ms, c, i % 500 < 450 ? setting : 2);
        ms += step + int(random.bounded(0, 5));
    }
    return store;
}

} // namespace

class tst_flagrun : public QObject {
    Q_OBJECT

private slots:
    void summary_data() {
        QTest::addColumn<QList<Counts>>("records");
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("limitC1");
        QTest::addColumn<QStringList>("c1Texts");  // total, maximum, average, over limit
        QTest::addColumn<QStringList>("runTexts"); // length, records, troubled, verdict
        QTest::newRow("1 s, no limits")
            << QList<Counts>{{12, 0, 3, 0, 0}, {735, 1, 0, 0, 0}, {0, 0, 0, 0, 2}} << 1 << ""
            << QStringList{"747", "10.000 % (735)", "3.388 %", "no limit"}
            << QStringList{"00:00:03", "3", "2", "no limits set"};
        QTest::newRow("30 ms, over the limit once")
            << QList<Counts>{{22, 0, 0, 0, 0}, {10, 0, 0, 0, 0}} << 3 << "5"
            << QStringList{"32", "9.977 % (22)", "7.256 %", "1 over 5 %"}
            << QStringList{"00:00:00", "2", "0", "FAIL"};
        QTest::newRow("170 ms, a count above 32767 stays positive")
            << QList<Counts>{{100, 0, 0, 0, 0}, {65535, 0, 0, 0, 0}} << 2 << "100"
            << QStringList{"65635", "5244.898 % (65535)", "2626.451 %", "1 over 100 %"}
            << QStringList{"00:00:00", "2", "0", "FAIL"};
        QTest::newRow("empty run, limit set")
            << QList<Counts>{} << 1 << "0.5"
            << QStringList{"0", "0.000 % (0)", "0.000 %", "0 over 0.5 %"}
            << QStringList{"00:00:00", "0", "0", "PASS"};
    }
    void summary() {
        QFETCH(QList<Counts>, records);
        QFETCH(int, setting);
        QFETCH(QString, limitC1);
        QFETCH(QStringList, c1Texts);
        QFETCH(QStringList, runTexts);
        FlagLimits limits;
        QVERIFY(FlagLimits::parse(limitC1, &limits.percent[0]));
        RunStore store;
        RunSummary summary;
        summary.setLimits(limits);
        for (const Counts& c : records) {
            store.append(store.lastMs() + 1, c, setting);
            summary.add(c, setting);
        }
        const QStringList c1{summary.totalText(0), summary.maximumText(0), summary.averageText(0),
                             summary.overLimitText(0)};
        QCOMPARE(c1, c1Texts);
        QCOMPARE((QStringList{summary.lengthText(), summary.recordsText(), summary.troubledText(),
                              summary.verdictText()}),
                 runTexts);
        // Built again from the store: the same.
        RunSummary again;
        again.setLimits(limits);
        again.rebuild(store);
        QCOMPARE(again.plainText(), summary.plainText());
    }

    // Each column of a decimated view holds exactly the lowest and highest rate of the records
    // in it; a NaN separates the two sides of every gap; a narrow view shows every record.
    void envelope_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("columns");
        QTest::addColumn<bool>("decimated");
        QTest::newRow("whole run") << 0.0 << 2.6e6 << 700 << true;
        QTest::newRow("an hour in the middle") << 4.0e5 << 4.0e5 + 3.6e6 / 20 << 333 << true;
        QTest::newRow("a few seconds") << 1.0e6 << 1.0e6 + 3000.0 << 500 << false;
    }
    void envelope() {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, columns);
        QFETCH(bool, decimated);
        const RunStore store = randomRun(60000, 3, {20000, 41234}, 5);
        const RunStore::Envelope e = store.envelope(from, to, columns);
        QCOMPARE(e.decimated, decimated);
        // Brute force over the same records (one beyond each edge of the view).
        qint64 lo = 0;
        while (lo < store.size() && store.timeMs(lo) < from)
            ++lo;
        qint64 hi = lo;
        while (hi < store.size() && store.timeMs(hi) <= to)
            ++hi;
        lo = qMax<qint64>(0, lo - 1);
        hi = qMin(store.size(), hi + 1);
        const double width = (to - from) / columns;
        QMap<qint64, QPair<double, double>> expected; // column of flag 2: (low, high)
        int gaps = 0;
        for (qint64 i = lo; i < hi; ++i) {
            const double rate = RunStore::percent(store.counts(i)[2], store.setting(i));
            const qint64 c = decimated ? qint64(std::floor((store.timeMs(i) - from) / width)) : i;
            if (!expected.contains(c))
                expected[c] = qMakePair(rate, rate);
            auto& range = expected[c];
            range = qMakePair(qMin(range.first, rate), qMax(range.second, rate));
            gaps += i > lo && store.followsGap(i);
        }
        QList<QPair<double, double>> got;
        int nans = 0;
        for (int p = 0; p < e.keys.size(); ++p) {
            if (p > 0)
                QVERIFY(e.keys[p] >= e.keys[p - 1]);
            if (std::isnan(e.values[2][p])) {
                ++nans;
            } else {
                const int low = p;
                if (decimated)
                    ++p;
                got.append(qMakePair(e.values[2][low], e.values[2][p]));
            }
        }
        QCOMPARE(nans, gaps);
        QCOMPARE(got.size(), expected.size());
        int k = 0;
        for (const auto& range : expected) {
            // Whole blocks keep their rates as floats.
            QVERIFY(qAbs(got[k].first - range.first) <= 1e-6 * range.first);
            QVERIFY(qAbs(got[k].second - range.second) <= 1e-6 * range.second);
            ++k;
        }
    }

    void memory_staysCompact() {
        const RunStore store = randomRun(300000, 3, {}, 9);
        QVERIFY2(store.memoryBytes() <= 14 * 300000 + 1024 * 1024,
                 qPrintable(QString::number(store.memoryBytes())));
    }

    void flagFile_readBack_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<QList<int>>("settings"); // per record
        QTest::addColumn<int>("gaps");
        QTest::newRow("1 s, CRLF, torn and merged lines skipped")
            << QByteArray("00:00:01,\t12,\t0,\t3,\t0,\t0\r\n"
                          "00:00:0\n"
                          "00:00:00:05,\t5000,\t0,\t0,\t0,\t0\n"
                          "[00:00:02]DK-61  : C6  0C  0[00:00:05]DK-61  : C6\n"
                          "00:00:02,\t-1,\t0,\t0,\t0,\t1\n"
                          "00:00:03,\t7,\t0,\t0,\t0,\t0,\t9\n"
                          "00:00:03,\t7,\t0,\t0,\t0,\t0")
            << 3 << 4 << QList<int>{1, 1, 1} << 0;
        QByteArray stretch170;
        for (int i = 0; i < 15; ++i) // from 10.8 s: 2 rows, then 6, 5 and 2
            stretch170 += QStringLiteral("00:00:%1,\t1,\t0,\t0,\t0,\t0\n")
                              .arg((10800 + i * 170) / 1000, 2, 10, QLatin1Char('0'))
                              .toLatin1();
        QTest::newRow("170 ms, partly measured seconds at both ends")
            << stretch170 << 15 << 0 << QVector<int>(15, 2).toList() << 0;
        QByteArray gap;
        gap += "00:59:58,\t1,\t0,\t0,\t0,\t0\n00:59:59,\t1,\t0,\t0,\t0,\t0\n";
        gap += "01:00:05,\t1,\t0,\t0,\t0,\t0\n";
        QTest::newRow("a gap of six seconds") << gap << 3 << 0 << QList<int>{1, 1, 1} << 1;
    }
    void flagFile_readBack() {
        QFETCH(QByteArray, text);
        QFETCH(int, records);
        QFETCH(int, skipped);
        QFETCH(QList<int>, settings);
        QFETCH(int, gaps);
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        RunStore store;
        const FlagFileReader::Result result = FlagFileReader::read(buffer, &store);
        QCOMPARE(result.rows, qint64(records));
        QCOMPARE(result.skipped, qint64(skipped));
        QList<int> got;
        int gapCount = 0;
        store.forEach([&](qint64, const Counts&, int setting, bool followsGap) {
            got.append(setting);
            gapCount += followsGap;
        });
        QCOMPARE(got, settings);
        QCOMPARE(gapCount, gaps);
        if (records == 3 && skipped == 4)
            QCOMPARE(store.counts(1)[0], quint16(65535));
    }

    void csv_parsesBackAndReadsBack() {
        const RunStore store = randomRun(1200, 2, {700}, 3);
        const QDateTime started(QDate(2025, 3, 6), QTime(9, 4, 7));
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        QVERIFY(RunCsv::write(out, store, started));
        // Plain CSV: a header, then one line of 13 fields per record.
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.size(), int(store.size()) + 2);
        QVERIFY(lines.first().startsWith("Date Time,Elapsed (s),Interval (ms),C1,"));
        const QList<QByteArray> last = lines.at(lines.size() - 2).trimmed().split(',');
        QCOMPARE(last.size(), 13);
        const qint64 n = store.size() - 1;
        QCOMPARE(last[0],
                 started.addMSecs(store.timeMs(n)).toString("yyyy-MM-dd HH:mm:ss.zzz").toLatin1());
        QCOMPARE(last[1].toDouble(), store.timeMs(n) / 1000.0);
        QCOMPARE(last[3].toInt(), int(store.counts(n)[0]));
        QVERIFY(qAbs(last[8].toDouble() -
                     RunStore::percent(store.counts(n)[0], store.setting(n))) <= 5e-5);

        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        RunStore back;
        QDateTime backStarted;
        QString error;
        QVERIFY2(RunCsv::read(in, &back, &backStarted, &error), qPrintable(error));
        QCOMPARE(backStarted, started);
        QCOMPARE(back.size(), store.size());
        for (qint64 i = 0; i < store.size(); ++i) {
            QCOMPARE(back.timeMs(i), store.timeMs(i));
            QCOMPARE(back.counts(i), store.counts(i));
            QCOMPARE(back.setting(i), store.setting(i));
            QCOMPARE(back.followsGap(i), store.followsGap(i));
        }
    }

    // The seconds of measured time and what each holds: the records whose measured time begins
    // in it, however long they make it.
    void series_secondsOfMeasuredTime_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("records");
        QTest::addColumn<QStringList>("seconds"); // ms/C1 of each
        QTest::newRow("1 s, C1 300") << 1 << 3 << QStringList{"1000/300", "1000/300", "1000/300"};
        QTest::newRow("30 ms, C1 9: 34, 33 and 33 records")
            << 3 << 100 << QStringList{"1020/306", "990/297", "990/297"};
        QTest::newRow("170 ms, C1 9: six records a second")
            << 2 << 13 << QStringList{"1020/54", "1020/54", "170/9"};
    }
    void series_secondsOfMeasuredTime() {
        QFETCH(int, setting);
        QFETCH(int, records);
        QFETCH(QStringList, seconds);
        RunSeries series;
        RunSummary byRecord, bySecond;
        const int step = setting == 3 ? 30 : setting == 2 ? 170 : 1000;
        for (int i = 0; i < records; ++i) {
            const Counts c{quint16(setting == 1 ? 300 : 9), 0, 1, 0, 0};
            series.add(i * step, c, setting, RunSeries::Position());
            byRecord.add(c, setting);
        }
        QStringList got;
        for (int i = 0; i < series.size(); ++i)
            got << QStringLiteral("%1/%2").arg(series.at(i).ms).arg(series.at(i).counts[0]);
        QCOMPARE(got, seconds);
        // Added up by the second, the run has the same totals, average and length.
        series.addUp(bySecond);
        QCOMPARE(bySecond.totalText(2), byRecord.totalText(2));
        QCOMPARE(bySecond.averageText(0), byRecord.averageText(0));
        QCOMPARE(bySecond.lengthText(), byRecord.lengthText());
        // Scaled to a whole second for the plots: within a count of the per-second rate.
        const RunStore store = series.toStore();
        QCOMPARE(store.size(), qint64(seconds.size()));
        QVERIFY(qAbs(RunStore::percent(store.counts(0)[0], 1) -
                     RunSeries::percent(series.at(0), 0)) < 0.014);
    }

    // Twenty-two minutes at 1 s, the disc playing tracks of 7 minutes, the link down once: the
    // text the database keeps reads back to the same seconds, from any order of its rows; rows
    // that leave seconds out or hold no series are refused.
    void series_throughTheDatabaseText_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("refusal"); // empty: read back
        QTest::newRow("as written") << ""
                                    << "";
        QTest::newRow("rows in another order") << "reverse"
                                               << "";
        QTest::newRow("a row missing") << "drop 1"
                                       << "seconds 600 to 1199 are missing";
        QTest::newRow("a line changed") << "garble"
                                        << "second 600 cannot be read";
        QTest::newRow("a row cut short") << "cut"
                                         << "the seconds from 600 on are incomplete";
    }
    void series_throughTheDatabaseText() {
        QFETCH(QString, damage);
        QFETCH(QString, refusal);
        RunSeries series;
        for (int i = 0; i < 1320; ++i) {
            RunSeries::Position at;
            if (i >= 10) { // the board tells the position from the tenth second on
                at.track = 1 + (i - 10) / 420;
                at.discSecond = i - 10;
            }
            series.add(i * 1000 + (i >= 700 ? 90000 : 0), Counts{quint16(i % 300), 0, 2, 0, 1}, 1,
                       at);
        }
        QVector<RunSeries::Chunk> rows = series.chunks();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(series.chunksFrom(650).size(), 2);
        if (damage == "reverse")
            std::reverse(rows.begin(), rows.end());
        else if (damage == "drop 1")
            rows.remove(1);
        else if (damage == "garble")
            rows[1].text.replace(0, 1, "x");
        else if (damage == "cut")
            rows[1].text.truncate(rows[1].text.indexOf('\n') + 1);
        RunSeries back;
        QString error;
        QCOMPARE(RunSeries::fromChunks(rows, &back, &error), refusal.isEmpty());
        if (!refusal.isEmpty()) {
            QVERIFY2(error.startsWith(refusal), qPrintable(error));
            QVERIFY(back.isEmpty());
            return;
        }
        QCOMPARE(back.size(), series.size());
        QVERIFY(back.hasPositions());
        for (int i : {0, 9, 10, 430, 699, 700, 1319}) {
            QCOMPARE(back.at(i).counts, series.at(i).counts);
            QCOMPARE(back.at(i).elapsedMs, series.at(i).elapsedMs / 1000 * 1000);
            QCOMPARE(back.at(i).position.track, series.at(i).position.track);
            QCOMPARE(back.at(i).position.discSecond, series.at(i).position.discSecond);
        }
        // The same rows again: a run read back and written on is the run.
        QCOMPARE(back.chunks().last().text, series.chunks().last().text);
        // The link's absence is a gap in the curve.
        int gaps = 0;
        back.toStore().forEach([&](qint64, const Counts&, int, bool gap) { gaps += gap; });
        QCOMPARE(gaps, 1);
    }

    // A run read back by the second keeps the verdicts it was judged with record by record,
    // though its seconds stay under the limit.
    void series_judgedAsMeasured() {
        FlagLimits limits;
        limits.percent[0] = 6.0;
        RunSummary byRecord;
        byRecord.setLimits(limits);
        RunSeries series;
        for (int i = 0; i < 100; ++i) {
            const Counts c{quint16(i % 2 ? 22 : 0), 0, 0, 0, 0}; // 9.98 %, 0 %
            byRecord.add(c, 3);
            series.add(i * 30, c, 3, RunSeries::Position());
        }
        RunSummary bySecond;
        bySecond.setLimits(limits);
        series.addUp(bySecond);
        QCOMPARE(bySecond.verdictText(), QString("PASS"));
        RunResult row;
        row.takeSummary(byRecord);
        bySecond.setJudged(row.judged());
        QCOMPARE(bySecond.verdictText(), QString("FAIL"));
        QCOMPARE(bySecond.recordsText(), QString("100"));
        QCOMPARE(bySecond.overLimitText(0), QString("0 s over 6 %"));
        QCOMPARE(bySecond.standardText(), byRecord.standardText());
    }
};

QTEST_GUILESS_MAIN(tst_flagrun)
#include "tst_flagrun.moc"
