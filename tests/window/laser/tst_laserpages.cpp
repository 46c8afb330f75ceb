// The laser calibration, the ADC ring and the laser current page of the service window, with the
// board's frames through the real receive path of a loopback adapter.
#include "cd_board.h"
#include "formwidget.h"
#include "laser/laserlist.h"
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

    void shortenMemoryTimeout() {
        CD_Board::Timeouts timeouts = fx->board->timeouts();
        timeouts.memoryMs = 50;
        fx->board->setTimeouts(timeouts);
    }

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

    // Point 1: 1000 readings of 100, point 2: 1000 of `second`.
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
        fx->feed(readings(100, 999));
        QCOMPARE(text("labelAdcProgress_1"), QString("999 of 1000 readings"));
        fx->feed(readings(100, 1));
        click("buttonGetAdcValue_2");
        fx->feed(readings(second, 1000));
        QCOMPARE(text("labelAdcProgress_2"), QString("1000 of 1000 readings"));
        QCOMPARE(text("lineAdcValue_1") + " " + text("lineAdcValue_2"),
                 "100 " + QString::number(second));
        for (int n : {1, 2}) {
            formWidget<QLineEdit>(fx->window, n == 1 ? "lineCurrent_1" : "lineCurrent_2")
                ->setText(currents[n - 1]);
            formWidget<QComboBox>(fx->window, n == 1 ? "boxUnitSelector_1" : "boxUnitSelector_2")
                ->setCurrentIndex(unit);
        }
        click("buttoCalculate");
        // "Use for EEPROM" carries a fitted line into the fields the full EEPROM run writes
        QCOMPARE(formWidget<QPushButton>(fx->window, "buttonUseForEeprom")->isEnabled(),
                 !kd.isEmpty());
        if (kd.isEmpty()) {
            QVERIFY(!text("labelCalculatorWarning").isEmpty());
            QCOMPARE(fx->board->state().laser.laser_slope, 0.175889f);
            return;
        }
        QCOMPARE(text("labelDerivative") + " " + text("labelOffset"), kd);
        QVERIFY(text("labelCalculatorWarning").isEmpty());
        formWidget<QCheckBox>(fx->window, "checkBoxSetLaserToDefault")->click();
        click("buttonUseForEeprom");
        QCOMPARE(text("Line_Derivative") + " " + text("Line_Offset"), kd);
        QVERIFY(!formWidget<QLineEdit>(fx->window, "Line_Derivative")->isReadOnly());
        // the points sample no more: the next reading is the live current on the new line
        fx->feed(readings(500, 1));
        QCOMPARE(text("labelLaserCurrent"), QString("55 mA"));
        QCOMPARE(fx->window->laserReadings().count(), 1);
        // measuring point 2 again starts from no samples
        click("buttonGetAdcValue_2");
        fx->feed(readings(300, 1));
        QCOMPARE(fx->board->state().laser.calibration.sampleCount(2), 1);
    }

    // A closed link stops a point: the readings after it may come from a board started anew.
    void calibration_stopsWithTheLink() {
        click("buttonGetAdcValue_1");
        fx->feed(readings(100, 400));
        fx->board->closePort();
        QCOMPARE(text("labelAdcProgress_1"), QString("Stopped at 400 of 1000 readings"));
    }

    // The ring's average and "to EEPROM": the byte is the average / 4, at most FE (FF: not set).
    void zeroHourByte_data() {
        QTest::addColumn<int>("reading");
        QTest::addColumn<QString>("average");
        QTest::addColumn<QString>("reply"); // none: no answer
        QTest::addColumn<QString>("label"); // part of it
        const QString avg = "190 (71.7 mA)";
        QTest::newRow("written") << 400 << avg << QString("99 04 21 0C 01 64")
                                 << "Written: 64 (71.4 mA)";
        QTest::newRow("0x400 does not wrap")
            << 0x400 << QString("400 (183.5 mA)") << QString("99 04 21 0C 01 FE")
            << "Written: FE (181.4 mA)";
        QTest::newRow("refused") << 400 << avg << QString("98 00") << "denied";
        QTest::newRow("no answer") << 400 << avg << QString() << "no answer within 2 s";
    }
    void zeroHourByte() {
        QFETCH(int, reading);
        QFETCH(QString, average);
        QFETCH(QString, reply);
        QFETCH(QString, label);
        fx->feed(readings(1, 5) + readings(reading, 64));
        QCOMPARE(text("lineLaserListAverage"), average);
        QCOMPARE(text("labelAvgLaserHexValue"), QString("Average Laser ADC Value of 64 values"));
        shortenMemoryTimeout(); // the same ending, sooner
        fx->mark();
        click("btnLaserToEeprom");
        fx->feed(reply);
        QCOMPARE(fx->since().size(), 1); // the write: the reply shows the byte, or tells why not
        QTRY_VERIFY(text("labelZeroHourByte").contains(label));
        click("pushButtonFlush");
        fx->feed(readings(100, 1));
        QCOMPARE(text("lineLaserListAverage"), QString("64 (17.9 mA)"));
        fx->feed("B5 00"); // module off
        QCOMPARE(formWidget<QPushButton>(fx->window, "buttonLaserOnOff")->text(),
                 QString("Turn Laser On"));
    }

    // Each history page is asked for after the previous one's reply, then the operating time.
    void history_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("message");
        QTest::newRow("recorded") << "40" << QString();
        QTest::newRow("erased") << "FF"
                                << "The laser history is empty: no laser current recorded yet.";
    }
    void history() {
        QFETCH(QString, sample);
        QFETCH(QString, message);
        fx->mark();
        click("btnGetLaserHistory");
        for (int page = 0x22; page <= 0x31; ++page) {
            QCOMPARE(fx->since().size(), page - 0x21);
            QCOMPARE(fx->since().last(), "62 10 " + byteText(page) + " 00");
            fx->feed("99 13 " + byteText(page) + " 00 10" + QString(" " + sample).repeated(16));
        }
        QCOMPARE(fx->since().last(), QString("62 10 00 00"));
        fx->feed("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10 00");
        QCPGraph* graph = formWidget<QCustomPlot>(fx->window, "customPlotLaser")->graph(0);
        QCOMPARE(pageMessage(), message);
        QCOMPARE(graph->visible() ? graph->dataCount() : 0, message.isEmpty() ? 256 : 0);
    }

    void whilePlaying_nothingStarts_data() { exchanges_data(); }
    void whilePlaying_nothingStarts() {
        QFETCH(QString, which);
        fx->window->play();
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
        QCOMPARE(fx->board->timeouts().memoryMs, 2000);
        shortenMemoryTimeout(); // the same ending, sooner
        start(which);
        QTRY_VERIFY(pageMessage().contains("did not answer"));
        fx->mark();
        fx->feed("99 0C 21 00 09 A1 00 00 00 02 FF 00 00 FF");
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(text("lineAudioByte"), QString("A1"));
    }

    // One exchange at a time: a history read took the reply of a zero-hour byte write and left
    // it "Writing...".
    void secondExchange_waitsForTheFirst() {
        fx->feed(readings(400, 64));
        click("btnLaserToEeprom");
        fx->mark();
        start("history");
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(pageMessage(),
                 QString("Please wait until the zero hour current write has finished!"));
        fx->feed("99 04 21 0C 01 64");
        QCOMPARE(text("labelZeroHourByte"), QString("Written: 64 (71.4 mA)"));
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
        QVERIFY(!fx->board->decoder().runningSequence() &&
                !fx->board->decoder().memoryTimer.isActive());
        QVERIFY(pageMessage().contains("closed"));
    }
};

QTEST_MAIN(tst_laserpages)
#include "tst_laserpages.moc"
