// The EEPROM, audio byte and servo pages and the register dialog of the service window, with the
// board's frames through the real receive path of a loopback adapter.
#include "cd_board.h"
#include "focus_coefs.h"
#include "formwidget.h"
#include "register_dialog.h"
#include "windowfixture.h"

#include <QtTest>

#include <memory>

namespace {

// The board's answers to the start-up reads (audio byte 5E, loader 02, serial 4711, default k d).
const QString Settings = "99 0C 21 00 09 5E 00 00 00 02 FF 00 00 FF";
const QString Production = "99 0B 10 00 08 00 01 07 D0 00 07 12 67";
const QString Runtime = "99 13 00 00 10" + QString(" D2").repeated(14) + " 04 00";
const QString Laser = "99 0B 0F 08 08 3F 1C 34 3E 00 AE 04 40";
const QString Focus = "99 04 11 00 01 FF";
const QString Loaders = "C7 02 02 82";
const QString SettingsWrite = "60 09 21 00 5E 00 00 00 02 FF 00 00 FF";
const QString Complete = "Flashing Complete and Succesfull!";
const QString Denied = "Error: Write Access to EEPROM denied!";

} // namespace

class tst_productionpages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    template <typename T = QLabel> T* w(const char* name) const {
        return formWidget<T>(fx->window, name);
    }
    QString eepromText() const { return w("labelEeprom")->text(); }
    int progress() const { return w<QProgressBar>("progressBarEeprom")->value(); }
    void readImage(const QStringList& answers = {Settings, Production, Runtime, Laser, Focus,
                                                 Loaders}) {
        fx->feed("A3 01 3C");
        for (const QString& frame : answers)
            fx->feed(frame);
        fx->feed("BD 01 02");
    }
    void flash() { w<QPushButton>("ButtonFlashEeprom")->click(); }
    void pressReturn() {
        w<QTabWidget>("tabWidget")->setCurrentWidget(w<QWidget>("tabEeprom"));
        QTest::keyClick(fx->window, Qt::Key_Return);
    }
    void answer(QMessageBox::StandardButton button) {
        for (QMessageBox* box : fx->window->findChildren<QMessageBox*>())
            if (box->isVisible())
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

    // "Flash to Eeprom": settings block, focus hardware, done; Return during the run is ignored,
    // and a calibration fitted on the laser page stays in use (the run writes no k and d).
    void flash_settingsAndFocusThenSuccess() {
        readImage();
        fx->board->state.laser.laser_slope = 0.1f;
        fx->mark();
        flash();
        pressReturn();
        QCOMPARE(fx->since(), QStringList({SettingsWrite, "62 09 21 00"}));
        fx->feed(Settings); // the write's reply confirms
        QCOMPARE(fx->since().mid(2), QStringList({"60 01 11 00 FF", "62 01 11 00"}));
        QSignalSpy success(fx->window, &Control_Panel::flashSuccess);
        fx->feed(Focus);
        QCOMPARE(eepromText(), Complete);
        QCOMPARE(progress(), 6);
        QCOMPARE(success.count(), 1);
        QCOMPARE(fx->board->state.laser.laser_slope, 0.1f);
    }

    // Refused at once; the old bytes read back confirm nothing; the time-out ends the run without
    // success, and the button works again.
    void flash_refusedWriteNeverSucceeds() {
        readImage();
        flash();
        fx->feed("98 00");
        QCOMPARE(eepromText(), Denied);
        QCOMPARE(progress(), 0);
        fx->feed(Settings);
        QTRY_VERIFY(!fx->window->eepromChainRunning);
        QCOMPARE(eepromText(), Denied);
        fx->mark();
        flash();
        QCOMPARE(fx->since().value(0), SettingsWrite);
    }

    // Nothing is written before the settings block, the focus byte and the loader list were read
    // on this link, nor with an audio byte that is not hexadecimal; the page says why.
    void flash_refused_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("audioByte");
        QTest::addColumn<bool>("closeLink");
        QTest::addColumn<QString>("why");
        const QStringList all{Settings, Focus, Loaders};
        QTest::newRow("nothing read") << QStringList() << "" << false << "settings block";
        QTest::newRow("no focus byte") << QStringList{Settings, Loaders} << "" << false << "focus";
        QTest::newRow("no loader list") << QStringList{Settings, Focus} << "" << false << "loader";
        QTest::newRow("link closed since") << all << "" << true << "settings block";
        QTest::newRow("audio byte 5G") << all << "5G" << false << "Audio Byte";
        QTest::newRow("audio byte 15E") << all << "15E" << false << "Audio Byte";
    }
    void flash_refused() {
        QFETCH(QStringList, answers);
        QFETCH(QString, audioByte);
        QFETCH(bool, closeLink);
        QFETCH(QString, why);
        readImage(answers);
        if (!audioByte.isEmpty())
            w<QLineEdit>("lineAudioByte")->setText(audioByte);
        if (closeLink)
            fx->board->closePort();
        fx->mark();
        flash();
        QVERIFY2(eepromText().contains(why), qPrintable(eepromText()));
        w("labelEeprom")->clear();
        pressReturn();
        QVERIFY(eepromText().contains(why));
        QCOMPARE(fx->since(), QStringList());
    }

    // "Program all parameters...": asked first, then erase, on-time, k and d, production record,
    // settings, focus, each step started by the confirmation of the one before.
    void programAll() {
        readImage();
        fx->mark();
        w<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::No);
        QCOMPARE(fx->since(), QStringList());
        w<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::Yes);
        fx->feed("98 00"); // a refused erase write ends the run at once
        QVERIFY(eepromText().startsWith(Denied) && !fx->window->eepromChainRunning);
        fx->mark();
        w<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::Yes);
        QCOMPARE(fx->since(), QStringList({"60 0A 22 00" + QString(" FF").repeated(10)}));
        for (int n = 0; n < 34; ++n) // 32 erase writes and two on-time writes, each answered
            fx->feed("99 03 22 00 0A");
        QCOMPARE(eepromText(), QString("Flashing Runtime"));
        for (const QString& reply :
             {"99 13 00 00 10" + QString(" 00").repeated(16), Laser, Production, Settings, Focus})
            fx->feed(reply);
        QCOMPARE(eepromText(), Complete);
        const QStringList sent = fx->since();
        QCOMPARE(sent.filter(QRegularExpression("^60 0A")).size(), 32);
        QCOMPARE(sent.filter(QRegularExpression("^60 08")),
                 QStringList({"60 08 0F 08 3F 1C 34 3E 00 AE 04 40",
                              "60 08 10 00 00 01 07 D0 00 07 12 67"}));
    }

    void pageChoices() {
        readImage({Settings, Production, Laser});
        w<QComboBox>("comboBox_selected_baud_rate")->setCurrentIndex(1);
        QVERIFY(!w("BaudrateWarningLabel")->isHidden());
        QCOMPARE(fx->board->state.eeprom.baud_flag, quint8(0x01));
        w<QComboBox>("comboBox_selected_baud_rate")->setCurrentIndex(0);
        QVERIFY(w("BaudrateWarningLabel")->isHidden());
        w<QCheckBox>("checkBoxSetLaserToDefault")->click();
        QCOMPARE(w("label_Derivative")->text() + " " + w("label_Offset")->text(),
                 QString("0.179211 0"));
        w<QCheckBox>("checkBoxSetLaserToDefault")->click();
        QCOMPARE(w("label_Derivative")->text(), QString("0.175889"));
        w<QCheckBox>("checkBoxSetDateToToday")->click(); // checked, then back to the record's
        w<QCheckBox>("checkBoxSetDateToToday")->click();
        QCOMPARE(w<QDateEdit>("dateProduction")->date(), QDate(2023, 3, 15));
        w<QCheckBox>("checkResetOnTime")->click();
        QVERIFY(!w("lblWarningRuntime")->isHidden());
    }

    void audioByte() {
        w<QRadioButton>("rB0011")->click();
        w<QComboBox>("cBClockAccuracy")->setCurrentIndex(3);
        w<QComboBox>("cBEBUFlags")->setCurrentIndex(1);
        w<QComboBox>("cBDeemph")->setCurrentIndex(1);
        QCOMPARE(w<QLineEdit>("lineAudioByteByteTab")->text(), QString("F3"));
        w<QPushButton>("pBSetAudioByte")->click();
        QCOMPARE(w<QLineEdit>("lineAudioByte")->text(), QString("F3"));
        QCOMPARE(w<QTabWidget>("tabWidget")->currentWidget(), w<QWidget>("tabEeprom"));
        // the byte read from the board is taken apart
        readImage({Settings});
        QVERIFY(w<QRadioButton>("rB1110")->isChecked());
        QCOMPARE(QList<int>({w<QComboBox>("cBClockAccuracy")->currentIndex(),
                             w<QComboBox>("cBEBUFlags")->currentIndex(),
                             w<QComboBox>("cBDeemph")->currentIndex()}),
                 QList<int>({1, 1, 0}));
        QCOMPARE(w<QLineEdit>("lineAudioByteByteTab")->text(), QString("5E"));
    }

    void servoListsAndRegisterDialog() {
        w<QComboBox>("comboBox_CA_start")->setCurrentIndex(2);
        w<QComboBox>("comboBox_foc_lead_length")->setCurrentIndex(3);
        QCOMPARE(int(fx->window->focusCoefs->coefficient()), 0xC1 | 0x04);

        fx->window->handleWriteToRegister();
        QPointer<Register_Dialog> first = fx->window->registerDialog;
        first->byteFields.first()->setText("12");
        first->commandBox->setCurrentIndex(4);
        fx->window->handleWriteToRegister();
        QCOMPARE(fx->window->registerDialog, first.data());
        first->close();
        fx->window->handleWriteToRegister();
        QVERIFY(!first && fx->window->registerDialog->isVisible());
        QVERIFY(fx->window->registerDialog->byteFields.first()->text().isEmpty());
        QCOMPARE(fx->window->registerDialog->commandBox->currentIndex(), 0);
    }
};

QTEST_MAIN(tst_productionpages)
#include "tst_productionpages.moc"
