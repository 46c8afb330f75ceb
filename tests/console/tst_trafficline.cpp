#include "hexinput.h"
#include "trafficline.h"

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
};

QTEST_APPLESS_MAIN(tst_trafficline)
#include "tst_trafficline.moc"
