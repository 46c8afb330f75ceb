#include "framehex.h"
#include "production/eepromlayout.h"

#include <QtTest>

using Block = EepromLayout::Block;
Q_DECLARE_METATYPE(Block)

namespace {

QString hex(const QByteArray& bytes) {
    return FrameHex::text(bytes);
}

const QString Zeros12 = " 00 00 00 00 00 00 00 00 00 00 00 00";
const QString Ones10 = " FF FF FF FF FF FF FF FF FF FF";
// k = 0.175889 and d = 2.07312 as little-endian singles
const QString DefaultLaser = "3F 1C 34 3E 00 AE 04 40";

} // namespace

class tst_eepromlayout : public QObject {
    Q_OBJECT

private slots:
    void requestFrames_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("text");
        QTest::newRow("read history row") << EepromLayout::memoryRead(16, 0x22, 0) << "62 10 22 00";
        QTest::newRow("read settings") << EepromLayout::memoryRead(9, 0x21, 0) << "62 09 21 00";
        QTest::newRow("read zero byte") << EepromLayout::memoryRead(1, 0x21, 0x0C) << "62 01 21 0C";
        QTest::newRow("erase first half")
            << EepromLayout::historyEraseWrite(0x22, false) << "60 0A 22 00" + Ones10;
        QTest::newRow("erase second half")
            << EepromLayout::historyEraseWrite(0x31, true) << "60 0A 31 06" + Ones10;
        QTest::newRow("first runtime clear")
            << EepromLayout::runtimeClearWrite(1) << "60 0C 00 00" + Zeros12;
        QTest::newRow("second runtime clear")
            << EepromLayout::runtimeClearWrite(2) << "60 04 00 0C 00 00 00 00";
        QTest::newRow("zero byte write") << EepromLayout::zeroByteWrite(0xFF) << "60 01 21 0C FF";
    }
    void requestFrames() {
        QFETCH(QByteArray, frame);
        QFETCH(QString, text);
        QCOMPARE(hex(frame), text);
    }

    void laserBlock_isLittleEndianSingles() {
        QCOMPARE(hex(EepromLayout::laserBytes(0.175889f, 2.07312f)), DefaultLaser);
        float k = 0;
        float d = 0;
        QVERIFY(EepromLayout::laserFromBytes(FrameHex::bytes(DefaultLaser), &k, &d));
        QCOMPARE(k, 0.175889f);
        QCOMPARE(d, 2.07312f);
        QVERIFY(!EepromLayout::laserFromBytes(FrameHex::bytes("3F 1C 34 3E 00 AE 04"), &k, &d));
    }

    void parseReply_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<Block>("block");
        QTest::addColumn<QString>("fields");
        // settings block: audio, 00 00 00, loader, spare, 00 00, baud flag
        QTest::newRow("settings, 115200")
            << "99 0C 21 00 09 15 00 00 00 82 5A 00 00 01" << Block::Settings
            << "audio 15 loader 82 spare 5A baud 115200";
        QTest::newRow("settings, 128000")
            << "99 0C 21 00 09 15 00 00 00 01 FF 00 00 FF" << Block::Settings
            << "audio 15 loader 01 spare FF baud 128000";
        QTest::newRow("settings, other flag: 128000")
            << "99 0C 21 00 09 00 00 00 00 00 00 00 00 02" << Block::Settings
            << "audio 00 loader 00 spare 00 baud 128000";
        QTest::newRow("settings with a wrong count")
            << "99 0C 21 00 08 15 00 00 00 82 5A 00 00 01" << Block::None << "";
        QTest::newRow("loader byte") << "99 04 21 04 01 82" << Block::LoaderByte << "loader 82";
        QTest::newRow("audio byte") << "99 04 21 00 01 33" << Block::AudioByte << "audio 33";
        QTest::newRow("zero-hour byte is neither") << "99 04 21 0C 01 33" << Block::None << "";
        QTest::newRow("production record")
            << "99 0B 10 00 08 00 07 01 2C FF FE 12 34" << Block::Production
            << "customer 7 day 300 flashed 65534 serial 4660";
        QTest::newRow("operating time") << "99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 "
                                           "00 00 00 00 00"
                                        << Block::Runtime << "runtime 56";
        QTest::newRow("laser calibration")
            << "99 0B 0F 08 08 00 00 80 3F 00 00 20 C0" << Block::Laser << "k 1 d -2.5";
        QTest::newRow("laser block at another address")
            << "99 0B 0F 09 08 00 00 80 3F 00 00 20 C0" << Block::None << "";
        QTest::newRow("focus hardware") << "99 04 11 00 01 01" << Block::Focus << "focus 01";
        QTest::newRow("write reply") << "99 03 22 00 0A" << Block::None << "";
        QTest::newRow("code and length only") << "99 00" << Block::None << "";
        QTest::newRow("empty") << "" << Block::None << "";
    }
    void parseReply() {
        QFETCH(QString, frame);
        QFETCH(Block, block);
        QFETCH(QString, fields);
        EepromParameters r;
        QCOMPARE(EepromLayout::parseReply(FrameHex::bytes(frame), &r), block);
        QString text;
        const auto h = [](int v) {
            return QString::number(v, 16).toUpper().rightJustified(2, '0');
        };
        switch (block) {
        case Block::Settings:
            text = QString("audio %1 loader %2 spare %3 baud %4")
                       .arg(h(r.audio_byte), h(r.loader_code), h(r.settings_spare))
                       .arg(r.baudRate());
            break;
        case Block::LoaderByte:
            text = "loader " + h(r.loader_code);
            break;
        case Block::AudioByte:
            text = "audio " + h(r.audio_byte);
            break;
        case Block::Production:
            text = QString("customer %1 day %2 flashed %3 serial %4")
                       .arg(r.customer_id)
                       .arg(r.production_day)
                       .arg(r.flashed_by)
                       .arg(r.serial_number);
            break;
        case Block::Runtime:
            text = QString("runtime %1").arg(r.runtime_s);
            break;
        case Block::Laser:
            text = QString("k %1 d %2").arg(double(r.laser_slope)).arg(double(r.laser_offset));
            break;
        case Block::Focus:
            text = "focus " + h(r.focus_setting);
            break;
        case Block::None:
            break;
        }
        QCOMPARE(text, fields);
        // a block a run writes is written back with the bytes it was read with
        if (block == Block::Laser || block == Block::Production || block == Block::Settings ||
            block == Block::Focus)
            QCOMPARE(hex(EepromLayout::blockBytes(block, r)), frame.mid(15));
    }
};

QTEST_GUILESS_MAIN(tst_eepromlayout)
#include "tst_eepromlayout.moc"
