#include "framehex.h"
#include "laser/lasercalibration.h"
#include "laser/laserlist.h"
#include "laser/zerohourbyte.h"

#include <QtTest>

namespace {

// Feeds a whole point with the mean milli / 1000: readings of milli / 1000, and one more for
// milli % 1000 of them.
void measure(LaserCalibration* calibration, int point, int milli) {
    calibration->start(point);
    for (int k = 0; k < LaserCalibration::SamplesPerPoint; ++k)
        calibration->take(quint16(milli / 1000 + (k < milli % 1000 ? 1 : 0)));
}

} // namespace

class tst_lasercalibration : public QObject {
    Q_OBJECT

private slots:
    void fit_data() {
        QTest::addColumn<QString>("current1"); // value and unit as typed and chosen
        QTest::addColumn<QString>("current2");
        QTest::addColumn<int>("mean2");      // in thousandths; point 1 is at 100; -1: not measured
        QTest::addColumn<QString>("result"); // k and d, else part of the warning
        QTest::newRow("mA") << "15 mA"
                            << "25 mA" << 200000 << "0.1 5";
        QTest::newRow("µA") << "15000 µA"
                            << "25000 µA" << 200000 << "0.1 5";
        QTest::newRow("mixed units") << "15 mA"
                                     << "25000 µA" << 200000 << "0.1 5";
        QTest::newRow("fraction kept") << "15 mA"
                                       << "25 mA" << 200400 << "0.0996016 5.03984";
        QTest::newRow("no current") << " mA"
                                    << "25 mA" << 200200 << "Number";
        QTest::newRow("zero current") << "15 mA"
                                      << "0 mA" << 200200 << "Number";
        QTest::newRow("point 2 not measured") << "15 mA"
                                              << "25 mA" << -1 << "Measurment 2";
        QTest::newRow("same means") << "15 mA"
                                    << "25 mA" << 100000 << "same";
    }
    void fit() {
        QFETCH(QString, current1);
        QFETCH(QString, current2);
        QFETCH(int, mean2);
        QFETCH(QString, result);
        LaserCalibration calibration;
        measure(&calibration, 1, 100000);
        if (mean2 >= 0)
            measure(&calibration, 2, mean2);
        // the means as the page shows them
        const auto entry = [&](const QString& c, int n) {
            return LaserCalibration::Entry{c.section(' ', 0, 0), c.endsWith("µA") ? 1 : 0,
                                           QString::number(calibration.mean(n), 'g', 6)};
        };
        const LaserCalibration::Fit fit = calibration.fit(entry(current1, 1), entry(current2, 2));
        const QString kd = QString::number(fit.k, 'g', 6) + " " + QString::number(fit.d, 'g', 6);
        QVERIFY2(fit.ok ? kd == result : fit.warning.contains(result),
                 qPrintable(kd + fit.warning));
    }

    void points() {
        LaserCalibration calibration;
        calibration.start(1);
        for (int k = 0; k < 999; ++k)
            QVERIFY(calibration.take(k < 500 ? 100 : 102).point == 1);
        QVERIFY(calibration.take(102).completed);
        QCOMPARE(calibration.mean(1), 101.0);
        QCOMPARE(calibration.variance(1), 1.0);
        // calculated: the next reading goes to the ring and the live current again
        QVERIFY(!calibration.isSampling());
        QCOMPARE(calibration.take(500).point, 0);
        // a second point-2 measurement starts empty and waits for its own readings
        measure(&calibration, 2, 300000);
        calibration.start(2);
        QCOMPARE(calibration.sampleCount(2), 0);
        QVERIFY(calibration.isSampling(2) && calibration.isCalculated(1));
        // starting point 1 ends point 2's unfinished sampling
        calibration.start(1);
        QVERIFY(!calibration.isSampling(2) && !calibration.isCalculated(2));
        QCOMPARE(calibration.take(120).point, 1);
    }

    void zeroHourByte_data() {
        QTest::addColumn<int>("reading"); // 64 readings of this value
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("capped");
        QTest::newRow("400") << 400 << "60 01 21 0C 64" << false;
        QTest::newRow("3FB: the highest byte") << 0x3FB << "60 01 21 0C FE" << false;
        QTest::newRow("3FF would read as not set") << 0x3FF << "60 01 21 0C FE" << true;
        QTest::newRow("400 hex would wrap") << 0x400 << "60 01 21 0C FE" << true;
        QTest::newRow("0: nothing") << 0 << "" << false;
    }
    void zeroHourByte() {
        QFETCH(int, reading);
        QFETCH(QString, frame);
        QFETCH(bool, capped);
        LaserList list;
        for (int k = 0; k < LaserList::Capacity; ++k)
            list.push(quint32(reading));
        const ZeroHourByte::Value value = ZeroHourByte::fromAverage(list.average());
        QCOMPARE(FrameHex::text(ZeroHourByte::writeFrame(value)), frame);
        QCOMPARE(value.capped, capped);
        QCOMPARE(LaserList::averageText(400), QString("190 (71.7 mA)"));
    }
};

QTEST_GUILESS_MAIN(tst_lasercalibration)
#include "tst_lasercalibration.moc"
