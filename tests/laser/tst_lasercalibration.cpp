#include "framehex.h"
#include "lasercalibration.h"
#include "laserlist.h"
#include "zerohourbyte.h"

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
        QTest::addColumn<int>("mean2"); // in thousandths; point 1 is at 100.7; -1: not measured
        QTest::addColumn<QString>("warning"); // part of it; empty: k 0.1, d 5
        QTest::newRow("mA") << "15 mA"
                            << "25 mA" << 200200 << "";
        QTest::newRow("µA") << "15000 µA"
                            << "25000 µA" << 200200 << "";
        QTest::newRow("mixed units") << "15 mA"
                                     << "25000 µA" << 200200 << "";
        QTest::newRow("no current") << " mA"
                                    << "25 mA" << 200200 << "Number";
        QTest::newRow("zero current") << "15 mA"
                                      << "0 mA" << 200200 << "Number";
        QTest::newRow("point 2 not measured") << "15 mA"
                                              << "25 mA" << -1 << "Measurment 2";
        QTest::newRow("same truncated means") << "15 mA"
                                              << "25 mA" << 100200 << "same";
    }
    void fit() {
        QFETCH(QString, current1);
        QFETCH(QString, current2);
        QFETCH(int, mean2);
        QFETCH(QString, warning);
        LaserCalibration calibration;
        measure(&calibration, 1, 100700);
        if (mean2 >= 0)
            measure(&calibration, 2, mean2);
        const auto unit = [](const QString& c) { return c.endsWith("µA") ? 1 : 0; };
        const LaserCalibration::Fit fit =
            calibration.fit(current1.section(' ', 0, 0), unit(current1),
                            current2.section(' ', 0, 0), unit(current2));
        QCOMPARE(fit.ok, warning.isEmpty());
        QVERIFY2(fit.warning.contains(warning), qPrintable(fit.warning));
        QCOMPARE(fit.k, fit.ok ? 0.1 : 0.0);
        QCOMPARE(fit.d, fit.ok ? 5.0 : 0.0);
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
