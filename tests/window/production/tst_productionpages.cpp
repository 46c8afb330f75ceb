// The EEPROM, audio byte and servo pages and the register dialog of the service window, with the
// board's frames through the real receive path of a loopback adapter.
// before Qt's headers, which take "emit" for a keyword
#include "simboard.h"

#include "cd_board.h"
#include "formwidget.h"
#include "framehex.h"
#include "production/focus_coefs.h"
#include "production/register_dialog.h"
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
    int served = 0;

    // The simulator's board, in this process, answers every request the window has handed over
    // and those its answers call for.
    void serve(SimBoard& sim) {
        for (QStringList sent = fx->requests(); served < sent.size(); sent = fx->requests()) {
            const QByteArray request = FrameHex::bytes(sent.at(served++));
            sim.handleCommand(Bytes(request.begin(), request.end()), 0);
            for (const SimOutput& out : sim.takeOutput())
                fx->feed(FrameHex::text(FrameHex::bytes(out.bytes)));
        }
    }

    // The simulator's DK-61 with the options given, as its command line takes them.
    static std::unique_ptr<SimBoard> simBoard(const QString& board) {
        QByteArrayList args{"dk61-sim", "--board", "dk61"};
        for (const QString& arg : board.split(' ', Qt::SkipEmptyParts))
            args << arg.toLatin1();
        std::vector<const char*> argv;
        for (const QByteArray& arg : args)
            argv.push_back(arg.constData());
        SimOptions options;
        std::string error;
        if (SimOptions::parse(int(argv.size()), argv.data(), options, error) !=
            SimOptions::ParseResult::Ok)
            return nullptr;
        return std::make_unique<SimBoard>(options, EepromImage::makeDefault(0x42, 0xFF, 500), 1);
    }
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
        served = 0;
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
    }
    void cleanup() { fx.reset(); }

    // "Flash to Eeprom": settings block, focus hardware, done; Return during the run is ignored,
    // and a calibration fitted on the laser page stays in use (the run writes no k and d).
    void flash_settingsAndFocusThenSuccess() {
        readImage();
        fx->feed("99 0B 0F 08 08 CD CC CC 3D 00 AE 04 40"); // k = 0.1, as fitted on the laser page
        QCOMPARE(fx->board->state().laser.laser_slope, 0.1f);
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
        QCOMPARE(fx->board->state().laser.laser_slope, 0.1f);
    }

    // A run that fails says why, stops at once and leaves the button working.
    void flash_endsWithTheReason_data() {
        QTest::addColumn<QStringList>("answers"); // "close": the link closes
        QTest::addColumn<QString>("text");
        const QString other = "99 0C 21 00 09 5E 00 00 00 01 FF 00 00 FF";
        QTest::newRow("refused") << QStringList{"98 00"} << Denied;
        QTest::newRow("no answer") << QStringList()
                                   << "Error: no answer from the board (Settings "
                                      "block)!";
        QTest::newRow("link lost")
            << QStringList{"close"} << "Error: the link to the board was lost (Settings block)!";
        QTest::newRow("read-back differs")
            << QStringList{other, other}
            << "Error: Settings block did not verify: byte 4 reads 01 instead of 02!";
    }
    void flash_endsWithTheReason() {
        QFETCH(QStringList, answers);
        QFETCH(QString, text);
        readImage();
        QSignalSpy success(fx->window, &Control_Panel::flashSuccess);
        CD_Board::Timeouts timeouts = fx->board->timeouts();
        timeouts.eepromRequestMs = 50; // the same ending, sooner
        fx->board->setTimeouts(timeouts);
        flash();
        for (const QString& answer : answers)
            answer == "close" ? fx->board->closePort() : fx->feed(answer);
        QTRY_COMPARE_WITH_TIMEOUT(eepromText(), text, 3000);
        QCOMPARE(progress(), 0);
        QVERIFY(!fx->window->programmingRunning() && success.isEmpty());
        fx->feed(Settings); // a late read-back starts nothing
        QCOMPARE(eepromText(), text);
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

    // "Program all parameters...": asked first; then every stretch is written, read back and
    // compared (erase, on-time, k and d, the typed record, settings, focus) before success.
    void programAll_data() {
        QTest::addColumn<QString>("board"); // the simulator's options
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("record"); // as the board holds it afterwards
        const QString old = "00 01 07 D0 00 07 12 67";
        QTest::newRow("verified") << "" << Complete << "00 03 07 D1 00 08 12 68";
        QTest::newRow("on-time cell faulty")
            << "--corrupt-address 0008"
            << "Error: Laser on-time did not verify: byte 8 reads FF instead of 00!" << old;
        QTest::newRow("history not erased")
            << "--unerasable-history"
            << "Error: Laser history page 22 did not verify: byte 0 reads 7B instead of FF!" << old;
        QTest::newRow("writes refused") << "--refuse-writes" << Denied << old;
    }
    void programAll() {
        QFETCH(QString, board);
        QFETCH(QString, text);
        QFETCH(QString, record);
        const std::unique_ptr<SimBoard> simulated = simBoard(board);
        QVERIFY(simulated);
        SimBoard& sim = *simulated;
        serve(sim);
        for (const auto& [field, value] : {std::pair{"lineProductionCode", "4712"},
                                           {"lineEditFlashedBy", "8"},
                                           {"lineEditCustomerID", "3"}})
            w<QLineEdit>(field)->setText(value);
        w<QDateEdit>("dateProduction")->setDate(QDate(2023, 3, 16));
        w<QCheckBox>("checkBoxIncrementProductionCode")->setChecked(true);
        QSignalSpy success(fx->window, &Control_Panel::flashSuccess);
        w<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::Yes);
        serve(sim);
        QCOMPARE(eepromText(), text);
        QCOMPARE(success.count(), text == Complete ? 1 : 0);
        const auto held = [&sim](int address, int count) {
            return FrameHex::text(FrameHex::bytes(sim.eeprom().read(address, count)));
        };
        QCOMPARE(held(0x1000, 8), record);
        if (text == Complete) // the last history row and the on-time as well
            QCOMPARE(held(0x3100, 16) + " " + held(0x0000, 16),
                     FrameHex::text(QByteArray(16, char(0xFF)) + QByteArray(16, char(0))));
        // the serial number steps on after a verified run only; the labels show the board's
        QCOMPARE(w<QLineEdit>("lineProductionCode")->text(), text == Complete ? "4713" : "4712");
        QCOMPARE(w("label_ProductionCode")->text(), text == Complete ? "4712" : "4711");
    }

    // The full run writes k and d as typed in "Laser Curve Derivative" and "Laser Curve Offset"
    // (as read: to the last bit); a text that is no finite number is refused, naming its field,
    // and nothing is written. The labels show what the board holds afterwards.
    void programAll_writesTheTypedLaserLine_data() {
        QTest::addColumn<QString>("k"); // "as read": the fields as the board filled them
        QTest::addColumn<QString>("d");
        QTest::addColumn<QString>("text"); // the page's text, or part of the refusal
        QTest::addColumn<QString>("held"); // 0x0F08 afterwards, and the labels
        const QString old = "3F 1C 34 3E 00 AE 04 40 | 0.175889 2.07312";
        QTest::newRow("typed") << "0.2"
                               << " 3 " << Complete << "CD CC 4C 3E 00 00 40 40 | 0.2 3";
        QTest::newRow("as read") << "as read"
                                 << "as read" << Complete << old;
        QTest::newRow("derivative empty") << ""
                                          << "3"
                                          << "Laser Curve Derivative" << old;
        QTest::newRow("derivative infinite") << "inf"
                                             << "3"
                                             << "Laser Curve Derivative" << old;
        QTest::newRow("offset beyond a float") << "0.2"
                                               << "1e39"
                                               << "Laser Curve Offset" << old;
        QTest::newRow("offset with unit") << "0.2"
                                          << "3 mA"
                                          << "Laser Curve Offset" << old;
    }
    void programAll_writesTheTypedLaserLine() {
        QFETCH(QString, k);
        QFETCH(QString, d);
        QFETCH(QString, text);
        QFETCH(QString, held);
        const std::unique_ptr<SimBoard> sim = simBoard(QString());
        serve(*sim);
        if (k != "as read")
            w<QLineEdit>("Line_Derivative")->setText(k);
        if (d != "as read")
            w<QLineEdit>("Line_Offset")->setText(d);
        w<QPushButton>("buttonProgramAll")->click();
        answer(QMessageBox::Yes);
        serve(*sim);
        QVERIFY2(eepromText().contains(text), qPrintable(eepromText()));
        QCOMPARE(FrameHex::text(FrameHex::bytes(sim->eeprom().read(0x0F08, 8))) + " | " +
                     w("label_Derivative")->text() + " " + w("label_Offset")->text(),
                 held);
    }

    // What the operator changed on the page survives a reconnection; the rest follows the board.
    void reconnect_keepsWhatTheOperatorChanged() {
        readImage();
        fx->feed("99 04 21 00 01 33"); // the list reply shows the board's audio byte on both pages
        fx->feed(Loaders);
        QCOMPARE(w<QLineEdit>("lineAudioByteByteTab")->text(), QString("33"));
        w<QLineEdit>("lineAudioByte")->setText("5F");
        w<QLineEdit>("lineEditFlashedBy")->setText("8");
        w<QComboBox>("comboBox_selected_focus")->setCurrentIndex(1);
        fx->board->closePort();
        fx->board->openPort();
        readImage({Settings, "99 0B 10 00 08 00 01 07 D0 00 09 12 68", Focus, Loaders});
        QCOMPARE(QStringList({w<QLineEdit>("lineAudioByte")->text(),
                              w<QLineEdit>("lineEditFlashedBy")->text(),
                              w<QLineEdit>("lineProductionCode")->text()}),
                 QStringList({"5F", "8", "4712"}));
        QCOMPARE(w<QComboBox>("comboBox_selected_focus")->currentIndex(), 1);
        QCOMPARE(w<QLineEdit>("lineAudioByteByteTab")->text(), QString("33"));
    }

    void pageChoices() {
        readImage({Settings, Production, Laser});
        w<QComboBox>("comboBox_selected_baud_rate")->setCurrentIndex(1);
        QVERIFY(!w("BaudrateWarningLabel")->isHidden());
        w<QComboBox>("comboBox_selected_baud_rate")->setCurrentIndex(0);
        QVERIFY(w("BaudrateWarningLabel")->isHidden());
        // "Set to Default" puts the default line where the full run takes k and d from; the
        // labels go on showing the board's
        const auto laser = [this] {
            return QStringList{w<QLineEdit>("Line_Derivative")->text(),
                               w<QLineEdit>("Line_Offset")->text(), w("label_Derivative")->text(),
                               w("label_Offset")->text()};
        };
        w<QCheckBox>("checkBoxSetLaserToDefault")->click();
        QCOMPARE(laser(), QStringList({"0.179211", "0", "0.175889", "2.07312"}));
        QVERIFY(w<QLineEdit>("Line_Derivative")->isReadOnly());
        w<QCheckBox>("checkBoxSetLaserToDefault")->click();
        QCOMPARE(laser(), QStringList({"0.175889", "2.07312", "0.175889", "2.07312"}));
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
        QCOMPARE(int(fx->window->servoCoefficients().coefficient()), 0xC1 | 0x04);

        const auto dialog = [this] { return fx->window->findChild<Register_Dialog*>(); };
        fx->window->handleWriteToRegister();
        QPointer<Register_Dialog> first = dialog();
        first->byteFields.first()->setText("12");
        first->commandBox->setCurrentIndex(4);
        fx->window->handleWriteToRegister();
        QCOMPARE(fx->window->findChildren<Register_Dialog*>(), {first.data()});
        first->close();
        fx->window->handleWriteToRegister();
        QVERIFY(!first && dialog()->isVisible());
        QVERIFY(dialog()->byteFields.first()->text().isEmpty());
        QCOMPARE(dialog()->commandBox->currentIndex(), 0);
    }
};

QTEST_MAIN(tst_productionpages)
#include "tst_productionpages.moc"
