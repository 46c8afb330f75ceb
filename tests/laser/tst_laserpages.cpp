// The laser calibration, the ADC ring and the laser current page of the service window, with the
// board's frames through the real receive path of a loopback adapter.
#include "cd_board.h"
#include "laserlist.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

namespace {

QString byteText(int value) {
    return QString("%1").arg(value & 0xFF, 2, 16, QChar('0')).toUpper();
}

// `count` laser ADC readings of `value`, as one chunk.
QString readings(int value, int count) {
    return QString(" B3 02 %1 %2").arg(byteText(value >> 8), byteText(value)).repeated(count);
}

const QString EraseStart = "60 0A 22 00" + QString(" FF").repeated(10);

} // namespace

class tst_laserpages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    QString text(const char* name) const {
        if (auto* line = fx->find<QLineEdit>(name))
            return line->text();
        return fx->find<QLabel>(name)->text();
    }
    void click(const char* name) { fx->find<QPushButton>(name)->click(); }
    // Mean 100.7 from 1000 readings: 700 of 101 and 300 of 100; `high` + 0.2 likewise.
    void samplePoint(const char* button, int whole, int ups) {
        click(button);
        fx->feed(readings(whole + 1, ups) + readings(whole, 1000 - ups));
    }
    void answer(QMessageBox::StandardButton button) {
        QMessageBox* box = nullptr;
        for (QMessageBox* b : fx->window->findChildren<QMessageBox*>())
            if (b->isVisible())
                box = b;
        QVERIFY(box);
        box->button(button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString pageMessage() const {
        QLabel* label = fx->find<QLabel>("lblWarnLaserHistory");
        return label->isHidden() ? QString() : label->text();
    }
    // Starts one of the page's memory exchanges.
    void startExchange(const QString& which) {
        if (which == "history") {
            click("btnGetLaserHistory");
        } else if (which == "zero") {
            click("btnGetZeroByte");
        } else {
            fx->window->resetLaserHistory();
            answer(QMessageBox::Yes);
        }
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
    }
    void cleanup() { fx.reset(); }

    // ---- calibration ----

    void calibration_data() {
        QTest::addColumn<QStringList>("currents"); // point 1, point 2
        QTest::addColumn<int>("unit");             // 0 mA, 1 µA
        QTest::addColumn<int>("second");           // whole ADC count of point 2 (mean + 0.2)
        QTest::addColumn<QString>("k");            // empty: refused
        QTest::addColumn<QString>("d");
        QTest::newRow("mA") << QStringList{"15", "25"} << 0 << 200 << "0.1"
                            << "5";
        QTest::newRow("µA") << QStringList{"15000", "25000"} << 1 << 200 << "0.1"
                            << "5";
        QTest::newRow("equal means") << QStringList{"15", "25"} << 0 << 100 << ""
                                     << "";
    }
    void calibration() {
        QFETCH(QStringList, currents);
        QFETCH(int, unit);
        QFETCH(int, second);
        QFETCH(QString, k);
        QFETCH(QString, d);
        samplePoint("buttonGetAdcValue_1", 100, 700);
        samplePoint("buttonGetAdcValue_2", second, 200);
        QCOMPARE(text("lineAdcValue_1"), QString("100.7"));
        QCOMPARE(text("lineAdcValue_2"), QString::number(second + 0.2));
        fx->find<QLineEdit>("lineCurrent_1")->setText(currents[0]);
        fx->find<QLineEdit>("lineCurrent_2")->setText(currents[1]);
        fx->find<QComboBox>("boxUnitSelector_1")->setCurrentIndex(unit);
        fx->find<QComboBox>("boxUnitSelector_2")->setCurrentIndex(unit);
        const float slope = fx->board->state.laser.laser_slope;
        click("buttoCalculate");
        QCOMPARE(text("labelDerivative"), k);
        QCOMPARE(text("labelOffset"), d);
        QCOMPARE(text("labelCalculatorWarning").isEmpty(), !k.isEmpty());
        if (k.isEmpty()) {
            QCOMPARE(fx->board->state.laser.laser_slope, slope);
            return;
        }
        // the points sample no more: the next reading is the live current with the new line
        fx->feed(readings(500, 1));
        QCOMPARE(text("labelLaserCurrent"), QString("55 mA"));
        QCOMPARE(fx->window->laserList->count(), 1);
        // measuring point 2 again starts from no samples
        click("buttonGetAdcValue_2");
        fx->feed(readings(300, 1));
        QCOMPARE(fx->board->state.laser.calibration.sampleCount(2), 1);
        QCOMPARE(text("lineAdcValue_2"), QString::number(second + 0.2));
    }

    // ---- the ring of readings and the zero-hour byte ----

    void zeroHourByte_data() {
        QTest::addColumn<int>("reading");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("write");
        QTest::addColumn<bool>("capped");
        QTest::newRow("400") << 400 << "190 (71.7 mA)"
                             << "60 01 21 0C 64" << false;
        QTest::newRow("0x3FF") << 0x3FF << "3FF (183.3 mA)"
                               << "60 01 21 0C FE" << true;
        QTest::newRow("0x400 does not wrap") << 0x400 << "400 (183.5 mA)"
                                             << "60 01 21 0C FE" << true;
    }
    void zeroHourByte() {
        QFETCH(int, reading);
        QFETCH(QString, average);
        QFETCH(QString, write);
        QFETCH(bool, capped);
        fx->feed(readings(1, 5) + readings(reading, 64));
        QCOMPARE(text("lineLaserListAverage"), average);
        QCOMPARE(text("labelAvgLaserHexValue"), QString("Average Laser ADC Value of 64 values"));
        fx->mark();
        click("btnLaserToEeprom");
        QCOMPARE(fx->since(), QStringList{write});
        QCOMPARE(!text("labelZeroHourByte").isEmpty(), capped);
    }

    void flush_startsTheRingAgain() {
        fx->feed(readings(400, 10));
        click("pushButtonFlush");
        fx->feed(readings(100, 1));
        QCOMPARE(text("lineLaserListAverage"), QString("64 (17.9 mA)"));
        QCOMPARE(text("labelAvgLaserHexValue"), QString("Average Laser ADC Value of 1 values"));
    }

    void moduleOff_laserButtonBackToOn() {
        fx->find<QPushButton>("buttonLaserOnOff")->setText("Turn Laser Off");
        fx->feed("B5 00");
        QCOMPARE(fx->find<QPushButton>("buttonLaserOnOff")->text(), QString("Turn Laser On"));
    }

    // ---- laser current page ----

    void history_pageByPageThenPlotted() {
        fx->mark();
        click("btnGetLaserHistory");
        for (int page = 0x22; page <= 0x31; ++page) {
            QCOMPARE(fx->since().size(), page - 0x21);
            QCOMPARE(fx->since().last(), "62 10 " + byteText(page) + " 00");
            fx->feed("99 13 " + byteText(page) + " 00 10" + QString(" 40").repeated(16));
        }
        QCOMPARE(fx->since().last(), QString("62 10 00 00"));
        fx->feed("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10 00");
        QCPGraph* graph = fx->find<QCustomPlot>("customPlotLaser")->graph(0);
        QVERIFY(graph->visible());
        QCOMPARE(graph->dataCount(), 256);
        QCOMPARE(graph->data()->at(0)->value, 0x40 * 5.0 / 7.0);
        // the zero-hour line across it
        click("btnGetZeroByte");
        QCOMPARE(fx->since().last(), QString("62 01 21 0C"));
        fx->feed("99 04 21 0C 01 8C");
        QCPGraph* zero = fx->find<QCustomPlot>("customPlotLaser")->graph(1);
        QVERIFY(zero->visible());
        QCOMPARE(zero->data()->at(0)->value, 100.0);
    }

    void whilePlaying_nothingStarts_data() {
        QTest::addColumn<QString>("which");
        QTest::newRow("history") << "history";
        QTest::newRow("zero-hour byte") << "zero";
        QTest::newRow("erase") << "erase";
    }
    void whilePlaying_nothingStarts() {
        QFETCH(QString, which);
        fx->window->playing = true;
        fx->mark();
        if (which == "erase")
            fx->window->resetLaserHistory();
        else
            startExchange(which);
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(pageMessage(), QString("Please use this function only during STOP mode!"));
    }

    void erase_onlyAfterConfirmation() {
        fx->mark();
        fx->window->resetLaserHistory();
        answer(QMessageBox::No);
        QCOMPARE(fx->since(), QStringList());
        fx->window->resetLaserHistory();
        answer(QMessageBox::Yes);
        QCOMPARE(fx->since(), QStringList{EraseStart});
    }

    // An exchange the board does not answer ends after 2 s with a message; later replies are
    // parameters of the image again, and an erase does not go on with them.
    void unanswered_endsAfterTwoSeconds_data() { whilePlaying_nothingStarts_data(); }
    void unanswered_endsAfterTwoSeconds() {
        QFETCH(QString, which);
        startExchange(which);
        QTRY_VERIFY(pageMessage().contains("did not answer"));
        QVERIFY(!fx->board->decoder.runningSequence());
        fx->mark();
        fx->feed("99 0C 21 00 09 A1 00 00 00 02 FF 00 00 FF");
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(text("lineAudioByte"), QString("A1"));
    }

    void refusedWrite_endsTheErase() {
        startExchange("erase");
        fx->mark();
        fx->feed("98 00");
        QVERIFY(pageMessage().startsWith("Error: Write Access to EEPROM denied!"));
        fx->feed("99 03 22 00 0A");
        QCOMPARE(fx->since(), QStringList());
    }

    void linkClosed_endsTheExchange() {
        startExchange("history");
        fx->board->closePort();
        QVERIFY(!fx->board->decoder.runningSequence());
        QVERIFY(!fx->board->memoryTimer.isActive());
        QVERIFY(pageMessage().contains("closed"));
    }
};

QTEST_MAIN(tst_laserpages)
#include "tst_laserpages.moc"
