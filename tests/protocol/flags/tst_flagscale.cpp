// The flag plots' units, their automatic scale and the marks where a curve rises above the top.
#include "flags/flagscale.h"

#include <QtTest>

#include <cmath>

using Unit = FlagScale::Unit;
Q_DECLARE_METATYPE(FlagScale::Unit)

class tst_flagscale : public QObject {
    Q_OBJECT

private slots:
    void perCount_data() {
        QTest::addColumn<Unit>("unit");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("value");
        QTest::newRow("BLER at 1 s") << Unit::PerSecond << 1.0 << 220 << 220.0;
        QTest::newRow("per second at 30 ms") << Unit::PerSecond << 0.03 << 6 << 200.0;
        QTest::newRow("per second at 170 ms") << Unit::PerSecond << 0.17 << 17 << 100.0;
        QTest::newRow("percent at 1 s") << Unit::Percent << 1.0 << 7350 << 100.0;
        QTest::newRow("percent at 30 ms") << Unit::Percent << 0.03 << 1 << 100.0 / 220.5;
    }
    void perCount() {
        QFETCH(Unit, unit);
        QFETCH(double, interval);
        QFETCH(int, count);
        QFETCH(double, value);
        FlagScale scale;
        scale.unit = unit;
        QVERIFY(qAbs(count * scale.perCount(interval) - value) < 1e-9 * value);
        // The same rate in percent, converted: both plots agree.
        FlagScale percent;
        QVERIFY(qAbs(scale.fromPercent(count * percent.perCount(interval)) - value) < 1e-9 * value);
    }

    void automaticTop_data() {
        QTest::addColumn<Unit>("unit");
        QTest::addColumn<double>("largest");
        QTest::addColumn<double>("top");
        QTest::newRow("percent") << Unit::Percent << 16.4 << 20.0;
        QTest::newRow("room above the largest") << Unit::Percent << 19.5 << 50.0;
        QTest::newRow("on a step") << Unit::Percent << 1.9 << 2.0;
        QTest::newRow("nothing flagged") << Unit::Percent << 0.0 << 0.1;
        QTest::newRow("per second") << Unit::PerSecond << 220.0 << 500.0;
        QTest::newRow("nothing flagged per second") << Unit::PerSecond << 0.0 << 10.0;
    }
    void automaticTop() {
        QFETCH(Unit, unit);
        QFETCH(double, largest);
        QFETCH(double, top);
        FlagScale scale;
        scale.unit = unit;
        QVERIFY2(qAbs(scale.automaticTop(largest) - top) < 1e-9 * top,
                 qPrintable(QString::number(scale.automaticTop(largest))));
    }

    // Top 10, a mark at most every 1.0 along a stretch above it.
    void edgeMarks_data() {
        QTest::addColumn<QVector<double>>("values"); // at keys 0, 0.5, 1, 1.5, ...
        QTest::addColumn<QVector<double>>("marked"); // keys of the marks
        QTest::newRow("all below") << QVector<double>{1, 9, 10, 2} << QVector<double>{};
        QTest::newRow("two stretches")
            << QVector<double>{5, 12, 13, 4, 11} << QVector<double>{0.5, 2.0};
        QTest::newRow("long stretch spaced")
            << QVector<double>{11, 11, 11, 11, 11, 11} << QVector<double>{0, 1.0, 2.0};
        QTest::newRow("a gap ends a stretch")
            << QVector<double>{11, qQNaN(), 11} << QVector<double>{0, 1.0};
    }
    void edgeMarks() {
        QFETCH(QVector<double>, values);
        QFETCH(QVector<double>, marked);
        FlagScale::EdgeTrack track(10.0, 1.0);
        QVector<double> keys;
        for (int i = 0; i < values.size(); ++i) {
            if (track.marks(i * 0.5, values[i]))
                keys.append(i * 0.5);
        }
        QCOMPARE(keys, marked);
        QCOMPARE(track.edge(), 10.0);
    }
};

QTEST_APPLESS_MAIN(tst_flagscale)
#include "tst_flagscale.moc"
