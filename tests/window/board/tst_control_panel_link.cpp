#include "board/serial_selector.h"
#include "cd_board.h"
#include "dk61version.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "ptypair.h"
#include "windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Answers every modal window that comes up (message boxes, the adapter dialog) with `answer`,
// which may also leave it alone by returning false.
class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<bool(QWidget*)> answer) : answer(std::move(answer)) {
        connect(&poll, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != last && this->answer(modal))
                last = modal;
        });
        poll.start(10);
    }

private:
    std::function<bool(QWidget*)> answer;
    QPointer<QWidget> last;
    QTimer poll;
};

struct BoxSeen {
    int count = 0;
    QString text;
    QString informative;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Records a message box and presses `press` on it (NoButton: closes it otherwise).
std::function<bool(QWidget*)> pressOnBox(BoxSeen& seen, QMessageBox::StandardButton press,
                                         std::function<void()> before = {}) {
    return [&seen, press, before](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        ++seen.count;
        seen.text = box->text();
        seen.informative = box->informativeText();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        seen.icon = box->icon();
        if (before)
            before();
        if (press == QMessageBox::NoButton)
            box->reject();
        else
            box->button(press)->click();
        return true;
    };
}

const QString Program = QStringLiteral("PC-Tool v" DK61_VERSION);

} // namespace

class tst_control_panel_link : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;
    QString link; // the first bridge

    // The window on the fixture's bridges, its links retrying every 20 ms.
    Control_Panel* makeWindow() {
        fx->start();
        const LinkSupervisor::Intervals fast{400, 2400, 400, 20};
        fx->window->boardSupervisor().setIntervals(fast);
        fx->window->flagSupervisor().setIntervals(fast);
        return fx->window;
    }
    void useBridges(int count) {
        fx.reset();
        fx = std::make_unique<WindowFixture>(count);
        link = fx->bridgePaths.at(0);
    }

    static void pointLink(const QString& linkPath, const QString& target) {
        QFile::remove(linkPath);
        QVERIFY(QFile::link(target, linkPath));
    }

    // Collects what the tool sends on `p` until it contains `bytes`.
    static bool receives(PtyPair& p, const QByteArray& bytes, int timeoutMs) {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            got += p.readAtLeast(1, 20);
            if (got.contains(bytes))
                return true;
        }
        return false;
    }
    // Whether the tool opens the first bridge and sends `bytes` there (after what it still had
    // queued) within a second or two.
    bool receives(const QByteArray& bytes) {
        if (!QTest::qWaitFor([this] { return fx->device() != nullptr; }, 1000))
            return false;
        return QTest::qWaitFor([&] { return fx->device()->written.contains(bytes); }, 1000) &&
               fx->device()->takeWritten().contains(bytes);
    }

    static void quietWatchdogs(Control_Panel& w) {
        w.boardSupervisor().answerWatchdog.stop();
        w.boardSupervisor().loaderWatchdog.stop();
    }
    // The firmware watchdog runs out while the board is silent: it reports the board missing
    // and opens the link anew.
    static void boardFoundMissing(Control_Panel& w) {
        w.fw_timer_interrupt();
        QVERIFY(w.cdBoard()->state().link.noBoard);
        quietWatchdogs(w);
    }
    // Waits for `count` ticks of the board link's search for its adapter.
    static void waitForRetries(Control_Panel& w, int count) {
        QSignalSpy ticks(&w.boardSupervisor().retryTimer, &QTimer::timeout);
        while (ticks.count() < count)
            QVERIFY(ticks.wait(1000));
    }

