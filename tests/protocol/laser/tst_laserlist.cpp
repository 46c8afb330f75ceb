#include "laser/laserhistory.h"
#include "laser/laserlist.h"

#include <QtTest>

class tst_laserlist : public QObject {
    Q_OBJECT

private slots:
    void ring_data() {
        QTest::addColumn<QList<int>>("pushes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("writeIndex");
        QTest::addColumn<quint32>("sum");
        QTest::addColumn<quint32>("average");
        QTest::newRow("1, 2, 3") << QList<int>{1, 2, 3} << 3 << 3 << quint32(6) << quint32(2);
        QTest::newRow("one reading") << QList<int>{500} << 1 << 1 << quint32(500) << quint32(500);
        QTest::newRow("1, 2: truncated") << QList<int>{1, 2} << 2 << 2 << quint32(3) << quint32(1);
        QList<int> many;
        for (int k = 1; k <= 65; ++k)
            many.append(k);
        // the 65th reading replaces the first: 2 + ... + 65
        QTest::newRow("65 readings")
            << many << 64 << 1 << quint32(65 * 66 / 2 - 1) << quint32((65 * 66 / 2 - 1 + 0.5) / 64);
        QTest::newRow("largest readings")
            << QVector<int>(64, 65535).toList() << 64 << 0 << quint32(64 * 65535) << quint32(65535);
    }
    void ring() {
        QFETCH(QList<int>, pushes);
        QFETCH(int, count);
        QFETCH(int, writeIndex);
        QFETCH(quint32, sum);
        QFETCH(quint32, average);
        LaserList list;
        QSignalSpy spy(&list, &LaserList::pushed);
        for (int value : pushes)
            list.push(quint32(value));
        QCOMPARE(list.count(), count);
        QCOMPARE(list.writeIndex(), writeIndex);
        QCOMPARE(list.sum(), sum);
        QCOMPARE(list.average(), average);
        QCOMPARE(spy.count(), pushes.size());
        QCOMPARE(spy.last().at(0).toInt(), count);
    }

    void flush_startsAgainOverOldValues() {
        LaserList list;
        for (int k = 0; k < 10; ++k)
            list.push(1000);
        list.flush();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.writeIndex(), 0);
        list.push(10);
        QCOMPARE(list.sum(), quint32(10));
        QCOMPARE(list.average(), quint32(10));
    }

    void historyCurrent_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<double>("mA");
        QTest::newRow("0") << 0 << 60 << 0.0;
        QTest::newRow("7") << 7 << 60 << 5.0;
        QTest::newRow("erased, firmware 58") << 0xFF << 58 << 255 * 5.0 / 7.0;
        QTest::newRow("erased, firmware 59") << 0xFF << 59 << 0.0;
        QTest::newRow("FE, firmware 59") << 0xFE << 59 << 254 * 5.0 / 7.0;
    }
    void historyCurrent() {
        QFETCH(int, value);
        QFETCH(int, firmware);
        QFETCH(double, mA);
        QCOMPARE(LaserHistory::toMilliampere(quint8(value), firmware), mA);
    }

    void historyPoints_data() {
        QTest::addColumn<qulonglong>("runtime");
        QTest::addColumn<int>("lastIndex");
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("firstTime");
        QTest::addColumn<double>("lastTime");
        QTest::addColumn<int>("firstSample"); // ring index of the oldest sample shown
        QTest::newRow("below 112 s: the newest at 0") << 100ULL << 7 << 1 << 0.0 << 0.0 << 7;
        QTest::newRow("exactly 112 s") << 112ULL << 7 << 2 << 0.0 << 112.0 << 6;
        QTest::newRow("full ring") << 28672ULL << 255 << 257 << 0.0 << 28672.0 << 0;
        QTest::newRow("beyond a ring") << 30000ULL << 3 << 257 << 1328.0 << 30000.0 << 4;
        QTest::newRow("nothing played") << 0ULL << 0 << 1 << 0.0 << 0.0 << 0;
    }
    void historyPoints() {
        QFETCH(qulonglong, runtime);
        QFETCH(int, lastIndex);
        QFETCH(int, points);
        QFETCH(double, firstTime);
        QFETCH(double, lastTime);
        QFETCH(int, firstSample);
        quint8 values[256];
        for (int k = 0; k < 256; ++k)
            values[k] = quint8(k == 255 ? 0 : k); // 0xFF would count as erased
        QVector<double> times;
        QVector<double> currents;
        LaserHistory::build(runtime, quint8(lastIndex), values, 60, &times, &currents);
        QCOMPARE(times.size(), points);
        QCOMPARE(times.first(), firstTime);
        QCOMPARE(times.last(), lastTime);
        QCOMPARE(currents.size(), qMin(points, 256));
        QCOMPARE(currents.first(), values[firstSample] * 5.0 / 7.0);
        QCOMPARE(currents.last(), values[lastIndex] * 5.0 / 7.0);
        for (int k = 1; k < times.size(); ++k)
            QCOMPARE(times[k] - times[k - 1], 112.0);
    }
};

QTEST_GUILESS_MAIN(tst_laserlist)
#include "tst_laserlist.moc"
