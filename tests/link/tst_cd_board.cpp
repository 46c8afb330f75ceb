#include "cd_board.h"
#include "framehex.h"
#include "portfactory.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>
#include <poll.h>

namespace {

struct Arrival {
    qint64 ms;
    QByteArray bytes;
};

} // namespace

class tst_cd_board : public QObject {
    Q_OBJECT

private:
    PortFactory ports;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<CD_Board> board;
    QElapsedTimer clock;

    // Records what reaches the board's end of the line, with the time since `clock` started,
    // until `count` bytes have arrived or `timeoutMs` passed.
    QList<Arrival> arrivals(int count, int timeoutMs) {
        QList<Arrival> result;
        int total = 0;
        QElapsedTimer waited;
        waited.start();
        while (total < count && waited.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const QByteArray bytes = pty->readAvailable();
            if (!bytes.isEmpty()) {
                result.append({clock.elapsed(), bytes});
                total += bytes.size();
                continue;
            }
            pollfd pfd{pty->master(), POLLIN, 0};
            ::poll(&pfd, 1, 1);
        }
        return result;
    }

    void hand(const QByteArray& request) { board->sendRequest(request); }
    qint64 written() const { return board->journal().sentFrames().size(); }
    const IndexedList<QByteArray>& sent() const { return board->journal().sentFrames(); }
    const QList<QByteArray>& queued() const { return board->transmitQueue().pending(); }
    bool idle() const { return board->transmitQueue().isIdle(); }
    // Lets the event loop turn twice (a zero-time timer fires twice): what a port reports in a
    // tight loop has come by then.
    static void turnEventLoop() {
        for (int i = 0; i < 2; ++i) {
            QTimer turn;
            turn.setSingleShot(true);
            QSignalSpy fired(&turn, &QTimer::timeout);
            turn.start(0);
            QVERIFY(fired.wait(1000));
        }
    }
    void openFlagBoard(PtyPair& flags) {
        QVERIFY(flags.isValid());
        board->setPortName_other(flags.slavePath());
        board->applyOtherPortSettings();
        board->openOtherPort();
    }

private slots:
    void init() {
        pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        board = std::make_unique<CD_Board>(ports);
        board->setPortName(pty->slavePath());
        board->applyPortSettings();
        board->openPort();
        QVERIFY(board->isPortOpen());
        const QSerialPort* port = board->link().serialPort();
        QVERIFY(port);
        QCOMPARE(board->link().portName(), pty->slavePath());
        QCOMPARE(port->baudRate(), 128000);
        QCOMPARE(port->dataBits(), QSerialPort::Data8);
        QCOMPARE(port->parity(), QSerialPort::NoParity);
        QCOMPARE(port->stopBits(), QSerialPort::OneStop);
        QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
    }
    void cleanup() {
        board.reset();
        pty.reset();
    }

