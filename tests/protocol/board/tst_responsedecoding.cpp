#include "board/responsedecoding.h"
#include "framehex.h"

#include <QtTest>

using RD = ResponseDecoding;

class tst_responsedecoding : public QObject {
    Q_OBJECT

private slots:
    void playTime_data() {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("75 min 9 s") << 75 << 9 << "01:15:09";
        QTest::newRow("negative seconds count as 0") << 75 << -123 << "01:15:00";
        QTest::newRow("start") << 0 << 0 << "00:00:00";
        QTest::newRow("largest minute count") << 127 << 59 << "02:07:59";
        QTest::newRow("negative minutes: invalid") << -5 << 3 << "";
        QTest::newRow("seconds above 59: invalid") << 1 << 60 << "";
    }
    void playTime() {
        QFETCH(int, minutes);
        QFETCH(int, seconds);
        QFETCH(QString, text);
        const QTime time = RD::playTime(minutes, seconds);
        QCOMPARE(time.toString("hh:mm:ss"), text);
        QCOMPARE(time.isValid(), !text.isEmpty());
    }

    void runtime_data() {
        QTest::addColumn<QString>("ring");   // frame bytes 5..18
        QTest::addColumn<QString>("middle"); // byte 19
        QTest::addColumn<QString>("high");   // byte 20
        QTest::addColumn<int>("lowPosition");
        QTest::addColumn<qulonglong>("seconds");
        QTest::addColumn<int>("lastIndex");
        QTest::newRow("sixteen zeros") << "00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                       << "00"
                                       << "00" << 5 << 0ULL << 0;
        QTest::newRow("05 06 07 08 then zeros") << "05 06 07 08 00 00 00 00 00 00 00 00 00 00"
                                                << "00"
                                                << "00" << 8 << 56ULL << 0;
        QTest::newRow("FF -> 00 continues a run") << "FE FF 00 01 00 00 00 00 00 00 00 00 00 00"
                                                  << "00"
                                                  << "00" << 8 << 7ULL << 0;
        QTest::newRow("7F -> 80 ends a run") << "7E 7F 80 81 00 00 00 00 00 00 00 00 00 00"
                                             << "00"
                                             << "00" << 6 << 7ULL * 0x7F << 0x07;
        // The wrap comparison of the last ring byte with the first can never hold after a full
        // run, so a run over all fourteen bytes ends at the last ring byte.
        QTest::newRow("full run ends at the last ring byte")
            << "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D"
            << "00"
            << "00" << 18 << 7ULL * 0x1D << 0x01;
        QTest::newRow("middle and high bytes")
            << "34 00 00 00 00 00 00 00 00 00 00 00 00 00"
            << "12"
            << "01" << 5 << 7ULL * (0x010000 + 0x1200 + 0x34) << ((0x120 ^ 0x3) & 0xFF);
        QTest::newRow("largest count") << "FF 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                       << "FF"
                                       << "FF" << 6 << 7ULL * 0xFFFF00 << 0xF0;
    }
    void runtime() {
        QFETCH(QString, ring);
        QFETCH(QString, middle);
        QFETCH(QString, high);
        QFETCH(int, lowPosition);
        QFETCH(qulonglong, seconds);
        QFETCH(int, lastIndex);
        const QByteArray frame =
            FrameHex::bytes("99 13 00 00 10 " + ring + " " + middle + " " + high);
        QCOMPARE(frame.size(), 21);
        RD::Runtime runtime;
        QVERIFY(RD::decodeRuntime(frame, &runtime));
        QCOMPARE(runtime.low_position, lowPosition);
        QCOMPARE(runtime.seconds, quint64(seconds));
        QCOMPARE(int(runtime.last_index), lastIndex);
    }

    void runtime_needsTwentyOneBytes_data() {
        QTest::addColumn<int>("size");
        for (int size : {0, 2, 5, 6, 20, 22, 129})
            QTest::addRow("%d bytes", size) << size;
    }
    void runtime_needsTwentyOneBytes() {
        QFETCH(int, size);
        QByteArray frame(size, char(0x01));
        RD::Runtime runtime;
        runtime.seconds = 99;
        QVERIFY(!RD::decodeRuntime(frame, &runtime));
        QCOMPARE(runtime.seconds, quint64(99));
    }

