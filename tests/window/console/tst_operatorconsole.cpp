// The operator's commands in the service build: test buttons, the play-mode menu, the player
// panel's toggles and the disc identifier, on a loopback adapter.
#include "cd_board.h"
#include "console/playerpanel.h"
#include "framehex.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

class tst_operatorconsole : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    template <typename T> T* w(const QString& name) { return fx->find<T>(name); }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
        fx->feed("A3 01 05"); // the board answers: no watchdog during the test
        fx->mark();
    }
    void cleanup() { fx.reset(); }

    void testButton_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed"); // into its parameter line; "-": the form's text
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("warning");
        const QString odd = "You must enter an even amount of characters";
        QTest::newRow("Set Track XY") << "SetTrackXY"
                                      << "-" << QStringList{"1B 03 00 01 FF"} << "";
        QTest::newRow("Cmd Decoder") << "CmdDecoder"
                                     << "-" << QStringList{"66 01 01 01"} << "";
        QTest::newRow("Audio Mute: count 01") << "AudioMute"
                                              << "-" << QStringList{"43 01 00 00"} << "";
        QTest::newRow("Play 7") << "Play"
                                << "7" << QStringList{} << odd;
        QTest::newRow("Play 07") << "Play"
                                 << " 07 " << QStringList{"11 01 07"} << "";
        QTest::newRow("Play, empty") << "Play"
                                     << "" << QStringList{"11 01"} << "";
        QTest::newRow("tray calibration Open") << "TrayOpen_2"
                                               << "-" << QStringList{"31 01 FF"} << "";
    }
    void testButton() {
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QStringList, sent);
        QFETCH(QString, warning);
        w<QPushButton>("btnTestfunctions")->click();
        QVERIFY(!w<QGroupBox>("groupBoxTest")->isHidden());
        if (typed != "-")
            w<QLineEdit>("txtInput" + button)->setText(typed);
        w<QPushButton>("btnClick" + button)->click();
        QCOMPARE(fx->since(), sent);
        QCOMPARE(w<QLabel>("CustomInputWarningLabel")->text(), warning);
        if (!sent.isEmpty()) // and out on the line
            QTRY_VERIFY(fx->device()->written.endsWith(FrameHex::bytes(sent.last())));
    }

    void playModeMenu_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("playInit");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("Repeat Track, PlayInit")
            << "Repeat Track" << true << QStringList{"21 00", "11 01 07"};
        QTest::newRow("Shuffle All") << "Shuffle All" << false << QStringList{"11 01 01"};
    }
    void playModeMenu() {
        QFETCH(QString, mode);
        QFETCH(bool, playInit);
        QFETCH(QStringList, sent);
        if (playInit)
            w<QCheckBox>("checkBoxPlayInit")->click();
        for (QAction* action : w<QPushButton>("ExpertButtonPlay")->menu()->actions())
            if (action->text() == mode)
                action->trigger();
        QCOMPARE(fx->since(), sent);
    }

    void playButton_togglesPlayAndPause() {
        w<QPushButton>("Button_Play")->click();
        QCOMPARE(fx->since(), QStringList{"11 01 00"});
        QCOMPARE(w<QPushButton>("Button_Play_2")->text(), QString("Pause"));
        w<QPushButton>("Button_Play_2")->click();
        QCOMPARE(fx->since(), (QStringList{"11 01 00", "13 00"}));
        QCOMPARE(w<QPushButton>("Button_Play")->text(), QString("Play"));
    }

    // With the tray state unknown the tray is opened and looked at again 400 ms later.
    void openClose_followsTheTray_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("then open") << "B1 00" << QStringList{"31 01 01", "32 01 01"};
        QTest::newRow("still moving") << "" << QStringList{"31 01 01"};
    }
    void openClose_followsTheTray() {
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, sent);
        w<QPushButton>("Button_Open_Close")->click();
        fx->feed(meanwhile);
        QTRY_VERIFY(!fx->window->player().trayTimer().isActive());
        QCOMPARE(fx->since(), sent);
    }

    void discId_isShownSigned() {
        fx->feed("C5 04 FF FF FF FE");
        QCOMPARE(w<QLabel>("labelDiscID")->text(), QString("Disc ID: -2"));
    }
};

QTEST_MAIN(tst_operatorconsole)
#include "tst_operatorconsole.moc"
