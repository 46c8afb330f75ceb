#include "board/boardstate.h"
#include "console/hexinput.h"
#include "console/textsearch.h"
#include "console/trafficfeed.h"
#include "console/trafficline.h"

#include <QtTest>

class tst_trafficline : public QObject {
    Q_OBJECT

private slots:
    void stamp_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("start") << qint64(0) << "00:00:00";
        QTest::newRow("just below a second") << qint64(999) << "00:00:00";
        QTest::newRow("1 min 5 s") << qint64(65000) << "00:01:05";
        QTest::newRow("1 h 2 min 3 s") << qint64(3723456) << "01:02:03";
        QTest::newRow("last second of the day") << qint64(86399999) << "23:59:59";
        // A day-long log keeps its time order: the hours keep counting.
        QTest::newRow("one day") << qint64(86400000) << "24:00:00";
        QTest::newRow("one day and a second") << qint64(86401000) << "24:00:01";
        QTest::newRow("100 hours") << qint64(360000000) << "100:00:00";
        QTest::newRow("negative counts as 0") << qint64(-5) << "00:00:00";
    }
    void stamp() {
        QFETCH(qint64, ms);
        QFETCH(QString, stamp);
        QCOMPARE(TrafficLine::stamp(ms), stamp);
    }

    void stamp_ordersLikeTime() {
        // Lines sorted by their text stay in time order across the day boundary up to 99 hours.
        QVERIFY(TrafficLine::stamp(86399000) < TrafficLine::stamp(86400000));
        QVERIFY(TrafficLine::stamp(9 * 3600000) < TrafficLine::stamp(10 * 3600000));
    }

    void isFlagRecord_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("flagRecord");
        QTest::newRow("flag board") << "[00:00:01]DK-61  : C6  0C  00  " << true;
        QTest::newRow("DK-61 board") << "[00:00:01]DK-61  : A9  06  00  " << true;
        QTest::newRow("past 99 hours") << "[100:00:00]DK-61  : C6  0C  " << true;
        QTest::newRow("other frame") << "[00:00:01]DK-61  : A2  01  C6  " << false;
        QTest::newRow("request") << "[00:00:01]PC-Tool: C6  " << false;
        QTest::newRow("debug text") << "[00:00:01]DK-61  : CC  02  A9  " << false;
        QTest::newRow("no stamp") << "C6  0C  " << false;
    }
    void isFlagRecord() {
        QFETCH(QString, line);
        QFETCH(bool, flagRecord);
        QCOMPARE(TrafficLine::isFlagRecord(line), flagRecord);
    }

    void search_data() {
        QTest::addColumn<QString>("needle");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QVector<int>>("matches");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        // text: "c6 a9 C6 c6c6"
        QTest::newRow("any case") << "c6" << 10 << QVector<int>{0, 6, 9, 11} << 6 << 9 << 0;
        QTest::newRow("wraps") << "c6" << 10 << QVector<int>{0, 6, 9, 11} << 11 << 0 << 9;
        QTest::newRow("before the first") << "a9" << 10 << QVector<int>{3} << 0 << 3 << 3;
        QTest::newRow("limited") << "c6" << 2 << QVector<int>{0, 6} << 20 << 0 << 6;
        QTest::newRow("absent") << "ff" << 10 << QVector<int>{} << 0 << -1 << -1;
        QTest::newRow("empty") << "" << 10 << QVector<int>{} << 0 << -1 << -1;
    }
    void search() {
        QFETCH(QString, needle);
        QFETCH(int, limit);
        QFETCH(QVector<int>, matches);
        QFETCH(int, at);
        QFETCH(int, next);
        QFETCH(int, previous);
        QCOMPARE(TextSearch::matches("c6 a9 C6 c6c6", needle, limit), matches);
        QCOMPARE(TextSearch::step(matches, at, false), next);
        QCOMPARE(TextSearch::step(matches, at, true), previous);
    }

    void lines_data() {
        QTest::addColumn<bool>("sent");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("line");
        QTest::newRow("request 21 00") << true << qint64(65000) << QByteArray::fromHex("2100") << 2
                                       << "[00:01:05]PC-Tool: 21  00  ";
        QTest::newRow("one-byte request")
            << true << qint64(67000) << QByteArray::fromHex("a1") << 1 << "[00:01:07]PC-Tool: A1  ";
        QTest::newRow("only the sent length")
            << true << qint64(0) << QByteArray::fromHex("a30105ff") << 3
            << "[00:00:00]PC-Tool: A3  01  05  ";
        QTest::newRow("frame") << false << qint64(5000) << QByteArray::fromHex("b30201f4") << 0
                               << "[00:00:05]DK-61  : B3  02  01  F4  ";
        QTest::newRow("CFLAG frame")
            << false << qint64(3600000) << QByteArray::fromHex("c60c000c0000000300000000 0101") << 0
            << "[01:00:00]DK-61  : C6  0C  00  0C  00  00  00  03  00  "
               "00  00  00  01  01  ";
        QTest::newRow("empty") << false << qint64(0) << QByteArray() << 0 << "[00:00:00]DK-61  : ";
    }
    void lines() {
        QFETCH(bool, sent);
        QFETCH(qint64, ms);
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        QFETCH(QString, line);
        QCOMPARE(sent ? TrafficLine::sent(ms, bytes, length) : TrafficLine::received(ms, bytes),
                 line);
    }

    void hexBytes() {
        QCOMPARE(TrafficLine::hexBytes(QByteArray::fromHex("00ff7f80")),
                 QString("00  FF  7F  80  "));
    }

    void format_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("lower case") << "a1"
                                    << "A1";
        QTest::newRow("pairs") << "1101ab"
                               << "11 01 AB";
        QTest::newRow("junk and odd count") << "11-01 x5"
                                            << "11 01 5";
        QTest::newRow("already formatted") << "11 01 AB"
                                           << "11 01 AB";
        QTest::newRow("only junk") << "xyz-"
                                   << "";
        QTest::newRow("single digit") << "7"
                                      << "7";
        QTest::newRow("three") << "a30"
                               << "A3 0";
    }
    void format() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QCOMPARE(HexInput::format(typed), shown);
        // Formatting settles at once: the formatted text formats to itself.
        QCOMPARE(HexInput::format(shown), shown);
    }

    void bytesRoundTrip() {
        QCOMPARE(HexInput::toBytes(HexInput::digits("a3 01 05")), QByteArray::fromHex("a30105"));
        QCOMPARE(HexInput::toBytes("0F"), QByteArray(1, '\x0f'));
        QCOMPARE(HexInput::fromBytes(QByteArray::fromHex("5a00ff")), QString("5A00FF"));
        QCOMPARE(HexInput::digits("5a-0g"), QString("5A0"));
    }

    // What the typed-request line sends: the bytes as typed, the board's custom-command mark
    // from the line as shown (upper case), or a warning and nothing.
    void request_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("mark");
        QTest::addColumn<bool>("warned");
        QTest::newRow("request") << "A3 01 05" << QByteArray::fromHex("a30105") << 0x57 << false;
        QTest::newRow("5A exits") << "5A 00" << QByteArray::fromHex("5a00") << 0x5A << false;
        QTest::newRow("5A later in the line")
            << "00 5A" << QByteArray::fromHex("005a") << 0x57 << false;
        QTest::newRow("odd digit count") << "A3 0" << QByteArray() << 0x57 << true;
        QTest::newRow("nothing to send") << " -" << QByteArray() << 0x57 << false;
    }
    void request() {
        QFETCH(QString, line);
        QFETCH(QByteArray, bytes);
        QFETCH(int, mark);
        QFETCH(bool, warned);
        const HexInput::Request request = HexInput::request(line);
        QCOMPARE(request.bytes, bytes);
        if (!bytes.isEmpty())
            QCOMPARE(request.mark, mark);
        QCOMPARE(request.warning,
                 warned ? QString("You must enter an even amount of characters") : QString());
    }

    // The player displays after a batch show the board state; a laser current frame among the
    // frames shows the current.
    void receivedDisplays_data() {
        QTest::addColumn<int>("track");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("trackShown");
        QTest::addColumn<QString>("timeShown");
        QTest::addColumn<QString>("current");
        QTest::newRow("track 12 at 1:05")
            << 12 << QTime(0, 1, 5) << QByteArray::fromHex("a20105") << "12"
            << "00:01:05" << QString();
        QTest::newRow("no track yet, no time")
            << 0 << QTime() << QByteArray::fromHex("a20105") << "0" << QString() << QString();
        QTest::newRow("negative track") << -3 << QTime() << QByteArray::fromHex("a20105")
                                        << QString() << QString() << QString();
        QTest::newRow("laser current")
            << 1 << QTime() << QByteArray::fromHex("b30201f4") << "1" << QString() << "87.9 mA";
    }
    void receivedDisplays() {
        QFETCH(int, track);
        QFETCH(QTime, time);
        QFETCH(QByteArray, frame);
        QFETCH(QString, trackShown);
        QFETCH(QString, timeShown);
        QFETCH(QString, current);
        BoardState state;
        state.player.current_track = track;
        state.player.current_time = time;
        state.laser.laser_current_mA = 87.9;
        IndexedList<BoardFrame> frames;
        BoardFrame received;
        received.bytes = frame;
        received.code = quint8(frame.at(0));
        frames.append(received);
        qint64 next = 0;
        const TrafficFeed::Received update = TrafficFeed::received(frames, 1, state, 0, &next);
        QVERIFY(update.any);
        QCOMPARE(update.track, trackShown);
        QCOMPARE(update.time, timeShown);
        QCOMPARE(update.laserCurrent, current);
        QCOMPARE(update.lines, QStringList{TrafficLine::received(0, frame)});
        QCOMPARE(next, qint64(1));
        // Nothing new: nothing shown again.
        const TrafficFeed::Received again = TrafficFeed::received(frames, 1, state, 0, &next);
        QVERIFY(!again.any);
        QVERIFY(again.lines.isEmpty());
    }
};

QTEST_APPLESS_MAIN(tst_trafficline)
#include "tst_trafficline.moc"