    void historyRow_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("row");
        const QString data = " 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F";
        QTest::newRow("21 bytes, count 16") << "99 13 22 00 10" + data << true;
        QTest::newRow("count 15") << "99 13 22 00 0F" + data << false;
        QTest::newRow("20 bytes") << "99 12 22 00 10" + data.left(data.size() - 3) << false;
        QTest::newRow("22 bytes") << "99 14 22 00 10" + data + " 10" << false;
        QTest::newRow("write reply") << "99 03 22 00 0A" << false;
        QTest::newRow("code and length only") << "99 00" << false;
    }
    void historyRow() {
        QFETCH(QString, frame);
        QFETCH(bool, row);
        QCOMPARE(RD::isHistoryRow(FrameHex::bytes(frame)), row);
    }

    void discId_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<quint32>("id");
        QTest::newRow("bytes unsigned") << "C5 04 12 34 AB CD" << true << quint32(0x1234ABCD);
        QTest::newRow("all high bits") << "C5 04 FF FF FF FF" << true << quint32(0xFFFFFFFF);
        QTest::newRow("three parameters") << "C5 03 12 34 AB" << false << quint32(0);
        QTest::newRow("five parameters") << "C5 05 12 34 AB CD EF" << false << quint32(0);
        QTest::newRow("none") << "C5 00" << false << quint32(0);
    }
    void discId() {
        QFETCH(QString, frame);
        QFETCH(bool, taken);
        QFETCH(quint32, id);
        quint32 value = 0;
        QCOMPARE(RD::decodeDiscId(FrameHex::bytes(frame), &value), taken);
        QCOMPARE(value, id);
    }

    void adcValue_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("value");
        QTest::newRow("500") << "B3 02 01 F4" << true << 500;
        QTest::newRow("largest") << "B3 02 FF FF" << true << 65535;
        QTest::newRow("one parameter") << "B3 01 01" << false << 0;
        QTest::newRow("three parameters") << "B3 03 01 F4 00" << false << 0;
    }
    void adcValue() {
        QFETCH(QString, frame);
        QFETCH(bool, taken);
        QFETCH(int, value);
        quint16 result = 0;
        QCOMPARE(RD::decodeAdcValue(FrameHex::bytes(frame), &result), taken);
        QCOMPARE(int(result), value);
    }

    void cflagFrame_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QList<int>>("counts"); // count, f1..f4
        QTest::addColumn<int>("subStatus");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("firmware");
        QTest::newRow("8 bytes: 8-bit flags")
            << "C6 06 01 02 83 84 85 86" << true << QList<int>{0x0102, 0x83, 0x84, 0x85, 0x86} << 0
            << 0 << 0;
        QTest::newRow("14 bytes: 16-bit flags")
            << "C6 0C FF 02 81 03 00 04 00 05 FF FF 02 07" << true
            << QList<int>{0xFF02, 0x8103, 4, 5, 0xFFFF} << 2 << 0 << 7;
        QTest::newRow("14 bytes: error and negative firmware")
            << "A9 0C 00 00 00 00 00 00 00 00 00 00 21 85" << true << QList<int>{0, 0, 0, 0, 0} << 1
            << 2 << -123;
        for (int size : {2, 7, 9, 13, 15}) {
            QString text = "C6 " + QString::number(size - 2, 16).rightJustified(2, '0');
            for (int k = 2; k < size; ++k)
                text += " 01";
            QTest::addRow("%d bytes", size)
                << text << false << QList<int>{0, 0, 0, 0, 0} << 0 << 0 << 0;
        }
    }
    void cflagFrame() {
        QFETCH(QString, frame);
        QFETCH(bool, taken);
        QFETCH(QList<int>, counts);
        QFETCH(int, subStatus);
        QFETCH(int, error);
        QFETCH(int, firmware);
        RD::CFlagFrame f;
        QCOMPARE(RD::decodeCFlagFrame(FrameHex::bytes(frame), &f), taken);
        QCOMPARE((QList<int>{f.count, f.f[0], f.f[1], f.f[2], f.f[3]}), counts);
        QCOMPARE(f.subStatus(), subStatus);
        QCOMPARE(f.errorCode(), error);
        QCOMPARE(f.fw_version, firmware);
    }

    void loaderTexts_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("mechanism");
        QTest::newRow("01") << 0x01 << "Tray Loader + Sony KHM"
                            << "Tray Loader";
        QTest::newRow("22") << 0x22 << "Top Loader + Sanyo HD850"
                            << "Top Loader";
        QTest::newRow("44: two blanks") << 0x44 << "Slot Loader  + Sanyo DA11"
                                        << "Slot Loader";
        QTest::newRow("82") << 0x82 << "DK-Tria Tray + Sanyo HD850"
                            << "Tray Loader DK-Tria";
        QTest::newRow("81") << 0x81 << "DK-Tria Tray + Sony KHM"
                            << "Tray Loader DK-Tria";
        QTest::newRow("80: no pickup") << 0x80 << "DK-Tria Tray"
                                       << "Tray Loader DK-Tria";
        QTest::newRow("91: no mechanism") << 0x91 << " + Sony KHM" << QString();
        QTest::newRow("33: neither") << 0x33 << "" << QString();
        QTest::newRow("F4") << 0xF4 << " + Sanyo DA11" << QString();
    }
    void loaderTexts() {
        QFETCH(int, code);
        QFETCH(QString, entry);
        QFETCH(QString, mechanism);
        QCOMPARE(RD::loaderEntryText(quint8(code)), entry);
        QCOMPARE(RD::loaderMechanismName(quint8(code)), mechanism);
        QCOMPARE(RD::loaderMechanismName(quint8(code)).isNull(), mechanism.isNull());
    }
};

QTEST_GUILESS_MAIN(tst_responsedecoding)
#include "tst_responsedecoding.moc"
