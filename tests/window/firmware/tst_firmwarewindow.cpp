// The flash page of the service window with a stand-in ISP tool: what the operator sees, what
// the tool is given, and that the board link leaves the port to the tool and takes it back.
#include "cd_board.h"
#include "firmware/flashpage.h"
#include "firmware/isprun.h"
#include "windowfixture.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include <signal.h>

class tst_firmwarewindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    const QString hex = dir.filePath("new firmware/DK 61.hex");
    const QString failed = "Failed Flashing Firmware, ";
    std::unique_ptr<WindowFixture> fx;
    QPushButton* button = nullptr;
    QLabel* label = nullptr;

    QStringList lines(const QString& name) const {
        QFile file(dir.filePath(name));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    void press(bool byReturn) {
        byReturn ? QTest::keyClick(fx->window, Qt::Key_Return) : button->click();
    }
    // Whether the process still runs (an orphan left a zombie, waiting for a reaper, does not).
    static bool running(const QString& pid) {
        QFile stat("/proc/" + pid + "/stat");
        return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
    }

private slots:
    void initTestCase() {
        qputenv("DK61_FAKE_ISP_ARGS", dir.filePath("args").toUtf8());
        qputenv("DK61_FAKE_ISP_PID", dir.filePath("pid").toUtf8());
        QVERIFY(QFile::copy(FAKE_ISP_TOOL, dir.filePath("not-executable")));
        QVERIFY(QFile::setPermissions(dir.filePath("not-executable"), QFile::ReadOwner));
        QVERIFY(QDir().mkpath(QFileInfo(hex).path()));
        QFile file(hex);
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(":10000000000102030405060708090A0B0C0D0E0F78\n:00000001FF\n") > 0);
    }
    // The service window on a loopback bridge, the stand-in tool found, a file chosen, the
    // flash page shown.
    void init() {
        QFile::remove(dir.filePath("args"));
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        fx->window->firmwarePage().setToolPath(FAKE_ISP_TOOL);
        fx->window->firmwarePage().setHexFile(hex);
        fx->find<QTabWidget>("tabWidget")->setCurrentWidget(fx->find("tabFlash"));
        button = fx->find<QPushButton>("buttonFlashFirmware");
        label = fx->find<QLabel>("labelFlashingTotal");
    }
    void cleanup() { fx.reset(); }

    // Nothing starts and the link stays as it was.
    void refused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("byReturn");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("error"); // empty: the label keeps its text
        const QString wrong = "Error: You must select a .hex - file to flash";
        QTest::newRow("fw.HEX") << "fw.HEX" << false << FAKE_ISP_TOOL << "tabFlash" << wrong;
        QTest::newRow("fw.HEX, Return") << "fw.HEX" << true << FAKE_ISP_TOOL << "tabFlash" << wrong;
        QTest::newRow("no tool") << "fw.hex" << false << ""
                                 << "tabFlash"
                                 << "";
        QTest::newRow("no tool, Return") << "fw.hex" << true << ""
                                         << "tabFlash"
                                         << "";
        QTest::newRow("Return elsewhere") << "fw.hex" << true << FAKE_ISP_TOOL << "tabFlags"
                                          << "";
    }
    void refused() {
        QFETCH(QString, error);
        QFETCH(QString, file);
        QFETCH(QString, page);
        fx->window->firmwarePage().setHexFile(file);
        QFETCH(QString, tool);
        fx->window->firmwarePage().setToolPath(tool);
        fx->find<QTabWidget>("tabWidget")->setCurrentWidget(fx->find(page));
        auto* errorLabel = fx->find<QLabel>("labelBrowserError");
        const QString before = errorLabel->text();
        QFETCH(bool, byReturn);
        press(byReturn);
        QCOMPARE(errorLabel->text(), error.isEmpty() ? before : error);
        QVERIFY(fx->board->isPortOpen());
        QCOMPARE(button->text(), QString("Flash Firmware"));
        // a run starts the tool at once, or never
        QVERIFY(!fx->window->firmwarePage().running());
        QVERIFY(!QFile::exists(dir.filePath("args")));
    }

    // The run's end: its text, the button, the file stored only on success, the link back.
    void outcome_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QStringList>("rate");
        QTest::newRow("verified, HLB-6x")
            << QByteArray("windows") << "Flashing Complete and Successful!" << 8
            << QStringList{"19200", "11059"};
        QTest::newRow("exit 1") << QByteArray("exit1") << failed + "Error 1" << 0
                                << QStringList{"38400", "16934"};
        QTest::newRow("cannot start")
            << QByteArray("not-executable") << failed + "cannot start" << 0 << QStringList();
        QTest::newRow("verified, then silent")
            << QByteArray("silent") << failed + "the flash tool printed nothing for 0.5 s" << 0
            << QStringList{"38400", "16934"};
    }
    void outcome() {
        QFETCH(QByteArray, mode);
        QFETCH(QString, text);
        QFETCH(QStringList, rate);
        qputenv("DK61_FAKE_ISP_MODE", mode);
        if (mode == "not-executable")
            fx->window->firmwarePage().setToolPath(dir.filePath(mode));
        if (mode == "silent") // the tool's silence ends the run sooner than in the field
            fx->window->firmwarePage().run().setSilenceLimit(500);
        fx->find<QRadioButton>(rate.contains("19200") ? "rBHLB6x" : "rBDK6x")->setChecked(true);
        press(false);
        QVERIFY(!fx->board->isPortOpen());
        QCOMPARE(button->text(), QString("Abort"));
        fx->mark();
        QTRY_COMPARE(button->text(), QString("Flash Firmware"));
        QVERIFY2(label->text().startsWith(text), qPrintable(label->text()));
        QTEST(fx->find<QProgressBar>("progressBarFlashingTotal")->value(), "bar");
        QCOMPARE(QSettings().value("hexFilename").toString(),
                 text.startsWith(failed) ? QString() : hex);
        QVERIFY(fx->board->isPortOpen() && fx->since().contains("A1"));
        if (!rate.isEmpty()) // the path with its blanks is one argument
            QCOMPARE(lines("args"),
                     QStringList({"-wipe", "-verify", hex, fx->bridgePaths.at(0)}) + rate);
    }

    // A tool that hangs: nothing of ours touches the port until Abort, or the window closes.
    void hanging_data() {
        QTest::addColumn<bool>("closeWindow");
        QTest::newRow("Abort") << false;
        QTest::newRow("window closed") << true;
    }
    void hanging() {
        QFETCH(bool, closeWindow);
        qputenv("DK61_FAKE_ISP_MODE", "hang");
        press(false);
        QTRY_COMPARE(label->text(), QString("Writing Sector 1"));
        const QStringList pids = lines("pid");
        QVERIFY(!fx->window->boardSupervisor().answerWatchdog.isActive() &&
                !fx->window->boardSupervisor().loaderWatchdog.isActive());
        fx->board->trans_error(
            QSerialPort::ResourceError); // the port reports while the tool has it
        QVERIFY(!fx->board->isPortOpen());
        fx->find<QPushButton>("connectButton")->click();
        press(true);
        QTest::qWait(300);
        QVERIFY(!fx->board->isPortOpen() && !fx->window->boardSupervisor().retryTimer.isActive());
        QCOMPARE(lines("pid"), pids);
        if (closeWindow) {
            fx.reset();
        } else {
            press(false);
            QCOMPARE(label->text(), QString("Flashing Firmware aborted by the operator"));
            QCOMPARE(button->text(), QString("Flash Firmware"));
            QVERIFY(fx->board->isPortOpen());
        }
        QCOMPARE(::kill(pids.at(0).toInt(), 0), -1); // gone, and reaped
        QTRY_VERIFY(!running(pids.at(1)));           // what it started, too
    }

    // The tool's output on the page, "show data" unticked: this run's lines only, without
    // carriage returns, long ones broken, the last few thousand of a flood.
    void toolOutput_data() {
        QTest::addColumn<int>("lines"); // rows: the stand-in's modes
        QTest::newRow("windows") << 6;
        QTest::newRow("flood") << IspRun::ShownLines;
    }
    void toolOutput() {
        qputenv("DK61_FAKE_ISP_MODE", QTest::currentDataTag());
        for (int run = 0; run < 2; ++run) {
            press(false);
            QTRY_COMPARE(button->text(), QString("Flash Firmware"));
        }
        const QStringList shown =
            fx->find<QTextBrowser>("flashTextBrowser")->toPlainText().split('\n');
        QTEST(shown.size(), "lines");
        QCOMPARE(shown.at(shown.size() - 2),
                 QString("Download Finished and Verified correct... taking 1 seconds"));
        for (const QString& line : shown)
            QVERIFY(line.size() <= IspRun::ShownLineLength && !line.contains('\r'));
    }
};

QTEST_MAIN(tst_firmwarewindow)
#include "tst_firmwarewindow.moc"