private slots:
    void init() { useBridges(1); }
    void cleanup() { fx.reset(); }

    void startup_oneBridge_opensAndAsksForIdentification() {
        auto w = makeWindow();
        QVERIFY(w->cdBoard()->isPortOpen());
        QCOMPARE(w->cdBoard()->link().portName(), link);
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(),
                 "Connected to " + link + " at 128000 Baud");
        QCOMPARE(formWidget<QPushButton>(w, "connectButton")->text(), QString("Disconnect"));
        QCOMPARE(formWidget<QPushButton>(w, "connect_disconnect")->text(), QString("Disconnect"));
        QVERIFY(receives(QByteArray::fromHex("A1")));
        QVERIFY(w->boardSupervisor().answerWatchdog.isActive());
        QCOMPARE(w->boardSupervisor().answerWatchdog.interval(), 2400);
        QVERIFY(w->boardSupervisor().loaderWatchdog.isActive());
        QCOMPARE(w->boardSupervisor().loaderWatchdog.interval(), 400);
        QCOMPARE(w->findChild<Serial_Info*>()->desiredCount(), 1);
    }

    // No usable bridge at start-up: the box, its texts and its three ways out.
    void startup_noUsableBridge_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("press");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("aborting");
        const QString none = Program + " could not detect a UART-Bridge";
        // a bridge another program holds is no missing bridge
        const QString busy =
            Program + " could detect a UART-Bridge, but it is being used by another Program";
        QTest::newRow("none, abort") << false << int(QMessageBox::Abort) << none << false << true;
        QTest::newRow("none, closed")
            << false << int(QMessageBox::NoButton) << none << false << false;
        QTest::newRow("none, retry after plugging in")
            << false << int(QMessageBox::Retry) << none << true << false;
        QTest::newRow("busy, retry after release")
            << true << int(QMessageBox::Retry) << busy << true << false;
        QTest::newRow("busy, abort") << true << int(QMessageBox::Abort) << busy << false << true;
    }
    void startup_noUsableBridge() {
        QFETCH(bool, present);
        QFETCH(int, press);
        QFETCH(QString, text);
        QFETCH(bool, connected);
        QFETCH(bool, aborting);
        auto holder = std::make_unique<SerialLink>(fx->ports());
        holder->setPortName(link);
        if (present)
            QVERIFY(holder->open()); // another link holds the bridge
        else
            fx->unplug();
        BoxSeen seen;
        // Before Retry is pressed the bridge becomes usable.
        ModalAnswerer answerer(pressOnBox(seen, QMessageBox::StandardButton(press), [&] {
            if (press != QMessageBox::Retry)
                return;
            holder.reset();
            fx->plugIn();
        }));
        auto w = makeWindow();
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.informative, QString(present ? "" : "Could not detect a UART-Bridge! ") +
                                       "Do you want to retry or abort?");
        QCOMPARE(seen.buttons, QMessageBox::Retry | QMessageBox::Abort);
        QCOMPARE(seen.defaultButton, QMessageBox::Retry);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(w->cdBoard()->isPortOpen(), connected);
        QCOMPARE(w->quitTimer().isActive(), aborting);
        w->quitTimer().stop();
        QVERIFY(!w->portQuestion());
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(),
                 connected ? "Connected to " + link + " at 128000 Baud" : QString("Not Connected"));
        if (!connected)
            return;
        QVERIFY(receives(QByteArray::fromHex("A1")));
        // The error connection is back after the Retry: the port error that closes the link
        // starts a new search at once.
        QSignalSpy closed(w->cdBoard(), &CD_Board::disconnected_from_serial_port);
        QSignalSpy reopened(w->cdBoard(), &CD_Board::connected_to_serial_port);
        fx->device()->reportError(QSerialPort::ResourceError);
        QVERIFY(closed.wait(1000));
        QCOMPARE(reopened.count(), 1);
        QVERIFY(w->cdBoard()->isPortOpen());
    }

    // The loader answering while the box is up takes the box away.
    void loaderAnswer_removesPortBox() {
        fx->unplug();
        int boxes = 0;
        bool published = false;
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return false;
            ++boxes;
            auto* panel = qobject_cast<Control_Panel*>(box->parentWidget());
            published = panel->portQuestion() == box;
            emit panel->cdBoard()->recieved_ev_loader_ok();
            return true;
        });
        auto w = makeWindow();
        QCOMPARE(boxes, 1);
        QVERIFY(published);
        QVERIFY(!w->portQuestion());
        QVERIFY(!w->boardSupervisor().loaderWatchdog.isActive());
        QVERIFY(!w->quitTimer().isActive());
        QTRY_VERIFY(w->findChildren<QMessageBox*>().isEmpty());
    }

    // While the box is up the loader poll does not run its slot.
    void noBridgeBox_detachesLoaderPoll() {
        fx->unplug();
        bool pollRanDuringBox = false;
        Control_Panel* w = nullptr;
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return false;
            auto* panel = qobject_cast<Control_Panel*>(box->parentWidget());
            QTimer& poll = panel->boardSupervisor().loaderWatchdog;
            QSignalSpy ticked(&poll, &QTimer::timeout);
            poll.start(1);
            // the poll's slot stops it: it is still running after a tick
            pollRanDuringBox = !ticked.wait(1000) || !poll.isActive();
            box->reject();
            return true;
        });
        w = makeWindow();
        QVERIFY(!pollRanDuringBox);
        QVERIFY(w->boardSupervisor().loaderWatchdog.isActive());
        QTRY_VERIFY(
            !w->boardSupervisor().loaderWatchdog.isActive()); // the slot runs again afterwards
    }

    // After the firmware watchdog found no board nobody is asked, unless they asked to connect.
    void noBoard_suppressesBox_data() {
        QTest::addColumn<bool>("userConnect");
        QTest::addColumn<int>("boxes");
        QTest::newRow("watchdog") << false << 0;
        QTest::newRow("operator asked") << true << 1;
    }
    void noBoard_suppressesBox() {
        QFETCH(bool, userConnect);
        QFETCH(int, boxes);
        auto w = makeWindow();
        quietWatchdogs(*w);
        BoxSeen seen;
        ModalAnswerer answerer(pressOnBox(seen, QMessageBox::NoButton));
        boardFoundMissing(*w);
        // The adapter goes: the search that follows finds none.
        fx->unplug();
        QTRY_VERIFY(!w->cdBoard()->isPortOpen());
        QCOMPARE(seen.count, 0);
        if (userConnect)
            formWidget<QPushButton>(w, "connectButton")->click();
        QCOMPARE(w->cdBoard()->state().link.userConnect, userConnect);
        QCOMPARE(seen.count, boxes);
        QVERIFY(!w->cdBoard()->isPortOpen());
    }

    // A real adapter (a pseudo-terminal whose node goes with it) is unplugged mid-measurement: the
    // link closes, the box comes up; plugged back in, it resumes by itself. (What the process
    // spends while the box is up is a benchmark's figure.)
    void unplug_withBox_resumesWhenPluggedBackIn() {
        PtyPair pty;
        QTemporaryDir dir;
        link = dir.filePath("board");
        pointLink(link, pty.slavePath());
        fx->ports().setVirtualPaths({link});
        auto w = makeWindow();
        QVERIFY(receives(pty, QByteArray::fromHex("A1"), 1000));
        quietWatchdogs(*w);
        w->boardSupervisor().setIntervals({400, 2400, 400, 100});
        w->showStatusBar(StatusWording::flagStatus(0, true));

        std::unique_ptr<PtyPair> replugged;
        bool closedWithinSecond = false;
        QString labelAfterSecond;
        QString boardLabelAfterSecond;
        bool boxUp = false;
        QString boxText;
        QTimer::singleShot(300, w, [&] {
            closedWithinSecond = !w->cdBoard()->isPortOpen();
            labelAfterSecond = formWidget<QLabel>(w, "connectionLabel")->text();
            boardLabelAfterSecond = formWidget<QLabel>(w, "boardLabel")->text();
        });
        QTimer::singleShot(600, w, [&] {
            boxUp = w->portQuestion() && w->portQuestion()->isVisible();
            boxText = w->portQuestion() ? w->portQuestion()->text() : QString();
            replugged = std::make_unique<PtyPair>();
            pointLink(link, replugged->slavePath());
        });
        pty.closeMaster();
        QFile::remove(link);
        QTRY_VERIFY_WITH_TIMEOUT(replugged != nullptr, 5000);
        QVERIFY(closedWithinSecond);
        QCOMPARE(labelAfterSecond, QString("Not Connected"));
        QCOMPARE(boardLabelAfterSecond, QString("  BOARD: no connection  "));
        QVERIFY(boxUp);
        QCOMPARE(boxText, Program + " could not detect a UART-Bridge");

        QVERIFY(receives(*replugged, QByteArray::fromHex("A1"), 3000));
        QVERIFY(w->cdBoard()->isPortOpen());
        QVERIFY(!w->portQuestion());
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(),
                 "Connected to " + link + " at 128000 Baud");
        QVERIFY(!w->cdBoard()->link().isLost());
        QTRY_VERIFY(!w->boardSupervisor().retryTimer.isActive());
    }

    void unplug_withoutBox_resumesWhenPluggedBackIn() {
        auto w = makeWindow();
        QVERIFY(receives(QByteArray::fromHex("A1")));
        quietWatchdogs(*w);
        boardFoundMissing(*w); // nobody is asked from now on
        BoxSeen seen;
        ModalAnswerer answerer(pressOnBox(seen, QMessageBox::NoButton));
        fx->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!w->cdBoard()->isPortOpen(), 1000);
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(), QString("Not Connected"));
        waitForRetries(*w, 3);
        QCOMPARE(seen.count, 0);
        QVERIFY(w->boardSupervisor().retryTimer.isActive());

        fx->plugIn();
        QVERIFY(receives(QByteArray::fromHex("A1")));
        QVERIFY(w->cdBoard()->isPortOpen());
    }

    // A flash that failed because the board went away: the box waits only until the adapter is
    // back, then the link comes back by itself.
    void flashEnded_adapterBack_linkComesBack() {
        auto w = makeWindow();
        quietWatchdogs(*w);
        w->cdBoard()->closePort(); // the ISP tool had the port
        fx->unplug();
        int boxes = 0;
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
                return false;
            ++boxes;
            fx->plugIn();
            QTimer::singleShot(2000, box, &QMessageBox::reject);
            return true;
        });
        w->flashFirmwareFinished(false);
        QCOMPARE(boxes, 1);
        QVERIFY(w->cdBoard()->isPortOpen());
        QVERIFY(!w->portQuestion());
        QVERIFY(receives(QByteArray::fromHex("A1")));
    }

    // A reconnection that cannot open the port leaves the tool running, unconnected, and tries
    // again at most once per retry interval.
    void failingReconnect_staysUpAndRetriesOncePerInterval() {
        auto w = makeWindow();
        quietWatchdogs(*w);
        QSignalSpy attempts(w->cdBoard(), &CD_Board::connected_to_serial_port);
        fx->refuseOpens(true);
        fx->device()->reportError(QSerialPort::ResourceError);
        QTRY_VERIFY_WITH_TIMEOUT(!w->cdBoard()->isPortOpen(), 1000);
        const int failed = attempts.count();
        // a port error of the closed link: a start not asked for waits for the retry
        w->cdBoard()->trans_error(QSerialPort::ParityError);
        QCOMPARE(attempts.count(), failed);

        // A quit request would end this loop early.
        QEventLoop loop;
        QElapsedTimer wall;
        wall.start();
        bool ranOut = false;
        QTimer::singleShot(200, &loop, [&] {
            ranOut = true;
            loop.quit();
        });
        loop.exec();
        QVERIFY2(ranOut, "the application was asked to quit");
        QVERIFY(!w->cdBoard()->isPortOpen());
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(), QString("Not Connected"));
        // one attempt at the port error, then one per interval
        QVERIFY2(attempts.count() >= 2 && attempts.count() <= 2 + wall.elapsed() / 20,
                 qPrintable(QString::number(attempts.count())));

        fx->refuseOpens(false);
        QVERIFY(receives(QByteArray::fromHex("A1")));
    }

    // Two free bridges: the operator picks the board's; the flag board link then takes the other
    // silently, and a later reconnect of the board reuses the choice without asking.
    void twoBridges_choiceThenOtherLinkThenRemembered() {
        useBridges(2);
        const QString flags = fx->bridgePaths.at(1);
        QStringList offered;
        int dialogs = 0;
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* dialog = qobject_cast<Serial_Selector*>(modal);
            if (!dialog)
                return false;
            ++dialogs;
            offered.clear();
            for (int i = 0; i < dialog->comboBox->count(); ++i)
                offered.append(dialog->comboBox->itemText(i));
            dialog->comboBox->setCurrentIndex(offered.indexOf(flags));
            dialog->pushButton->click();
            return true;
        });
        auto w = makeWindow();
        quietWatchdogs(*w);
        QCOMPARE(dialogs, 1);
        QVERIFY(offered.contains(link) && offered.contains(flags));
        QCOMPARE(w->cdBoard()->link().portName(), flags);
        QVERIFY(w->cdBoard()->isPortOpen());

        QSignalSpy otherUp(w->cdBoard(), &CD_Board::connected_to_serial_port_other);
        w->handleConnectDisconnectOther();
        QCOMPARE(dialogs, 1);
        QCOMPARE(otherUp.count(), 1);
        QVERIFY(w->cdBoard()->isOtherPortOpen());
        QCOMPARE(w->cdBoard()->link(CD_Board::Link::Other).portName(), link);

        // flag board frames arrive on the other link; nothing is sent there
        QVERIFY(fx->device(0)->inject(QByteArray::fromHex("A000")));
        QCOMPARE(w->cdBoard()->journal().received().size(), qint64(1));
        QVERIFY(fx->device(0)->written.isEmpty());

        w->handleConnectDisconnectOther();
        QVERIFY(!w->cdBoard()->isOtherPortOpen());
        w->handleConnectDisconnect(); // close
        QVERIFY(!w->cdBoard()->isPortOpen());
        w->handleConnectDisconnect(); // both free again: the remembered one, silently
        QCOMPARE(dialogs, 1);
        QCOMPARE(w->cdBoard()->link().portName(), flags);
        QVERIFY(w->cdBoard()->isPortOpen());
    }

    // Both links lost their adapters and one comes back: the board link takes it, even when the
    // flag board link looks first.
    void bothLost_boardLinkFirst() {
        useBridges(2);
        fx->unplug(1);
        auto w = makeWindow();
        quietWatchdogs(*w);
        fx->plugIn(1);
        w->startup_other();
        w->flagSupervisor().askOperator = nullptr; // no box
        boardFoundMissing(*w);
        fx->unplug(0);
        fx->unplug(1);
        QTRY_VERIFY(!w->cdBoard()->isPortOpen() && !w->cdBoard()->isOtherPortOpen());
        fx->plugIn(1);
        w->flagSupervisor().retry();
        QVERIFY(!w->cdBoard()->isOtherPortOpen());
        w->boardSupervisor().retry();
        QCOMPARE(w->cdBoard()->link().portName(), fx->bridgePaths.at(1));
        QVERIFY(w->cdBoard()->isPortOpen());
    }

    void otherLink_noFreeBridge_box_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << false << Program + " could not detect a UART-Bridge";
        QTest::newRow("busy") << true
                              << Program + " could detect a UART-Bridge, but it is being "
                                           "used by another Program";
    }
    void otherLink_noFreeBridge_box() {
        QFETCH(bool, present);
        QFETCH(QString, text);
        auto w = makeWindow(); // holds the only bridge
        quietWatchdogs(*w);
        if (!present) {
            w->handleConnectDisconnect();
            fx->unplug();
        }
        BoxSeen seen;
        ModalAnswerer answerer(pressOnBox(seen, QMessageBox::Abort));
        w->startup_other();
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.informative, QString("Do you want to retry or abort?"));
        QCOMPARE(seen.buttons, QMessageBox::Retry | QMessageBox::Abort);
        QCOMPARE(seen.defaultButton, QMessageBox::Retry);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QVERIFY(!w->quitTimer().isActive()); // Abort leaves the program up
        QVERIFY(!w->cdBoard()->isOtherPortOpen());
    }

    void connectToggle_closesAndReopens() {
        auto w = makeWindow();
        QVERIFY(receives(QByteArray::fromHex("A1")));
        quietWatchdogs(*w);
        // The board named itself and its loader; a flag record said all is well.
        fx->feed("A3 01 3C BD 01 81 C6 0C 00 10 00 01 00 02 00 03 00 04 01 05");
        QVERIFY(w->cdBoard()->state().link.has_FW_Version);
        QVERIFY(w->cdBoard()->state().loader.loader_type_known);
        QCOMPARE(formWidget<QLabel>(w, "boardLabel")->text(), QString("  BOARD: OK  "));
        QSignalSpy down(w->cdBoard(), &CD_Board::disconnected_from_serial_port);

        formWidget<QPushButton>(w, "connectButton")->click();
        QVERIFY(!w->cdBoard()->isPortOpen());
        QCOMPARE(down.count(), 1);
        QVERIFY(w->cdBoard()->state().link.userDisconnect);
        QVERIFY(!w->cdBoard()->state().link.has_FW_Version);
        QVERIFY(!w->cdBoard()->state().loader.loader_type_known);
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(), QString("Not Connected"));
        QCOMPARE(formWidget<QPushButton>(w, "connectButton")->text(), QString("Connect"));
        QCOMPARE(formWidget<QPushButton>(w, "connect_disconnect")->text(), QString("Connect"));
        QCOMPARE(linkStates(w), NoLinkStates);
        // closed by the operator: no search of its own, and no error either
        const QString closed = "Disconnected: the link was closed by the operator.";
        QCOMPARE(formWidget<QLabel>(w, "status_description_spdif_label")->text(), closed);
        w->fw_timer_interrupt();
        QCOMPARE(formWidget<QLabel>(w, "status_description_spdif_label")->text(), closed);
        QVERIFY(formWidget<QLabel>(w, "status_description_spdif_label")->styleSheet() !=
                StatusWording::styleSheet(StatusWording::Colour::Red));
        // nor does the search for a lost adapter take it up
        QVERIFY(!w->boardSupervisor().retryTimer.isActive());
        w->boardSupervisor().retry();
        QVERIFY(!w->cdBoard()->isPortOpen());

        formWidget<QPushButton>(w, "connectButton")->click();
        QVERIFY(w->cdBoard()->state().link.userConnect);
        QVERIFY(!w->cdBoard()->state().link.userDisconnect);
        QVERIFY(w->cdBoard()->isPortOpen());
        QVERIFY(receives(QByteArray::fromHex("A1")));
        QCOMPARE(w->boardSupervisor().answerWatchdog.interval(), 2400);
    }

    void resetBaudrate_withAndWithoutReconnect() {
        useBridges(2);
        const QString flags = fx->bridgePaths.at(1);
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* dialog = qobject_cast<Serial_Selector*>(modal);
            if (!dialog)
                return false;
            dialog->comboBox->setCurrentIndex(dialog->comboBox->findText(link));
            dialog->pushButton->click();
            return true;
        });
        auto w = makeWindow();
        quietWatchdogs(*w);
        w->startup_other();
        QVERIFY(w->cdBoard()->isPortOpen() && w->cdBoard()->isOtherPortOpen());

        w->resetBaudrate(115200, false);
        QCOMPARE(w->cdBoard()->link().baudRate(), 115200);
        QCOMPARE(w->cdBoard()->link(CD_Board::Link::Other).baudRate(), 115200);
        QCOMPARE(w->cdBoard()->baudRate(), 128000);

        w->resetBaudrate(115200, true);
        QCOMPARE(w->cdBoard()->baudRate(), 115200);
        QVERIFY(w->cdBoard()->isPortOpen() && w->cdBoard()->isOtherPortOpen());
        QCOMPARE(w->cdBoard()->link().portName(), link);
        QCOMPARE(w->cdBoard()->link(CD_Board::Link::Other).portName(), flags);
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(),
                 "Connected to " + link + " at 115200 Baud");
    }

    void firmwareWatchdog_data() {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("wrongBoard");
        QTest::addColumn<bool>("userDisconnect");
        QTest::addColumn<QString>("boardText");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("noBoard");
        QTest::addColumn<bool>("restarted");
        const QString wrong = "Error: WRONG BOARD! Data from DK61/DK65-Board received. Make sure "
                              "that the right board is connected!";
        const QString silent = "Error: NO BOARD CONNECTED! No data from board received. Make "
                               "sure that the board is connected properly and under power!";
        QTest::newRow("answered") << true << false << false << "  BOARD: OK  " << QString() << false
                                  << false;
        QTest::newRow("wrong board")
            << true << true << false << "  BOARD: no connection  " << wrong << true << false;
        QTest::newRow("silent") << false << false << false << "  BOARD: no connection  " << silent
                                << true << true;
        QTest::newRow("silent, operator disconnected")
            << false << false << true << "  BOARD: no connection  " << silent << false << false;
    }
    void firmwareWatchdog() {
        QFETCH(bool, answered);
        QFETCH(bool, wrongBoard);
        QFETCH(bool, userDisconnect);
        QFETCH(QString, boardText);
        QFETCH(QString, message);
        QFETCH(bool, noBoard);
        QFETCH(bool, restarted);
        auto w = makeWindow();
        QVERIFY(receives(QByteArray::fromHex("A1")));
        quietWatchdogs(*w);
        if (userDisconnect) {
            // the operator closed the link, and the flash page's end opened it again
            formWidget<QPushButton>(w, "connectButton")->click();
            w->boardSupervisor().resume();
            QVERIFY(w->cdBoard()->isPortOpen());
            quietWatchdogs(*w);
        }
        // The flag board showed its firmware, and a tick took that answer.
        fx->feed("C6 0C 00 10 00 01 00 02 00 03 00 04 01 05");
        w->fw_timer_interrupt();
        QVERIFY(w->cdBoard()->state().flags.flag_fw_shown);
        if (answered)
            fx->feed(wrongBoard ? "B4 00" : "B7 00");
        QSignalSpy reopened(w->cdBoard(), &CD_Board::connected_to_serial_port);
        w->fw_timer_interrupt();
        QCOMPARE(formWidget<QLabel>(w, "boardLabel")->text(), boardText);
        QCOMPARE(formWidget<QLabel>(w, "status_description_spdif_label")->text(), message);
        QCOMPARE(w->cdBoard()->state().link.noBoard, noBoard);
        QCOMPARE(w->cdBoard()->state().link.noBoardReported, noBoard);
        QCOMPARE(reopened.count(), restarted ? 1 : 0);
        QCOMPARE(w->cdBoard()->state().flags.flag_fw_shown, !restarted);
        QVERIFY(w->cdBoard()->isPortOpen());
        QVERIFY(!w->cdBoard()->state().link.board_answered);
        QVERIFY(!w->cdBoard()->state().link.wrong_board);
        if (restarted)
            QVERIFY(receives(QByteArray::fromHex("A1")));
        if (!message.isEmpty()) {
            QCOMPARE(formWidget<QLabel>(w, "spdifLabel")->text(), QString("  SPDIF: no signal  "));
            QCOMPARE(formWidget<QLabel>(w, "cflagLabel")->text(), QString("  CFLAG: no data  "));
            QCOMPARE(formWidget<QLabel>(w, "boardLabel")->styleSheet(),
                     QString("QLabel {color: red}"));
        } else {
            QCOMPARE(formWidget<QLabel>(w, "boardLabel")->styleSheet(),
                     QString("QLabel {color: green}"));
        }
    }

    void firmwareVersion_endsWaitAndShowsVersion() {
        auto w = makeWindow();
        fx->feed("A3 01 17");
        QVERIFY(!w->boardSupervisor().answerWatchdog.isActive());
        QCOMPARE(formWidget<QLabel>(w, "connectionLabel")->text(),
                 "Connected to " + link + " at 128000 Baud FW Version: 23");
        QVERIFY(w->boardSupervisor().loaderWatchdog.isActive());
        fx->feed("BD 01 01");
        QVERIFY(!w->boardSupervisor().loaderWatchdog.isActive());
    }

    // Frames through the receive path: what arrives in which chunks, what is framed and signalled.
    void receive_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<int>("debugMessages");
        using L = QList<QByteArray>;
        const auto h = [](const char* text) { return QByteArray::fromHex(text); };
        QTest::newRow("frame, then the completing byte")
            << L{h("A30105A0"), h("00")} << L{h("A30105"), h("A000")} << 0;
        QTest::newRow("waiting code and too short")
            << L{h("A3"), h("0201"), h("02")} << L{h("A3020102")} << 0;
        QTest::newRow("negative length") << L{h("A385A000")} << L{h("A000")} << 0;
        QTest::newRow("garbage") << L{h("007F6062B0A000")} << L{h("A000")} << 0;
        QTest::newRow("debug text with a frame behind")
            << L{h("CC") + "motor on\r\n" + h("A30107")} << L{h("A30107")} << 1;
    }
    void receive() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(int, debugMessages);
        auto w = makeWindow();
        quietWatchdogs(*w);
        CD_Board* board = w->cdBoard();
        QSignalSpy complete(board, &CD_Board::parse_complete);
        QSignalSpy debug(board, &CD_Board::show_debug_message);
        QByteArray firstDebugText;
        connect(board, &CD_Board::show_debug_message, this, [&] {
            if (firstDebugText.isEmpty())
                firstDebugText = board->debugText();
        });
        const IndexedList<BoardFrame>& received = board->journal().received();
        const qint64 start = received.size();
        int passes = 0;
        for (const QByteArray& chunk : chunks) {
            QVERIFY(fx->device()->inject(chunk));
            ++passes;
            QTRY_COMPARE(complete.count(), passes);
        }
        QCOMPARE(received.size() - start, qint64(frames.size()));
        for (int i = 0; i < frames.size(); ++i) {
            const BoardFrame& frame = received.at(start + i);
            QCOMPARE(frame.bytes, frames.at(i));
            QCOMPARE(frame.code, quint8(frames.at(i).at(0)) + 0);
            QCOMPARE(frame.length, int(frames.at(i).at(1)));
            QCOMPARE(frame.origin, board);
            QVERIFY(frame.text.isEmpty());
        }
        QCOMPARE(board->journal().decodePosition(), received.size());
        QCOMPARE(debug.count(), debugMessages);
        if (debugMessages)
            QCOMPARE(firstDebugText, chunks.first());
        QVERIFY(board->link().pendingBytes().isEmpty());
    }

    void emptyRead_changesNothing() {
        auto w = makeWindow();
        quietWatchdogs(*w);
        QSignalSpy complete(w->cdBoard(), &CD_Board::parse_complete);
        QVERIFY(fx->device()->inject(QByteArray::fromHex("A3"))); // the head of a frame
        QCOMPARE(complete.count(), 1);
        w->cdBoard()->read_data();
        QCOMPARE(complete.count(), 1);
        QCOMPARE(w->cdBoard()->link().pendingBytes(), QByteArray::fromHex("A3"));
        QCOMPARE(w->cdBoard()->link().lastReadCount(), qint64(0));
    }

    // A slot that runs a nested event loop in the middle of a pass (a message box) cannot start
    // a second pass; bytes that arrive meanwhile are framed right after, in order.
    void nestedEventLoop_noSecondPass_bytesPickedUpAfter() {
        auto w = makeWindow();
        quietWatchdogs(*w);
        CD_Board* board = w->cdBoard();
        int depth = 0;
        int deepest = 0;
        connect(board, &CD_Board::show_debug_message, this, [&] {
            ++depth;
            deepest = qMax(deepest, depth);
            QVERIFY(fx->device()->inject(QByteArray::fromHex("A101")));
            QTest::qWait(10); // nested loop: the port sees the new bytes now
            QVERIFY(fx->device()->inject(QByteArray::fromHex("02")));
            QTest::qWait(10);
            --depth;
        });
        QSignalSpy complete(board, &CD_Board::parse_complete);
        const IndexedList<BoardFrame>& received = board->journal().received();
        const qint64 start = received.size();
        QVERIFY(
            fx->device()->inject(QByteArray::fromHex("CC") + "hi" + QByteArray::fromHex("A000")));
        QTRY_COMPARE(received.size(), start + 2);
        QCOMPARE(deepest, 1);
        QCOMPARE(received.at(start).bytes, QByteArray::fromHex("A000"));
        QCOMPARE(received.at(start + 1).bytes, QByteArray::fromHex("A10102"));
        QTRY_COMPARE(complete.count(), 2);
    }
};

QTEST_MAIN(tst_control_panel_link)
#include "tst_control_panel_link.moc"