    void pacing_threeRequestsOneTickApart() {
        QSignalSpy written(board.get(), &CD_Board::send_bytes_ready);
        QList<qint64> writes;
        connect(board.get(), &CD_Board::send_bytes_ready, this,
                [&] { writes.append(clock.elapsed()); });
        clock.start();
        hand(QByteArray::fromHex("110100"));
        hand(QByteArray::fromHex("1300"));
        hand(QByteArray::fromHex("1400"));
        // The first goes out at once, the others wait for the ticks.
        QCOMPARE(written.count(), 1);
        QCOMPARE(this->written(), qint64(1));
        QCOMPARE(queued().size(), 2);

        const QList<Arrival> got = arrivals(7, 2000);
        QByteArray all;
        for (const Arrival& a : got)
            all += a.bytes;
        QCOMPARE(all.toHex(), QByteArray("11010013001400"));
        QCOMPARE(got.size(), 3);
        const qint64 gap1 = got[1].ms - got[0].ms;
        const qint64 gap2 = got[2].ms - got[1].ms;
        qInfo("written at %lld, %lld, %lld ms; arrived at %lld, %lld, %lld ms", writes.value(0),
              writes.value(1), writes.value(2), got[0].ms, got[1].ms, got[2].ms);
        // The writes keep the 40 ms spacing exactly (never early); what arrives on the other end
        // carries the scheduling jitter of both sides.
        QCOMPARE(writes.size(), 3);
        QVERIFY2(writes[1] - writes[0] >= 39 && writes[1] - writes[0] <= 80,
                 qPrintable(QString::number(writes[1] - writes[0])));
        QVERIFY2(writes[2] - writes[1] >= 39 && writes[2] - writes[1] <= 80,
                 qPrintable(QString::number(writes[2] - writes[1])));
        QVERIFY2(got[0].ms < 25, qPrintable(QString::number(got[0].ms)));
        QVERIFY2(gap1 >= 25 && gap1 <= 90, qPrintable(QString::number(gap1)));
        QVERIFY2(gap2 >= 25 && gap2 <= 90, qPrintable(QString::number(gap2)));
        QCOMPARE(written.count(), 3);
        QCOMPARE(board->journal().sentLengths().size(), qint64(3));
        QCOMPARE(board->journal().sentLengths().at(0), 3);
        QCOMPARE(sent().at(2), QByteArray::fromHex("1400"));

        // Idle only once a tick finds the queue empty, 40 ms after the last write.
        QVERIFY(!idle());
        QTRY_VERIFY_WITH_TIMEOUT(idle(), 500);
        const qint64 idleAt = clock.elapsed();
        QVERIFY2(idleAt >= got[2].ms + 30, qPrintable(QString::number(idleAt)));

        // After that a request leaves at once.
        clock.restart();
        hand(QByteArray::fromHex("A1"));
        QCOMPARE(written.count(), 4);
        const QList<Arrival> next = arrivals(1, 1000);
        QCOMPARE(next.value(0).bytes, QByteArray::fromHex("A1"));
        QVERIFY2(next[0].ms < 25, qPrintable(QString::number(next[0].ms)));
    }

    void pacing_requestSoonAfterWriteWaitsForTick() {
        clock.start();
        hand(QByteArray::fromHex("5A00"));
        QTimer::singleShot(10, board.get(), [this] {
            hand(QByteArray::fromHex("2100"));
            // queued behind the running tick
            QCOMPARE(written(), qint64(1));
        });
        const QList<Arrival> got = arrivals(4, 2000);
        QCOMPARE(got.size(), 2);
        const qint64 gap = got[1].ms - got[0].ms;
        qInfo("second request %lld ms after the first", gap);
        QVERIFY2(gap >= 30 && gap <= 90, qPrintable(QString::number(gap)));
    }

    // The spacing counts from when a request left: a request handed over while the event loop
    // is busy (as during the window's start-up) still goes out at once.
    void pacing_countsFromTheWire() {
        QList<qint64> writes;
        connect(board.get(), &CD_Board::send_bytes_ready, this,
                [&] { writes.append(clock.elapsed()); });
        clock.start();
        hand(QByteArray::fromHex("A1"));
        // Busy for 30 ms without the event loop; the board end of the line is watched meanwhile.
        QList<Arrival> got;
        while (clock.elapsed() < 30) {
            const QByteArray bytes = pty->readAvailable();
            if (!bytes.isEmpty())
                got.append({clock.elapsed(), bytes});
        }
        hand(QByteArray::fromHex("62092100"));
        got += arrivals(5 - (got.isEmpty() ? 0 : 1), 2000);
        QCOMPARE(got.size(), 2);
        // what arrives carries the reader's delays; the writes keep the spacing
        QCOMPARE(writes.size(), 2);
        QVERIFY2(writes[1] - writes[0] >= 39, qPrintable(QString::number(writes[1] - writes[0])));
    }

    // The tag request names the low byte of the current track (a negative track as its byte).
    void shortRequestAndTagRequest() {
        board->sendShortRequest(0x13);
        board->receiveChunk(FrameHex::bytes("AB 04 00 F9 00 00"));
        QCOMPARE(board->state().player.current_track, -7);
        QTRY_VERIFY(idle());
        board->askforTag();
        const QByteArray got = pty->readAtLeast(7, 2000);
        QCOMPARE(got.toHex(' '), QByteArray("a3 26 04 00 f9 ff 01"));
    }

