// The EEPROM, audio byte and servo pages and the register dialog of the service window, with the
// board's frames through the real receive path of a loopback adapter.
#include "cd_board.h"
#include "focus_coefs.h"
#include "register_dialog.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

namespace {

// The board's answers to the start-up reads: customer 1, production day 2000, operator 7,
// serial 4711, on-time count 1234, the default k and d, audio byte 5E, loader 02.
const QString Settings = "99 0C 21 00 09 5E 00 00 00 02 FF 00 00 FF";
const QString Production = "99 0B 10 00 08 00 01 07 D0 00 07 12 67";
const QString Runtime = "99 13 00 00 10" + QString(" D2").repeated(14) + " 04 00";
const QString Laser = "99 0B 0F 08 08 3F 1C 34 3E 00 AE 04 40";
const QString Focus = "99 04 11 00 01 FF";
const QString Loaders = "C7 02 02 82";
const QString SettingsWrite = "60 09 21 00 5E 00 00 00 02 FF 00 00 FF";
const QString FocusWrite = "60 01 11 00 FF";
const QString Complete = "Flashing Complete and Succesfull!";
const QString Denied = "Error: Write Access to EEPROM denied!";

} // namespace

class tst_productionpages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    QString eepromText() const { return fx->find<QLabel>("labelEeprom")->text(); }
    int progress() const { return fx->find<QProgressBar>("progressBarEeprom")->value(); }
    void readImage(const QStringList& answers = {Settings, Production, Runtime, Laser, Focus,
                                                 Loaders}) {
        fx->feed("A3 01 3C");
        for (const QString& frame : answers)
            fx->feed(frame);
        fx->feed("BD 01 02");
    }
    void flash() { fx->find<QPushButton>("ButtonFlashEeprom")->click(); }
    // Answers the question box that is up.
    void answer(QMessageBox::StandardButton button) {
        QMessageBox* box = nullptr;
        for (QMessageBox* b : fx->window->findChildren<QMessageBox*>())
            if (b->isVisible())
                box = b;
        QVERIFY(box);
        box->button(button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
    }
    void cleanup() { fx.reset(); }

    // ---- the image read at start-up ----

    void startupRead_shownOnThePage() {
        readImage();
        const QStringList labels{"label_CustomerID",     "labelFlashedBy", "label_ProductionCode",
                                 "label_ProductionDate", "labelOnTime",    "label_Derivative",
                                 "label_Offset"};
        QStringList shown;
        for (const QString& name : labels)
            shown << fx->find<QLabel>(name)->text();
        QCOMPARE(shown,
                 QStringList({"1", "7", "4711", "Wed Mar 15 2023", "8638", "0.175889", "2.07312"}));
        QCOMPARE(fx->find<QLineEdit>("lineAudioByte")->text(), QString("5E"));
        // a settings block announcing 115200 selects it, and nothing needs a warning
        fx->feed("99 0C 21 00 09 5E 00 00 00 02 FF 00 00 01");
        QCOMPARE(fx->find<QComboBox>("comboBox_selected_baud_rate")->currentText(),
                 QString("115200"));
        QVERIFY(fx->find<QLabel>("BaudrateWarningLabel")->isHidden());
        fx->feed("99 04 11 00 01 01");
        QCOMPARE(fx->find<QComboBox>("comboBox_selected_focus")->currentText(),
                 QString("R31 = 12kOhm"));
    }

    // ---- "Flash to Eeprom": settings block, focus hardware, done ----

    void flash_writesSettingsAndFocusThenSucceeds() {
        readImage();
        fx->mark();
        flash();
        QCOMPARE(fx->since(), QStringList({SettingsWrite, "62 09 21 00"}));
        QCOMPARE(progress(), 4);
        fx->feed("99 0C 21 00 09 5E 00 00 00 02 FF 00 00 FF"); // the write's reply confirms
        QCOMPARE(fx->since(),
                 QStringList({SettingsWrite, "62 09 21 00", FocusWrite, "62 01 11 00"}));
        QSignalSpy success(fx->window, &Control_Panel::flashSuccess);
        fx->feed(Focus);
        QCOMPARE(eepromText(), Complete);
        QCOMPARE(progress(), 6);
        QCOMPARE(success.count(), 1);
        // the button works again
        fx->mark();
        flash();
        QCOMPARE(fx->since().value(0), SettingsWrite);
    }

    // A refused write is shown at once; the read-back of the old bytes confirms nothing, and the
    // step's time-out ends the run without success; the button works again.
    void flash_refusedWriteNeverSucceeds() {
        readImage();
        flash();
        fx->feed("98 00");
        QCOMPARE(eepromText(), Denied);
        QCOMPARE(progress(), 0);
        fx->feed(Settings);
        QTRY_VERIFY(!fx->window->flashTimer.isActive());
        QCOMPARE(eepromText(), Denied);
        fx->mark();
        flash();
        QCOMPARE(fx->since().value(0), SettingsWrite);
    }

    void flash_unconfirmedStepTimesOut() {
        readImage();
        flash();
        fx->feed("99 0C 21 00 09 5F 00 00 00 02 FF 00 00 FF"); // a cell that did not take it
        QTRY_COMPARE(eepromText(), Denied);
        QCOMPARE(progress(), 0);
    }

    // Until the settings block, the focus byte and the loader list have been read since the link
    // opened, neither the button nor Return writes anything; the page says what is missing.
    void flash_refusedBeforeTheParametersWereRead_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("byReturn");
        QTest::addColumn<QString>("missing");
        QTest::newRow("nothing read") << QStringList() << false << "settings block";
        QTest::newRow("no focus byte, Return")
            << QStringList{Settings, Loaders} << true << "focus hardware";
        QTest::newRow("no loader list") << QStringList{Settings, Focus} << false << "loader types";
    }
    void flash_refusedBeforeTheParametersWereRead() {
        QFETCH(QStringList, answers);
        QFETCH(bool, byReturn);
        QFETCH(QString, missing);
        readImage(answers);
        fx->mark();
        if (byReturn) {
            fx->find<QTabWidget>("tabWidget")->setCurrentWidget(fx->find<QWidget>("tabEeprom"));
            QTest::keyClick(fx->window, Qt::Key_Return);
        } else {
            flash();
        }
        QCOMPARE(fx->since(), QStringList());
        QVERIFY2(eepromText().contains(missing), qPrintable(eepromText()));
    }

    // What was read belongs to the link it was read on.
    void flash_refusedAfterTheLinkClosed() {
        readImage();
        fx->board->closePort();
        fx->mark();
        flash();
        QCOMPARE(fx->since(), QStringList());
        QVERIFY(eepromText().contains("settings block"));
    }

    void flash_refusesAnAudioByteThatIsNotHex_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("not hexadecimal") << "5G";
        QTest::newRow("three digits") << "15E";
        QTest::newRow("empty") << "";
    }
    void flash_refusesAnAudioByteThatIsNotHex() {
        QFETCH(QString, text);
        readImage();
        fx->find<QLineEdit>("lineAudioByte")->setText(text);
        fx->mark();
        flash();
        QCOMPARE(fx->since(), QStringList());
        QVERIFY(eepromText().contains("Audio Byte"));
    }

    // Return while a run waits for its confirmation does not start it again.
    void flash_returnDuringARunIsIgnored() {
        readImage();
        flash();
        fx->mark();
        fx->find<QTabWidget>("tabWidget")->setCurrentWidget(fx->find<QWidget>("tabEeprom"));
        QTest::keyClick(fx->window, Qt::Key_Return);
        flash();
        QCOMPARE(fx->since(), QStringList());
        QCOMPARE(progress(), 4);
    }

    // A calibration fitted on the laser page stays in use after a run from the button (which
    // writes no k and d).
    void flash_keepsTheFittedCalibration() {
        readImage();
        fx->board->state.laser.laser_slope = 0.1f;
        fx->board->state.laser.laser_offset = 5.0f;
        flash();
        fx->feed(Settings);
        fx->feed(Focus);
        QCOMPARE(eepromText(), Complete);
        QCOMPARE(fx->board->state.laser.laser_slope, 0.1f);
        QCOMPARE(fx->board->state.laser.laser_offset, 5.0f);
    }

    // ---- "Program all parameters...": erase, on-time, k and d, record, settings, focus ----

    void programAll_asksThenRunsTheWholeChain() {
        readImage();
        fx->mark();
        fx->find<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::No);
        QCOMPARE(fx->since(), QStringList());
        fx->find<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::Yes);
        QCOMPARE(fx->since(), QStringList({"60 0A 22 00" + QString(" FF").repeated(10)}));
        QCOMPARE(eepromText(), QString("Deleting Laser History"));
        // 32 erase writes and two on-time writes, each answered
        for (int n = 0; n < 34; ++n)
            fx->feed("99 03 22 00 0A");
        QCOMPARE(eepromText(), QString("Flashing Runtime"));
        fx->feed("99 13 00 00 10" + QString(" 00").repeated(16));
        QCOMPARE(fx->since().filter("60 08 0F 08"),
                 QStringList{"60 08 0F 08 3F 1C 34 3E 00 AE 04 40"});
        for (const QString& reply : {Laser, Production, Settings, Focus})
            fx->feed(reply);
        QCOMPARE(eepromText(), Complete);
        const QStringList sent = fx->since();
        QCOMPARE(sent.filter(QRegularExpression("^60 0A")).size(), 32);
        QCOMPARE(sent.filter("60 08 10 00").value(0),
                 QString("60 08 10 00 00 01 07 D0 00 07 12 67"));
    }

    // ---- page choices ----

    void pageChoices() {
        readImage();
        auto* baud = fx->find<QComboBox>("comboBox_selected_baud_rate");
        QLabel* warning = fx->find<QLabel>("BaudrateWarningLabel");
        baud->setCurrentIndex(1);
        QVERIFY(!warning->isHidden());
        QCOMPARE(fx->board->state.eeprom.baud_flag, quint8(0x01));
        baud->setCurrentIndex(0);
        QVERIFY(warning->isHidden());

        auto* laserDefault = fx->find<QCheckBox>("checkBoxSetLaserToDefault");
        laserDefault->click();
        QCOMPARE(fx->find<QLabel>("label_Derivative")->text(), QString("0.179211"));
        QCOMPARE(fx->find<QLabel>("label_Offset")->text(), QString("0"));
        laserDefault->click();
        QCOMPARE(fx->find<QLabel>("label_Derivative")->text(), QString("0.175889"));

        auto* today = fx->find<QCheckBox>("checkBoxSetDateToToday");
        today->click();
        QCOMPARE(fx->find<QDateEdit>("dateProduction")->date(), QDate::currentDate());
        today->click();
        QCOMPARE(fx->find<QDateEdit>("dateProduction")->date(), QDate(2023, 3, 15));

        fx->find<QCheckBox>("checkResetOnTime")->click();
        QVERIFY(!fx->find<QLabel>("lblWarningRuntime")->isHidden());
    }

    // ---- audio byte page ----

    void audioByte_composedAndCopied() {
        fx->find<QRadioButton>("rB0011")->click();
        fx->find<QComboBox>("cBClockAccuracy")->setCurrentIndex(3);
        fx->find<QComboBox>("cBEBUFlags")->setCurrentIndex(1);
        fx->find<QComboBox>("cBDeemph")->setCurrentIndex(1);
        QCOMPARE(fx->find<QLineEdit>("lineAudioByteByteTab")->text(), QString("F3"));
        fx->find<QPushButton>("pBSetAudioByte")->click();
        QCOMPARE(fx->find<QLineEdit>("lineAudioByte")->text(), QString("F3"));
        QCOMPARE(fx->find<QTabWidget>("tabWidget")->currentWidget(),
                 fx->find<QWidget>("tabEeprom"));
    }

    void audioByte_readByteTakenApart() {
        fx->find<QRadioButton>("rB0000")->click();
        readImage();
        QVERIFY(fx->find<QRadioButton>("rB1110")->isChecked());
        QCOMPARE(fx->find<QComboBox>("cBClockAccuracy")->currentIndex(), 1);
        QCOMPARE(fx->find<QComboBox>("cBEBUFlags")->currentIndex(), 1);
        QCOMPARE(fx->find<QComboBox>("cBDeemph")->currentIndex(), 0);
        QCOMPARE(fx->find<QLineEdit>("lineAudioByteByteTab")->text(), QString("5E"));
    }

    // ---- servo page and register dialog ----

    void servoLists_feedTheFocusCoefficient() {
        auto* lead = fx->find<QComboBox>("comboBox_foc_lead_length");
        QCOMPARE(lead->itemText(2), QString("21.3"));
        fx->find<QComboBox>("comboBox_CA_start")->setCurrentIndex(2);
        lead->setCurrentIndex(3);
        QCOMPARE(int(fx->window->focusCoefs->coefficient()), 0xC1 | 0x04);
    }

    void registerDialog_lifecycle() {
        fx->window->handleWriteToRegister();
        QPointer<Register_Dialog> first = fx->window->registerDialog;
        QVERIFY(first && first->isVisible());
        first->byteFields.first()->setText("12");
        first->commandBox->setCurrentIndex(4);
        fx->window->handleWriteToRegister();
        QCOMPARE(fx->window->registerDialog, first.data());
        first->close();
        fx->window->handleWriteToRegister();
        QVERIFY(!first);
        Register_Dialog* fresh = fx->window->registerDialog;
        QVERIFY(fresh->isVisible());
        QVERIFY(fresh->byteFields.first()->text().isEmpty());
        QCOMPARE(fresh->commandBox->currentIndex(), 0);
    }
};

QTEST_MAIN(tst_productionpages)
#include "tst_productionpages.moc"
