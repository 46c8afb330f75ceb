// The exchanges driven by the board's memory replies: the laser history read, the zero-hour byte,
// the history erase, the programming run and the parameter image read at start-up, on the
// decoder alone.
#include "decoderprobe.h"

#include <QtTest>

#include <memory>

namespace {

const QString Ones10 = " FF FF FF FF FF FF FF FF FF FF";
const QString Zeros12 = " 00 00 00 00 00 00 00 00 00 00 00 00";
const QString DefaultLaser = "3F 1C 34 3E 00 AE 04 40";
const QString WriteReply = "99 03 22 00 0A";
const QString Runtime0x1008 = "99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10 00";

QString byteText(int value) {
    return QString("%1").arg(value & 0xFF, 2, 16, QChar('0')).toUpper();
}

// A history row reply of page `page`: byte n holds page + n.
QString historyRow(int page) {
    QString text = "99 13 " + byteText(page) + " 00 10";
    for (int n = 0; n < 16; ++n)
        text += " " + byteText(page + n);
    return text;
}

} // namespace

class tst_memorysequences : public QObject {
    Q_OBJECT

private:
    DecoderProbe p;

    QList<int> blocksRead() const {
        QList<int> blocks;
        for (const auto& e : p.all<BoardEvent::EepromBlockRead>())
            blocks.append(static_cast<int>(e->block));
        return blocks;
    }

private slots:
    void init() { p = DecoderProbe(); }

    // ---- laser history ----