    // Requests handed over while the port is closed are lost at the usual pace.
    void closedPort_requestsDroppedAtPace() {
        board->link().close();
        QSignalSpy written(board.get(), &CD_Board::send_bytes_ready);
        hand(QByteArray::fromHex("1100"));
        hand(QByteArray::fromHex("1200"));
        QCOMPARE(written.count(), 1);
        QTRY_COMPARE(written.count(), 2);
        QCOMPARE(this->written(), qint64(2));
    }

    void portErrors_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("reports");
        QTest::newRow("NoError") << int(QSerialPort::NoError) << false << 0;
        QTest::newRow("TimeoutError") << int(QSerialPort::TimeoutError) << false << 0;
        QTest::newRow("ParityError") << int(QSerialPort::ParityError) << false << 1;
        QTest::newRow("FramingError") << int(QSerialPort::FramingError) << false << 1;
        QTest::newRow("ResourceError") << int(QSerialPort::ResourceError) << true << 1;
        QTest::newRow("ReadError") << int(QSerialPort::ReadError) << true << 1;
        QTest::newRow("WriteError") << int(QSerialPort::WriteError) << true << 1;
        QTest::newRow("PermissionError") << int(QSerialPort::PermissionError) << true << 1;
        QTest::newRow("DeviceNotFoundError") << int(QSerialPort::DeviceNotFoundError) << true << 1;
    }
    // A report that leaves the port unusable closes it once, however often it is repeated, and
    // is passed on once; the others are passed on as they come and leave the port open.
    void portErrors() {
        QFETCH(int, error);
        QFETCH(bool, closes);
        QFETCH(int, reports);
        QSignalSpy errors(board.get(), &CD_Board::transmission_error);
        QSignalSpy closed(board.get(), &CD_Board::disconnected_from_serial_port);
        board->receiveChunk(FrameHex::bytes("A3 01 3C")); // the board named itself
        QVERIFY(board->state().link.has_FW_Version);
        const auto kind = static_cast<QSerialPort::SerialPortError>(error);
        for (int i = 0; i < (closes ? 500 : 1); ++i)
            board->trans_error(kind);
        turnEventLoop();
        QCOMPARE(board->isPortOpen(), !closes);
        QCOMPARE(errors.count(), reports);
        QCOMPARE(closed.count(), closes ? 1 : 0);
        QCOMPARE(board->link().isLost(), closes);
        QCOMPARE(board->state().link.has_FW_Version, !closes);
    }

    // The other end goes away: the port is closed within a second and reported once. (What the
    // process spends on an unplugged port is a benchmark's figure.)
    void unplug_closesPortOnce() {
        QSignalSpy errors(board.get(), &CD_Board::transmission_error);
        QSignalSpy closed(board.get(), &CD_Board::disconnected_from_serial_port);
        QElapsedTimer wall;
        wall.start();
        pty->closeMaster();
        QVERIFY(closed.wait(1000));
        QVERIFY(!board->isPortOpen());
        qInfo("port closed %lld ms after the unplug", wall.elapsed());
        turnEventLoop();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(closed.count(), 1);
        QVERIFY(board->link().isLost());
    }

    // The latest read is kept for the traffic view; the frame cut from it goes to the list.
    void receive_recordsLatestRead() {
        QSignalSpy complete(board.get(), &CD_Board::parse_complete);
        QVERIFY(pty->write(QByteArray::fromHex("55A30105")));
        QVERIFY(complete.wait(1000));
        QCOMPARE(complete.count(), 1);
        QCOMPARE(board->journal().received().size(), qint64(1));
        QCOMPARE(board->link().lastRead(), QByteArray::fromHex("55A30105"));
        QCOMPARE(board->link().lastReadCount(), qint64(4));
        QCOMPARE(board->journal().received().at(0).bytes, QByteArray::fromHex("A30105"));
        QVERIFY(board->link().pendingBytes().isEmpty());
    }

    void otherLink_unplugClosesItOnce() {
        PtyPair flags;
        QSignalSpy opened(board.get(), &CD_Board::connected_to_serial_port_other);
        openFlagBoard(flags);
        QCOMPARE(opened.count(), 1);
        QVERIFY(board->isOtherPortOpen());
        QSignalSpy errors(board.get(), &CD_Board::transmission_error_other);
        QSignalSpy closed(board.get(), &CD_Board::disconnected_from_serial_port_other);
        flags.closeMaster();
        QVERIFY(closed.wait(1000));
        QVERIFY(!board->isOtherPortOpen());
        turnEventLoop();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(closed.count(), 1);
        QVERIFY(board->link(CD_Board::Link::Other).isLost());
        // the board link is untouched
        QVERIFY(board->isPortOpen());
        QVERIFY(!board->link().isLost());
    }

    // The flag board's frames land in the same frame list; nothing is ever written to it.
    void otherLink_framesJoinTheFrameList() {
        PtyPair flags;
        openFlagBoard(flags);
        QSignalSpy complete(board.get(), &CD_Board::parse_complete_other);
        QVERIFY(flags.write(QByteArray::fromHex("00C60600010203040506C6")));
        QVERIFY(complete.wait(1000));
        const IndexedList<BoardFrame>& frames = board->journal().received();
        QCOMPARE(frames.size(), qint64(1));
        QCOMPARE(frames.at(0).bytes, QByteArray::fromHex("C606000102030405"));
        QCOMPARE(frames.at(0).code, 0xC6);
        QCOMPARE(frames.at(0).length, 6);
        QCOMPARE(frames.at(0).origin, board.get());
        QCOMPARE(board->link(CD_Board::Link::Other).pendingBytes(), QByteArray::fromHex("C6"));
        QVERIFY(board->link().pendingBytes().isEmpty());
        // A request reaches the board; the flag board, written to by the same write if at all,
        // has nothing.
        board->sendShortRequest(1);
        QCOMPARE(pty->readAtLeast(1, 1000), QByteArray::fromHex("A1"));
        QVERIFY(flags.readAvailable().isEmpty());
    }
    // The flag board's debug text is shown like the board's.
    void otherLink_debugTextIsShown() {
        PtyPair flags;
        openFlagBoard(flags);
        QSignalSpy shown(board.get(), &CD_Board::show_debug_message);
        QSignalSpy complete(board.get(), &CD_Board::parse_complete_other);
        QVERIFY(flags.write(QByteArray("\xCC"
                                       "flag board 1.2") +
                            QByteArray::fromHex("A30105")));
        QVERIFY(complete.wait(1000));
        QCOMPARE(board->journal().received().size(), qint64(1));
        QCOMPARE(shown.count(), 1);
        QVERIFY(board->debugText().startsWith("\xCC"
                                              "flag board 1.2"));
    }

    // ---- from frames to signals (no port needed) ----

    void framesAreDecodedOnce() {
        board->receiveChunk(FrameHex::bytes("A0 01 01"));
        const qint64 requests = written() + queued().size();
        QCOMPARE(requests, qint64(5));
        board->parseCommand();
        QCOMPARE(written() + queued().size(), requests);
        FrameJournal& journal = board->journal();
        QCOMPARE(journal.decodePosition(), journal.received().size());
        // The traffic view letting go of every frame takes none the decoder has to come to.
        journal.dropReceivedBefore(journal.received().size());
        QCOMPARE(journal.received().heldCount(), qint64(0));
        board->receiveChunk(FrameHex::bytes("BB 00"));
        QCOMPARE(board->state().player.tray_state, quint8(3));
        QCOMPARE(journal.decodePosition(), journal.received().size());
    }

    void emittedSignals_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QVariantList>("arguments");
        QTest::newRow("A3") << "A3 01 3C" << QByteArray(SIGNAL(recieved_fw_version()))
                            << QVariantList{};
        QTest::newRow("C5") << "C5 04 00 00 00 01" << QByteArray(SIGNAL(recievedDiscID()))
                            << QVariantList{};
        QTest::newRow("B5") << "B5 00" << QByteArray(SIGNAL(module_off())) << QVariantList{};
        QTest::newRow("C0") << "C0 01 07" << QByteArray(SIGNAL(service_mode_step(int)))
                            << QVariantList{7};
        QTest::newRow("BD") << "BD 01 01" << QByteArray(SIGNAL(recieved_ev_loader_ok()))
                            << QVariantList{};
        QTest::newRow("B3") << "B3 02 01 F4" << QByteArray(SIGNAL(recievedLaserCurrent()))
                            << QVariantList{};
        QTest::newRow("A1 03") << "A1 01 03" << QByteArray(SIGNAL(display_info_changed()))
                               << QVariantList{};
        QTest::newRow("B7") << "B7 00" << QByteArray(SIGNAL(display_info_changed()))
                            << QVariantList{};
        QTest::newRow("settings block")
            << "99 0C 21 00 09 15 00 00 00 82 5A 00 00 01"
            << QByteArray(SIGNAL(retrievedBaudrateSetting())) << QVariantList{};
        QTest::newRow("production")
            << "99 0B 10 00 08 00 07 01 2C FF FE 12 34"
            << QByteArray(SIGNAL(retrievedProductionCode())) << QVariantList{};
        QTest::newRow("runtime") << "99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 00 00"
                                 << QByteArray(SIGNAL(retrievedRuntime())) << QVariantList{};
        QTest::newRow("laser") << "99 0B 0F 08 08 00 00 80 3F 00 00 20 C0"
                               << QByteArray(SIGNAL(retrievedLaserParamters())) << QVariantList{};
        QTest::newRow("focus") << "99 04 11 00 01 01"
                               << QByteArray(SIGNAL(retrievedFocParamSetting())) << QVariantList{};
    }
    void emittedSignals() {
        QFETCH(QString, frame);
        QFETCH(QByteArray, signal);
        QFETCH(QVariantList, arguments);
        // A frame decoded while nobody listened does not keep the board from telling a listener.
        board->receiveChunk(FrameHex::bytes("B1 00"));
        QSignalSpy spy(board.get(), signal.constData());
        QVERIFY(spy.isValid());
        board->receiveChunk(FrameHex::bytes(frame));
        QVERIFY(spy.count() >= 1);
        if (!arguments.isEmpty())
            QCOMPARE(spy.first(), arguments);
    }

    // The rate the EEPROM announces is the one the next reconnect uses.
    void settingsBlock_setsTheLinkRate() {
        board->receiveChunk(FrameHex::bytes("99 0C 21 00 09 15 00 00 00 82 5A 00 00 01"));
        QCOMPARE(board->baudRate(), 115200);
        board->receiveChunk(FrameHex::bytes("99 0C 21 00 09 15 00 00 00 82 5A 00 00 FF"));
        QCOMPARE(board->baudRate(), 128000);
    }

    void samplingPoints_signalTheirOwnEnd() {
        QSignalSpy first(board.get(), &CD_Board::recievedSufficientAdc_1Samples);
        QSignalSpy second(board.get(), &CD_Board::recievedSufficientAdc_2Samples);
        board->getAdcValue_2();
        for (int k = 0; k < 1000; ++k)
            board->receiveChunk(FrameHex::bytes("B3 02 01 F4"));
        QCOMPARE(first.count(), 0);
        QCOMPARE(second.count(), 1);
    }

    // A disc whose tag is not complete, a track: the tag is asked for 120 ms later.
    void tagPoll_asksForTheTag() {
        const QByteArray tag = FrameHex::bytes("26 04 00 05 FF 01");
        int tags = 0;
        qint64 askedAt = -1;
        connect(board.get(), &CD_Board::send_bytes_ready, this, [&] {
            if (sent().last() == tag && ++tags == 1)
                askedAt = clock.elapsed();
        });
        clock.start();
        board->receiveChunk(FrameHex::bytes("A1 01 04 AB 04 00 05 00 00"));
        QCOMPARE(tags, 0);
        QVERIFY(!queued().contains(tag));
        QTRY_COMPARE(tags, 1);
        qInfo("tag asked for %lld ms after the frame", askedAt);
        QVERIFY2(askedAt >= 110 && askedAt <= 400, qPrintable(QString::number(askedAt)));
    }

    void eepromRequests_data() {
        QTest::addColumn<int>("value");
        QTest::newRow("01") << 0x01;
        QTest::newRow("FF") << 0xFF;
    }
    void eepromRequests() {
        QFETCH(int, value);
        board->writeZeroByte({true, quint8(value), false});
        QCOMPARE(sent().at(0), FrameHex::bytes("60 01 21 0C") + char(value));
    }
};

QTEST_GUILESS_MAIN(tst_cd_board)
#include "tst_cd_board.moc"
