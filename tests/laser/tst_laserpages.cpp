// The laser calibration, the ADC ring and the laser current page of the service window, with the
// board's frames through the real receive path of a loopback adapter.
#include "cd_board.h"
#include "formwidget.h"
#include "laserlist.h"
#include "windowfixture.h"

#include <QtTest>

#include <memory>

namespace {

QString byteText(int value) {
    return QString("%1").arg(value & 0xFF, 2, 16, QChar('0')).toUpper();
}

// `count` laser ADC readings of `value`, as one chunk.
QString readings(int value, int count) {
    return QString(" B3 02 %1 %2").arg(byteText(value >> 8), byteText(value)).repeated(count);
}

} // namespace

class tst_laserpages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    QString text(const char* name) const {
        if (auto* line = formWidget<QLineEdit>(fx->window, name))
            return line->text();
        return formWidget<QLabel>(fx->window, name)->text();
    }
    void click(const char* name) { formWidget<QPushButton>(fx->window, name)->click(); }
    QString pageMessage() const {
        QLabel* label = formWidget<QLabel>(fx->window, "lblWarnLaserHistory");
        return label->isHidden() ? QString() : label->text();
    }
    // Starts a memory exchange of the page; the erase is confirmed (or not) first.
    void start(const QString& which, QMessageBox::StandardButton answer = QMessageBox::Yes) {
        if (which == "history")
            click("btnGetLaserHistory");
        else if (which == "zero")
            click("btnGetZeroByte");
        else
            fx->window->resetLaserHistory();
        for (QMessageBox* box : fx->window->findChildren<QMessageBox*>())
            if (box->isVisible())
                box->button(answer)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void exchanges_data() {
        QTest::addColumn<QString>("which");
        QTest::newRow("history") << "history";
        QTest::newRow("zero-hour byte") << "zero";
        QTest::newRow("erase") << "erase";
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
    }
    void cleanup() { fx.reset(); }

    // Points of mean 100.7 (700 x 101, 300 x 100) and `second` + 0.2 (200 up, 800 down).
    void calibration_data() {
        QTest::addColumn<QStringList>("currents");
        QTest::addColumn<int>("unit"); // 0 mA, 1 µA
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("kd"); // empty: refused
        QTest::newRow("mA") << QStringList{"15", "25"} << 0 << 200 << "0.1 5";
        QTest::newRow("µA") << QStringList{"15000", "25000"} << 1 << 200 << "0.1 5";
        QTest::newRow("equal means") << QStringList{"15", "25"} << 0 << 100 << "";
    }
    void calibration() {
        QFETCH(QStringList, currents);
        QFETCH(int, unit);
        QFETCH(int, second);
        QFETCH(QString, kd);
        click("buttonGetAdcValue_1");
        fx->feed(readings(101, 700) + readings(100, 300));
        click("buttonGetAdcValue_2");
        fx->feed(readings(second + 1, 200) + readings(second, 800));
        QCOMPARE(text("lineAdcValue_1") + " " + text("lineAdcValue_2"),
                 "100.7 " + QString::number(second + 0.2));
        for (int n : {1, 2}) {
            formWidget<QLineEdit>(fx->window, n == 1 ? "lineCurrent_1" : "lineCurrent_2")
                ->setText(currents[n - 1]);
            formWidget<QComboBox>(fx->window, n == 1 ? "boxUnitSelector_1" : "boxUnitSelector_2")
                ->setCurrentIndex(unit);
        }
        click("buttoCalculate");
        if (kd.isEmpty()) {
            QVERIFY(!text("labelCalculatorWarning").isEmpty());
            QCOMPARE(fx->board->state.laser.laser_slope, 0.175889f);
            return;
        }
        QCOMPARE(text("labelDerivative") + " " + text("labelOffset"), kd);
        QVERIFY(text("labelCalculatorWarning").isEmpty());
        // the points sample no more: the next reading is the live current on the new line
        fx->feed(readings(500, 1));
        QCOMPARE(text("labelLaserCurrent"), QString("55 mA"));
        QCOMPARE(fx->window->laserList->count(), 1);
        // measuring point 2 again starts from no samples
        click("buttonGetAdcValue_2");
        fx->feed(readings(300, 1));
        QCOMPARE(fx->board->state.laser.calibration.sampleCount(2), 1);
    }

    // The ring's average and "to EEPROM": the byte is the average / 4, at most FE (FF: not set).
    void zeroHourByte_data() {
        QTest::addColumn<int>("reading");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("write");
        QTest::newRow("400") << 400 << "190 (71.7 mA)"
                             << "60 01 21 0C 64";
        QTest::newRow("0x400 does not wrap") << 0x400 << "400 (183.5 mA)"
                                             << "60 01 21 0C FE";
    }
    void zeroHourByte() {
        QFETCH(int, reading);
        QFETCH(QString, average);
        QFETCH(QString, write);
        fx->feed(readings(1, 5) + readings(reading, 64));
        QCOMPARE(text("lineLaserListAverage"), average);
        QCOMPARE(text("labelAvgLaserHexValue"), QString("Average Laser ADC Value of 64 values"));
        fx->mark();
        click("btnLaserToEeprom");
        QCOMPARE(fx->since(), QStringList{write});
        QCOMPARE(text("labelZeroHourByte").isEmpty(), write.endsWith("64"));
        click("pushButtonFlush");
        fx->feed(readings(100, 1));
        QCOMPARE(text("lineLaserListAverage"), QString("64 (17.9 mA)"));
        fx->feed("B5 00"); // module off
        QCOMPARE(formWidget<QPushButton>(fx->window, "buttonLaserOnOff")->text(),
                 QString("Turn Laser On"));
    }

    // Each history page is asked for after the previous one's reply, then the operating time.
    void history() {
        fx->mark();
        click("btnGetLaserHistory");
        for (int page = 0x22; page <= 0x31; ++page) {
            QCOMPARE(fx->since().size(), page - 0x21);
            QCOMPARE(fx->since().last(), "62 10 " + byteText(page) + " 00");
            fx->feed("99 13 " + byteText(page) + " 00 10" + QString(" 40").repeated(16));
        }
        QCOMPARE(fx->since().last(), QString("62 10 00 00"));
        fx->feed("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10 00");
        QCOMPARE(formWidget<QCustomPlot>(fx->window, "customPlotLaser")->graph(0)->dataCount(),
                 256);
    }

    void whilePlaying_nothingStarts_data() { exchanges_data(); }
    void whilePlaying_nothingStarts() {
        QFETCH(QString, which);
        fx->window->playing = true;
        fx->mark();
        start(which);
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(pageMessage(), QString("Please use this function only during STOP mode!"));
    }

    // An unanswered exchange ends after 2 s with a message; later replies are parameters of the
    // image again, and an erase does not go on with them.
    void unanswered_data() { exchanges_data(); }
    void unanswered() {
        QFETCH(QString, which);
        QCOMPARE(fx->board->memoryTimer.interval(), 2000);
        fx->board->memoryTimer.setInterval(50); // the same ending, sooner
        start(which);
        QTRY_VERIFY(pageMessage().contains("did not answer"));
        fx->mark();
        fx->feed("99 0C 21 00 09 A1 00 00 00 02 FF 00 00 FF");
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(text("lineAudioByte"), QString("A1"));
    }

    void erase_confirmedRefusedOrCutOff() {
        fx->mark();
        start("erase", QMessageBox::No);
        QCOMPARE(fx->since(), QStringList());
        start("erase");
        QCOMPARE(fx->since(), QStringList{"60 0A 22 00" + QString(" FF").repeated(10)});
        fx->feed("98 00"); // a refused write ends the erase
        QVERIFY(pageMessage().startsWith("Error: Write Access to EEPROM denied!"));
        fx->feed("99 03 22 00 0A");
        QCOMPARE(fx->since().size(), 1);
        start("history"); // a closed link ends an exchange
        fx->board->closePort();
        QVERIFY(!fx->board->decoder.runningSequence() && !fx->board->memoryTimer.isActive());
        QVERIFY(pageMessage().contains("closed"));
    }
};

QTEST_MAIN(tst_laserpages)
#include "tst_laserpages.moc"