    void historyRead_pageByPage() {
        p.start(p.decoder->readLaserHistory());
        QCOMPARE(p.sent, QStringList{"62 10 22 00"});
        for (int page = 0x22; page <= 0x31; ++page) {
            p.sent.clear();
            p.feed(historyRow(page));
            const QString next =
                page < 0x31 ? "62 10 " + byteText(page + 1) + " 00" : QString("62 10 00 00");
            QCOMPARE(p.sent, QStringList{next});
        }
        QCOMPARE(p.decoder->historyRead.step, HistoryRead::Step::Runtime);
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column)
                QCOMPARE(int(p.decoder->historyRead.history_values[row * 16 + column]),
                         0x22 + row + column);
        // runtime: low byte 8, middle byte 0x10 -> (0x1008) x 7 s, newest sample at index 0
        p.sent.clear();
        p.feed(Runtime0x1008);
        QVERIFY(!p.decoder->historyRead.isRunning());
        QVERIFY(!p.decoder->runningSequence());
        QCOMPARE(p.sent, QStringList{});
        const auto read = p.all<BoardEvent::LaserHistoryRead>();
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first()->runtime, 0x1008 * 7);
        QCOMPARE(read.first()->last_index, 0);
    }

    void historyRead_waitsForItsReply_data() {
        QTest::addColumn<int>("step"); // 0: a row, 1: the runtime record
        QTest::addColumn<QString>("frame");
        QTest::newRow("row: write reply") << 0 << WriteReply;
        QTest::newRow("row: code and length") << 0 << "99 00";
        QTest::newRow("row: 20 bytes") << 0 << historyRow(0x22).left(historyRow(0x22).size() - 3);
        QTest::newRow("row: count 15") << 0 << "99 13 22 00 0F" + historyRow(0x22).mid(14);
        QTest::newRow("row: 22 bytes") << 0 << "99 14" + historyRow(0x22).mid(5) + " 00";
        QTest::newRow("runtime: write reply") << 1 << WriteReply;
        QTest::newRow("runtime: 20 bytes") << 1 << Runtime0x1008.left(Runtime0x1008.size() - 3);
    }
    void historyRead_waitsForItsReply() {
        QFETCH(int, step);
        QFETCH(QString, frame);
        p.decoder->readLaserHistory();
        if (step == 1)
            p.decoder->historyRead.step = HistoryRead::Step::Runtime;
        p.feed(frame);
        QVERIFY(p.decoder->historyRead.isRunning());
        QCOMPARE(p.sent, QStringList{});
        QCOMPARE(int(p.decoder->historyRead.history_values[0]), 0);
        QVERIFY(p.all<BoardEvent::LaserHistoryRead>().isEmpty());
        if (step == 0) {
            p.feed(historyRow(0x22));
            QCOMPARE(p.sent, QStringList{"62 10 23 00"});
            QCOMPARE(int(p.decoder->historyRead.history_values[0]), 0x22);
        } else {
            p.feed(Runtime0x1008);
            QCOMPARE(p.all<BoardEvent::LaserHistoryRead>().size(), 1);
        }
    }

    void historyRead_pageOutOfRangeEndsTheRead_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("below") << 0x21;
        QTest::newRow("above") << 0x32;
        QTest::newRow("negative") << -100;
    }
    void historyRead_pageOutOfRangeEndsTheRead() {
        QFETCH(int, page);
        p.decoder->readLaserHistory();
        p.decoder->historyRead.history_page = page;
        p.feed(historyRow(0x22));
        QVERIFY(!p.decoder->runningSequence());
        QCOMPARE(p.sent, QStringList{});
        for (quint8 value : p.decoder->historyRead.history_values)
            QCOMPARE(int(value), 0);
    }

    void zeroByte_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("value"); // -1: not taken
        QTest::newRow("0x80") << "99 04 21 0C 01 80" << 0x80;
        QTest::newRow("not set") << "99 04 21 0C 01 FF" << 0xFF;
        QTest::newRow("5 bytes") << "99 03 21 0C 01" << -1;
    }
    void zeroByte() {
        QFETCH(QString, frame);
        QFETCH(int, value);
        p.decoder->readLaserHistory();
        p.start(p.decoder->readZeroByte());
        QCOMPARE(p.sent, QStringList{"62 01 21 0C"});
        QVERIFY(!p.decoder->historyRead.isRunning());
        p.feed(frame);
        const auto read = p.all<BoardEvent::ZeroByteRead>();
        QCOMPARE(p.decoder->zeroByteRead.isRunning(), value < 0);
        QCOMPARE(read.size(), value < 0 ? 0 : 1);
        if (value >= 0)
            QCOMPARE(read.first()->value, value);
    }

    // The board shows the byte written in its write reply, or in the read-back that follows.
    void zeroByteWrite_data() {
        QTest::addColumn<QStringList>("replies");
        QTest::addColumn<QStringList>("sent"); // after the write
        QTest::addColumn<QString>("result");   // part of the text; empty: still waiting
        const QString byte64 = "99 04 21 0C 01 64", byte9B = "99 04 21 0C 01 9B";
        QTest::newRow("in the write reply") << QStringList{byte64} << QStringList{} << "Written";
        QTest::newRow("read back")
            << QStringList{"99 03 21 0C 01", byte64} << QStringList{"62 01 21 0C"} << "Written";
        QTest::newRow("another byte")
            << QStringList{byte9B, byte9B} << QStringList{"62 01 21 0C"} << "holds 9B";
        QTest::newRow("another address") << QStringList{"99 04 21 04 01 64"} << QStringList{} << "";
    }
    void zeroByteWrite() {
        QFETCH(QStringList, replies);
        QFETCH(QStringList, sent);
        QFETCH(QString, result);
        p.decoder->writeZeroByte(ZeroHourByte::fromAverage(400));
        p.feed(replies);
        QCOMPARE(p.sent, sent);
        const auto* ended = p.last<BoardEvent::ZeroByteWritten>();
        QVERIFY(ended ? ended->text.contains(result) && !result.isEmpty() : result.isEmpty());
        QCOMPARE(p.decoder->zeroByteWrite.isRunning(), result.isEmpty());
    }

    void historyErase_everyRowThenTheRuntime() {
        QStringList expected;
        for (int page = 0x22; page <= 0x31; ++page) {
            expected << "60 0A " + byteText(page) + " 00" + Ones10;
            expected << "60 0A " + byteText(page) + " 06" + Ones10;
        }
        expected << "60 0C 00 00" + Zeros12 << "60 04 00 0C 00 00 00 00";
        p.start(p.decoder->resetLaserHistory());
        // one reply per write moves the erase on by one write
        for (int k = 1; k < expected.size(); ++k) {
            QCOMPARE(p.sent.size(), k);
            p.feed(WriteReply);
        }
        QCOMPARE(p.sent, expected);
        QVERIFY(p.decoder->historyErase.isRunning());
        p.feed(WriteReply);
        QVERIFY(!p.decoder->historyErase.isRunning());
        QCOMPARE(p.sent, expected);
        // the next reply is read as a parameter again
        p.feed("99 04 11 00 01 01");
        QCOMPARE(blocksRead(), QList<int>{int(EepromLayout::Block::Focus)});
    }

    void historyErase_takesOverFromARead() {
        p.decoder->readLaserHistory();
        p.feed(historyRow(0x22));
        p.decoder->resetLaserHistory();
        QVERIFY(!p.decoder->historyRead.isRunning());
        p.sent.clear();
        p.feed(WriteReply);
        QCOMPARE(p.sent, QStringList{"60 0A 22 06" + Ones10});
    }

    void historyErase_neverWritesBelowTheHistory() {
        p.decoder->resetLaserHistory();
        p.decoder->historyErase.history_page = 0x10;
        p.feed(WriteReply);
        QCOMPARE(p.sent, QStringList{});
        QVERIFY(!p.decoder->historyErase.isRunning());
    }

    // ---- the parameter image read at start-up ----

    void parameters_settingsBlock_data() {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<int>("baud");
        QTest::newRow("01") << "01" << 115200;
        QTest::newRow("FF") << "FF" << 128000;
        QTest::newRow("00") << "00" << 128000;
    }
    void parameters_settingsBlock() {
        QFETCH(QString, flag);
        QFETCH(int, baud);
        p.feed("99 0C 21 00 09 15 00 00 00 82 5A 00 00 " + flag);
        const EepromParameters& image = p.decoder->state.eeprom.image;
        QCOMPARE(image.baudRate(), baud);
        QCOMPARE(int(image.audio_byte), 0x15);
        QCOMPARE(int(image.settings_spare), 0x5A);
        QCOMPARE(int(p.decoder->state.loader.eeprom_loader_code), 0x82);
        QVERIFY(p.decoder->state.loader.loader_from_eeprom);
        QCOMPARE(p.all<BoardEvent::LoaderLabel>().last()->text,
                 QString("Loader Type: Tray Loader DK-Tria"));
        QCOMPARE(blocksRead(), QList<int>{int(EepromLayout::Block::Settings)});
    }

    void parameters_loaderLabel_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("text"); // empty: the label is left alone
        QTest::newRow("settings 22") << "99 0C 21 00 09 00 00 00 00 22 FF 00 00 FF"
                                     << "Loader Type: Top Loader";
        QTest::newRow("settings 95") << "99 0C 21 00 09 00 00 00 00 95 FF 00 00 FF"
                                     << "";
        QTest::newRow("settings 31") << "99 0C 21 00 09 00 00 00 00 31 FF 00 00 FF"
                                     << "";
        QTest::newRow("loader byte 41") << "99 04 21 04 01 41"
                                        << "Slot Loader";
        QTest::newRow("loader byte 02") << "99 04 21 04 01 02"
                                        << "Tray Loader";
        QTest::newRow("loader byte 82") << "99 04 21 04 01 82"
                                        << "Tray Loader DK-Tria";
        QTest::newRow("loader byte 91") << "99 04 21 04 01 91"
                                        << "";
        QTest::newRow("loader byte 72") << "99 04 21 04 01 72"
                                        << "";
    }
    void parameters_loaderLabel() {
        QFETCH(QString, frame);
        QFETCH(QString, text);
        p.feed(frame);
        const auto labels = p.all<BoardEvent::LoaderLabel>();
        QCOMPARE(labels.isEmpty() ? QString() : labels.last()->text, text);
        QVERIFY(p.decoder->state.loader.loader_from_eeprom);
    }

    void parameters_singleSettingsBytes() {
        p.feed("99 04 21 00 01 33");
        QCOMPARE(int(p.decoder->state.eeprom.image.audio_byte), 0x33);
        QVERIFY(!p.decoder->state.loader.loader_from_eeprom);
        p.feed("99 04 21 04 01 41");
        QCOMPARE(int(p.decoder->state.loader.eeprom_loader_code), 0x41);
        QCOMPARE(int(p.decoder->state.eeprom.image.audio_byte), 0x33);
        p.feed("99 04 21 0C 01 77");
        QCOMPARE(int(p.decoder->state.loader.eeprom_loader_code), 0x41);
        QCOMPARE(int(p.decoder->state.eeprom.image.audio_byte), 0x33);
        QVERIFY(blocksRead().isEmpty());
    }

    void parameters_blocks() {
        const EepromParameters& image = p.decoder->state.eeprom.image;
        p.feed("99 0B 10 00 08 00 07 01 2C FF FE 12 34");
        QCOMPARE(image.customer_id, quint16(7));
        QCOMPARE(image.production_day, quint16(300));
        QCOMPARE(image.flashed_by, quint16(65534));
        QCOMPARE(image.serial_number, quint16(0x1234));
        p.feed("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 00 00");
        QCOMPARE(image.runtime_s, quint64(56));
        QCOMPARE(p.decoder->state.laser.laser_slope, 0.175889f);
        QCOMPARE(p.decoder->state.laser.laser_offset, 2.07312f);
        p.feed("99 0B 0F 08 08 00 00 80 3F 00 00 20 C0");
        QCOMPARE(p.decoder->state.laser.laser_slope, 1.0f);
        QCOMPARE(p.decoder->state.laser.laser_offset, -2.5f);
        QCOMPARE(int(image.focus_setting), 0);
        p.feed("99 04 11 00 01 01");
        QCOMPARE(int(image.focus_setting), 1);
        using B = EepromLayout::Block;
        QCOMPARE(blocksRead(),
                 (QList<int>{int(B::Production), int(B::Runtime), int(B::Laser), int(B::Focus)}));
        // the next reading uses the new line
        p.feed("B3 02 00 0A");
        QCOMPARE(p.decoder->state.laser.laser_current_mA, 7.5);
    }

    void parameters_onlyWhileNoRunWaits() {
        DecodeOutcome out;
        p.decoder->eepromRun.start(EepromRun::Kind::Settings, EepromParameters(), out);
        p.feed("99 04 11 00 01 01");
        QVERIFY(blocksRead().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_memorysequences)
#include "tst_memorysequences.moc"
