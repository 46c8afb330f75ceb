// The flash page of the service window with a stand-in ISP tool: what the operator sees, what
// the tool is given, and that the board link leaves the port to the tool and takes it back.
#include "cd_board.h"
#include "isprun.h"
#include "windowfixture.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <signal.h>

namespace {

const QString Failed = "Failed Flashing Firmware, ";

QStringList readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class tst_firmwarewindow : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString args() const { return dir.filePath("args"); }
    QString hex() const { return dir.filePath("new firmware/DK 61.hex"); }

    // The service window on a loopback bridge with the stand-in tool, `file` chosen, on the
    // flash page.
    static std::unique_ptr<WindowFixture> flashPage(const QString& file,
                                                    bool flashPageShown = true) {
        auto fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        fx->window->ispToolPath = FAKE_ISP_TOOL;
        fx->window->hexFileName = file;
        if (flashPageShown)
            fx->find<QTabWidget>("tabWidget")->setCurrentWidget(fx->find("tabFlash"));
        return fx;
    }
    static QString button(const WindowFixture& fx) {
        return fx.find<QPushButton>("buttonFlashFirmware")->text();
    }
    static QString label(const WindowFixture& fx) {
        return fx.find<QLabel>("labelFlashingTotal")->text();
    }
    static void start(WindowFixture& fx, bool byReturn) {
        if (byReturn)
            QTest::keyClick(fx.window, Qt::Key_Return);
        else
            fx.find<QPushButton>("buttonFlashFirmware")->click();
    }

private slots:
    void initTestCase() {
        qputenv("DK61_FAKE_ISP_ARGS", args().toUtf8());
        qputenv("DK61_FAKE_ISP_PID", dir.filePath("pid").toUtf8());
        QVERIFY(QFile::copy(FAKE_ISP_TOOL, dir.filePath("not-executable")));
        QVERIFY(QFile::setPermissions(dir.filePath("not-executable"), QFile::ReadOwner));
    }
    void init() { QFile::remove(args()); }

    // Nothing starts and the link stays as it was.
    void refused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("byReturn");
        QTest::addColumn<bool>("tool");
        QTest::addColumn<bool>("onFlashPage");
        QTest::addColumn<QString>("error"); // empty: the label keeps its text
        const QString wrong = "Error: You must select a .hex - file to flash";
        QTest::newRow("fw.HEX, button") << "fw.HEX" << false << true << true << wrong;
        QTest::newRow("fw.HEX, Return") << "fw.HEX" << true << true << true << wrong;
        QTest::newRow("no tool, Return") << "fw.hex" << true << false << true << QString();
        QTest::newRow("no tool, button") << "fw.hex" << false << false << true << QString();
        QTest::newRow("Return elsewhere") << "fw.hex" << true << true << false << QString();
    }
    void refused() {
        QFETCH(QString, file);
        QFETCH(bool, byReturn);
        QFETCH(bool, tool);
        QFETCH(bool, onFlashPage);
        QFETCH(QString, error);
        auto fx = flashPage(file, onFlashPage);
        if (!tool)
            fx->window->ispToolPath.clear();
        auto* errorLabel = fx->find<QLabel>("labelBrowserError");
        const QString before = errorLabel->text();
        start(*fx, byReturn);
        QCOMPARE(errorLabel->text(), error.isEmpty() ? before : error);
        QVERIFY(fx->board->isPortOpen());
        QCOMPARE(button(*fx), QString("Flash Firmware"));
        QTest::qWait(200);
        QVERIFY(!QFile::exists(args()));
    }

    // The run's end: its text, the button, the file stored only on success, the link back.
    void outcome_data() {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<bool>("hlb");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QStringList>("rate");
        QTest::newRow("verified, HLB-6x")
            << QByteArray("windows") << true << "Flashing Complete and Successful!" << 8
            << QStringList{"19200", "11059"};
        QTest::newRow("exit 1") << QByteArray("exit1") << false << Failed + "Error 1" << 0
                                << QStringList{"38400", "16934"};
        QTest::newRow("cannot start") << QByteArray("not-executable") << false
                                      << Failed + "cannot start" << 0 << QStringList();
    }
    void outcome() {
        QFETCH(QByteArray, mode);
        QFETCH(QString, text);
        QFETCH(QStringList, rate);
        qputenv("DK61_FAKE_ISP_MODE", mode);
        auto fx = flashPage(hex());
        if (mode == "not-executable")
            fx->window->ispToolPath = dir.filePath("not-executable");
        QFETCH(bool, hlb);
        fx->find<QRadioButton>(hlb ? "rBHLB6x" : "rBDK6x")->setChecked(true);
        const QString port = fx->bridgePaths.at(0);
        start(*fx, false);
        QVERIFY(!fx->board->isPortOpen());
        QCOMPARE(button(*fx), QString("Abort"));
        fx->mark();
        QTRY_COMPARE(button(*fx), QString("Flash Firmware"));
        QVERIFY2(label(*fx).startsWith(text), qPrintable(label(*fx)));
        QTEST(fx->find<QProgressBar>("progressBarFlashingTotal")->value(), "bar");
        QCOMPARE(fx->window->settings->value("hexFilename").toString(),
                 text.startsWith(Failed) ? QString() : hex());
        QVERIFY(fx->board->isPortOpen());
        QVERIFY(fx->since().contains("A1"));
        if (!rate.isEmpty())
            QCOMPARE(readLines(args()), QStringList({"-wipe", "-verify", hex(), port}) + rate);
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
        auto fx = flashPage(hex());
        start(*fx, false);
        QTRY_COMPARE(label(*fx), QString("Writing Sector 1"));
        const int pid = readLines(dir.filePath("pid")).value(0).toInt();
        // The watchdogs rest; a port error, Connect and Return start nothing.
        QVERIFY(!fx->window->fwTimer.isActive() && !fx->window->evLoaderOkTimer.isActive());
        emit fx->board->transmission_error();
        QVERIFY(!fx->board->isPortOpen());
        fx->window->connectButton->click();
        start(*fx, true);
        QTest::qWait(300);
        QVERIFY(!fx->board->isPortOpen() && !fx->window->linkRetryTimer.isActive());
        QCOMPARE(readLines(dir.filePath("pid")).value(0).toInt(), pid);
        if (closeWindow) {
            fx.reset();
        } else {
            start(*fx, false);
            QVERIFY2(label(*fx).startsWith(Failed + "Error "), qPrintable(label(*fx)));
            QCOMPARE(button(*fx), QString("Flash Firmware"));
            QVERIFY(fx->board->isPortOpen());
        }
        QCOMPARE(::kill(pid, 0), -1); // gone, and reaped
    }
};

QTEST_MAIN(tst_firmwarewindow)
#include "tst_firmwarewindow.moc"
