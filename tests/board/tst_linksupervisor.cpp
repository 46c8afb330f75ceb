// The supervision of a link on loopback bridges, with intervals of milliseconds: losing the
// adapter, asking, finding it again, and retrying a port that will not open.
#include "cd_board.h"
#include "linksupervisor.h"
#include "loopbackbridges.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QtTest>

#include <memory>

class tst_linksupervisor : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<LoopbackBridges> bridges;
    std::unique_ptr<CD_Board> board;
    std::unique_ptr<Serial_Info> ports;
    std::unique_ptr<LinkSupervisor> boardLink;
    std::unique_ptr<LinkSupervisor> flagLink;
    int questions = 0;

    static LinkSupervisor::Intervals fast(int retryMs) {
        // no board answers here: the firmware watchdog stays out of the way
        return {60000, 60000, 60000, retryMs};
    }

    // The question stays up until the supervisor finds the adapter again (Retry) or a second
    // passes (closed); `whileAsked` runs once it is up.
    LinkSupervisor::Answer ask(LinkSupervisor& link, const std::function<void()>& whileAsked) {
        ++questions;
        QEventLoop loop;
        auto answer = LinkSupervisor::Answer::Closed;
        connect(&link, &LinkSupervisor::adapterBack, &loop, [&] {
            answer = LinkSupervisor::Answer::Retry;
            loop.quit();
        });
        QTimer::singleShot(0, &loop, whileAsked);
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        return answer;
    }

    // The board link open on bridge 0.
    void open(int bridgeCount, int retryMs) {
        bridges = std::make_unique<LoopbackBridges>(env->path(), bridgeCount);
        for (int n = 1; n < bridgeCount; ++n)
            bridges->unplug(n);
        board = std::make_unique<CD_Board>();
        ports = std::make_unique<Serial_Info>();
        boardLink = std::make_unique<LinkSupervisor>(*ports, LinkSupervisor::Link::Board);
        flagLink = std::make_unique<LinkSupervisor>(*ports, LinkSupervisor::Link::Other);
        for (LinkSupervisor* link : {boardLink.get(), flagLink.get()}) {
            link->attach(*board);
            link->setIntervals(fast(retryMs));
        }
        boardLink->start();
        QVERIFY(board->isPortOpen());
        QCOMPARE(bridges->device()->takeWritten(), QByteArray::fromHex("A1"));
    }

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        questions = 0;
    }
    void cleanup() {
        flagLink.reset();
        boardLink.reset();
        board.reset();
        ports.reset();
        bridges.reset();
        env.reset();
    }

    // The adapter is unplugged and plugged in again: the link comes back by itself, whether the
    // operator is being asked meanwhile or not (the watchdog found the board missing).
    void unplugged_linkComesBack_data() {
        QTest::addColumn<bool>("boardMissing");
        QTest::addColumn<int>("asked");
        QTest::newRow("asked, the question answers itself") << false << 1;
        QTest::newRow("board missing, nobody asked") << true << 0;
    }
    void unplugged_linkComesBack() {
        QFETCH(bool, boardMissing);
        open(1, 20);
        boardLink->askOperator = [this](const LinkSupervisor::Question&) {
            return ask(*boardLink, [this] { bridges->plugIn(); });
        };
        board->state.link.noBoard = boardMissing;
        QSignalSpy closed(board.get(), &CD_Board::disconnected_from_serial_port);
        bridges->unplug();
        QTRY_COMPARE(closed.count(), 1);
        if (boardMissing) {
            QTest::qWait(60);
            QVERIFY(!board->isPortOpen() && boardLink->retryTimer.isActive());
            bridges->plugIn();
        }
        QTRY_VERIFY(board->isPortOpen());
        QTEST(questions, "asked");
        QCOMPARE(bridges->device()->waitForWritten(1, 1000), QByteArray::fromHex("A1"));
        QTRY_VERIFY(!boardLink->retryTimer.isActive());
    }

    // A port that is found but will not open is tried once per retry interval, never in
    // between (port errors included), and taken as soon as it opens.
    void refusedOpen_triedOncePerInterval() {
        open(1, 20);
        bridges->refuseOpens(true);
        bridges->device()->reportError(QSerialPort::ResourceError);
        QTRY_VERIFY(!board->isPortOpen());
        const int before = bridges->opens();
        for (int i = 0; i < 10; ++i)
            emit board->transmission_error();
        QCOMPARE(bridges->opens(), before);
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(200);
        const int tries = bridges->opens() - before;
        QVERIFY2(tries >= 2 && tries <= wall.elapsed() / 20 + 1,
                 qPrintable(QString::number(tries)));
        QCOMPARE(questions, 0);
        bridges->refuseOpens(false);
        QTRY_VERIFY(board->isPortOpen());
    }

    // Both links lost their adapters and one comes back: the board link takes it, even when the
    // flag board link looks first.
    void bothLost_boardLinkFirst() {
        open(2, 60000);
        bridges->plugIn(1);
        flagLink->yieldTo = boardLink.get();
        flagLink->start();
        QVERIFY(board->isOtherPortOpen());
        board->state.link.noBoard = true;
        bridges->unplug(0);
        bridges->unplug(1);
        QTRY_VERIFY(!board->isPortOpen() && !board->isOtherPortOpen());
        bridges->plugIn(1);
        flagLink->retry();
        QVERIFY(!board->isOtherPortOpen());
        boardLink->retry();
        QVERIFY(board->isPortOpen());
        QCOMPARE(board->link.portName(), bridges->paths.at(1));
    }
};

QTEST_MAIN(tst_linksupervisor)
#include "tst_linksupervisor.moc"
