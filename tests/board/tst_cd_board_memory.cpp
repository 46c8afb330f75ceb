#include "boardprobe.h"
#include "cd_board.h"
#include "control_panel.h"
#include "eepromlayout.h"
#include "ptypair.h"
#include "testenv.h"
#include "ui_control_panel.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include <memory>

namespace {

const QString Ones10 = " FF FF FF FF FF FF FF FF FF FF";
const QString Zeros12 = " 00 00 00 00 00 00 00 00 00 00 00 00";
const QString DefaultLaser = "3F 1C 34 3E 00 AE 04 40";
const QString WriteReply = "99 03 22 00 0A";

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

class tst_cd_board_memory : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<Control_Panel> window;
    CD_Board* board = nullptr;
    std::unique_ptr<BoardProbe> probe;

    QCPGraph* graph(int n) const { return window->ui->customPlotLaser->graph(n); }

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        TestEnv::setVirtualPorts({pty->slavePath()});
        window = std::make_unique<Control_Panel>();
        board = window->board;
        probe = std::make_unique<BoardProbe>(board);
        probe->mark();
    }
    void cleanup() {
        probe.reset();
        window.reset();
        pty.reset();
        env.reset();
    }

    // ---- laser history ----

    void historyRead_pageByPage() {
        board->fw_version = 60;
        board->readLaserHistory();
        QCOMPARE(probe->sinceHex(), QStringList{"62 10 22 00"});
        for (int page = 0x22; page <= 0x31; ++page) {
            probe->mark();
            probe->receive(historyRow(page));
            const QString next =
                page < 0x31 ? "62 10 " + byteText(page + 1) + " 00" : QString("62 10 00 00");
            QCOMPARE(probe->sinceHex(), QStringList{next});
        }
        QVERIFY(!board->history_reading);
        QVERIFY(board->awaiting_runtime);
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 16; ++column) {
                QCOMPARE(int(board->history_values[row * 16 + column]), (0x22 + row + column));
                QCOMPARE(int(board->history_values_t[row][column]), (0x22 + row + column));
            }
        }
        // runtime: low byte 8, middle byte 0x10 -> (0x1008) x 7 s, newest sample at index 0
        probe->mark();
        probe->receive("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10 00");
        QVERIFY(!board->awaiting_runtime);
        QCOMPARE(probe->sinceHex(), QStringList{});
        QVERIFY(graph(0)->visible());
        QCOMPARE(graph(0)->dataCount(), 256);
        const double runtime = 0x1008 * 7;
        // 257 times and 256 samples pair from the start: the newest time stays without one
        QCOMPARE(graph(0)->data()->at(0)->key, runtime - 256 * 112);
        QCOMPARE(graph(0)->data()->at(255)->key, runtime - 112);
        // oldest sample: ring index 1 (row 0, column 1); newest: index 0
        QCOMPARE(graph(0)->data()->at(0)->value, (0x22 + 1) * 5.0 / 7.0);
        QCOMPARE(graph(0)->data()->at(255)->value, 0x22 * 5.0 / 7.0);
        QCOMPARE(window->ui->customPlotLaser->xAxis->range().upper, runtime);
    }

    void historyRead_shortPlayTime() {
        board->readLaserHistory();
        for (int page = 0x22; page <= 0x31; ++page)
            probe->receive(historyRow(page));
        probe->receive("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 00 00");
        QCOMPARE(graph(0)->dataCount(), 1);
        QCOMPARE(graph(0)->data()->at(0)->key, 0.0);
    }

    void historyRead_waitsForAFullRow_data() {
        QTest::addColumn<QString>("frame");
        QTest::newRow("write reply") << WriteReply;
        QTest::newRow("code and length") << "99 00";
        QTest::newRow("20 bytes") << historyRow(0x22).left(historyRow(0x22).size() - 3);
        QTest::newRow("count 15") << "99 13 22 00 0F" + historyRow(0x22).mid(14);
        QTest::newRow("22 bytes") << "99 14" + historyRow(0x22).mid(5) + " 00";
    }
    void historyRead_waitsForAFullRow() {
        QFETCH(QString, frame);
        board->readLaserHistory();
        probe->mark();
        probe->receive(frame);
        QVERIFY(board->history_reading);
        QCOMPARE(int(board->history_page), 0x22);
        QCOMPARE(probe->sinceHex(), QStringList{});
        QCOMPARE(int(board->history_values[0]), 0);
        probe->receive(historyRow(0x22));
        QCOMPARE(probe->sinceHex(), QStringList{"62 10 23 00"});
        QCOMPARE(int(board->history_values[0]), 0x22);
    }

    void historyRead_pageOutOfRangeEndsTheRead_data() {
        QTest::addColumn<int>("page");
        QTest::newRow("below") << 0x21;
        QTest::newRow("above") << 0x32;
        QTest::newRow("negative") << -100;
    }
    void historyRead_pageOutOfRangeEndsTheRead() {
        QFETCH(int, page);
        board->readLaserHistory();
        board->history_page = qint8(page);
        probe->mark();
        probe->receive(historyRow(0x22));
        QVERIFY(!board->history_reading);
        QCOMPARE(probe->sinceHex(), QStringList{});
        for (quint8 value : board->history_values)
            QCOMPARE(int(value), 0);
    }

    void runtime_waitsForTheFullRecord_data() {
        QTest::addColumn<QString>("frame");
        QTest::newRow("write reply") << WriteReply;
        QTest::newRow("20 bytes") << "99 12 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10";
    }
    void runtime_waitsForTheFullRecord() {
        QFETCH(QString, frame);
        board->awaiting_runtime = true;
        probe->receive(frame);
        QVERIFY(board->awaiting_runtime);
        QCOMPARE(graph(0)->dataCount(), 0);
    }

    void zeroByte_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<double>("mA");
        QTest::newRow("0x80") << "99 04 21 0C 01 80" << true << true << 128 * 5.0 / 7.0;
        QTest::newRow("not set") << "99 04 21 0C 01 FF" << true << false << 0.0;
        QTest::newRow("5 bytes") << "99 03 21 0C 01" << false << true << 0.0;
    }
    void zeroByte() {
        QFETCH(QString, frame);
        QFETCH(bool, taken);
        QFETCH(bool, visible);
        QFETCH(double, mA);
        board->readZeroByte();
        QCOMPARE(probe->sinceHex(), QStringList{"62 01 21 0C"});
        QVERIFY(!board->history_reading);
        probe->receive(frame);
        QCOMPARE(board->awaiting_zero_byte, !taken);
        QCOMPARE(graph(1)->visible(), visible);
        if (taken && visible) {
            QCOMPARE(graph(1)->dataCount(), 2);
            QCOMPARE(graph(1)->data()->at(0)->value, mA);
            QCOMPARE(graph(1)->data()->at(0)->key, 0.0);
            QCOMPARE(graph(1)->data()->at(1)->key, 5000.0);
        }
    }

    void historyReset_erasesEveryRowThenTheRuntime_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("emitted"); // recievedEepromParameters(1)
        QTest::newRow("from the laser page") << 0 << 0;
        QTest::newRow("inside the programming chain") << 11 << 1;
    }
    void historyReset_erasesEveryRowThenTheRuntime() {
        QFETCH(int, state);
        QFETCH(int, emitted);
        board->eeprom_state = quint8(state);
        QSignalSpy spy(board, &CD_Board::recievedEepromParameters);
        QStringList expected;
        for (int page = 0x22; page <= 0x31; ++page) {
            expected << "60 0A " + byteText(page) + " 00" + Ones10;
            expected << "60 0A " + byteText(page) + " 06" + Ones10;
        }
        expected << "60 0C 00 00" + Zeros12 << "60 04 00 0C 00 00 00 00";
        board->resetLaserHistory();
        // one reply per write moves the erase on by one write
        for (int k = 1; k < expected.size(); ++k) {
            QCOMPARE(probe->sinceHex().size(), k);
            probe->receive(WriteReply);
        }
        QCOMPARE(probe->sinceHex(), expected);
        QVERIFY(board->history_reset_3);
        probe->receive(WriteReply);
        QVERIFY(!board->history_reset_1 && !board->history_reset_2 && !board->history_reset_3);
        QCOMPARE(probe->sinceHex(), expected);
        QCOMPARE(spy.count(), emitted);
        if (emitted)
            QCOMPARE(spy.first().first().toInt(), 1);
        QCOMPARE(int(board->eeprom_state), 0);
        // the next reply is read as a parameter again
        QSignalSpy focusSpy(board, &CD_Board::retrievedFocParamSetting);
        probe->receive("99 04 11 00 01 01");
        QCOMPARE(focusSpy.count(), 1);
    }

    void historyReset_takesOverFromARead() {
        board->readLaserHistory();
        probe->receive(historyRow(0x22));
        board->resetLaserHistory();
        QVERIFY(!board->history_reading);
        probe->mark();
        probe->receive(WriteReply);
        QCOMPARE(probe->sinceHex(), QStringList{"60 0A 22 06" + Ones10});
    }

    void historyReset_neverWritesBelowTheHistory() {
        board->resetLaserHistory();
        board->history_page = 0x10;
        probe->mark();
        probe->receive(WriteReply);
        QCOMPARE(probe->sinceHex(), QStringList{});
        QVERIFY(!board->history_reset_1);
    }

    void writeZeroByte_sendsTheByte() {
        board->writeZeroByte(0xFF);
        board->writeZeroByte(0x00);
        QCOMPARE(probe->sinceHex(), (QStringList{"60 01 21 0C FF", "60 01 21 0C 00"}));
    }

    // ---- programming step confirmations ----

    void confirmation_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("next"); // the state afterwards; equal to state: no confirmation
        QTest::newRow("1 confirmed")
            << 1 << "99 13 00 00 10 00 00 00 00 01 02 03 04 05 06 07 08 09 0A 0B 0C" << 3;
        QTest::newRow("1 not cleared")
            << 1 << "99 13 00 00 10 00 00 01 00 01 02 03 04 05 06 07 08 09 0A 0B 0C" << 1;
        QTest::newRow("3 confirmed") << 3 << "99 0B 0F 08 08 " + DefaultLaser << 5;
        QTest::newRow("3 other bytes") << 3 << "99 0B 0F 08 08 00 00 80 3F 00 00 20 C0" << 3;
        QTest::newRow("5 confirmed") << 5 << "99 0B 10 00 08 01 02 03 04 05 06 07 08" << 7;
        QTest::newRow("5 other bytes") << 5 << "99 0B 10 00 08 01 02 03 04 05 06 07 00" << 5;
        QTest::newRow("7 loader byte") << 7 << "99 04 21 04 01 82" << 8;
        QTest::newRow("7 other loader byte") << 7 << "99 04 21 04 01 02" << 7;
        QTest::newRow("7 settings block") << 7 << "99 0C 21 00 09 15 00 00 00 82 FF 00 00 01" << 8;
        QTest::newRow("7 settings, other audio byte")
            << 7 << "99 0C 21 00 09 14 00 00 00 82 FF 00 00 01" << 7;
        QTest::newRow("8 confirmed") << 8 << "99 04 11 00 01 01" << 9;
        QTest::newRow("8 other byte") << 8 << "99 04 11 00 01 FF" << 8;
        QTest::newRow("8 short") << 8 << "99 02 11 00" << 8;
        QTest::newRow("255 stays") << 255 << "99 04 11 00 01 01" << 255;
        QTest::newRow("11 without an erase") << 11 << WriteReply << 11;
    }
    void confirmation() {
        QFETCH(int, state);
        QFETCH(QString, frame);
        QFETCH(int, next);
        for (int k = 0; k < 8; ++k)
            board->production_bytes[k] = quint8(k + 1);
        board->eeprom_loader_code = 0x82;
        board->audio_byte = 0x15;
        board->focus_setting_to_write = 0x01;
        board->eeprom_state = quint8(state);
        window->flashTimer.start(1000);
        QSignalSpy spy(board, &CD_Board::recievedEepromParameters);
        probe->receive(frame);
        QCOMPARE(int(board->eeprom_state), next);
        QCOMPARE(spy.count(), next == state ? 0 : 1);
        QCOMPARE(window->flashTimer.isActive(), next == state);
        if (next != state)
            QCOMPARE(spy.first().first().toInt(), next);
    }

    void confirmation_writeReplyThenReadBack() {
        board->eeprom_loader_code = 0x82;
        board->audio_byte = 0x15;
        board->eeprom_state = 7;
        QSignalSpy spy(board, &CD_Board::recievedEepromParameters);
        probe->receive("99 0C 21 00 09 15 00 00 00 81 FF 00 00 01");
        QCOMPARE(int(board->eeprom_state), 7);
        probe->receive("99 0C 21 00 09 15 00 00 00 82 FF 00 00 01");
        QCOMPARE(int(board->eeprom_state), 8);
        QCOMPARE(spy.count(), 1);
    }

    void writeRefused_reportsAtOnce() {
        window->ui->progressBarEeprom->setValue(3);
        probe->receive("98 00");
        QCOMPARE(int(board->eeprom_state), 255);
        QVERIFY(board->eeprom_write_denied);
        QCOMPARE(window->ui->labelEeprom->text(), QString("Error: Write Access to EEPROM denied!"));
        QCOMPARE(window->ui->progressBarEeprom->value(), 0);
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
        QSignalSpy spy(board, &CD_Board::retrievedBaudrateSetting);
        board->baudRate = 1;
        probe->receive("99 0C 21 00 09 15 00 00 00 82 5A 00 00 " + flag);
        QCOMPARE(board->baudRate, baud);
        QCOMPARE(int(board->audio_byte), 0x15);
        QCOMPARE(int(board->settings_spare), 0x5A);
        QCOMPARE(int(board->eeprom_loader_code), 0x82);
        QVERIFY(board->loader_from_eeprom);
        QCOMPARE(window->statusLabel->text(), QString("Loader Type: Tray Loader DK-Tria"));
        QCOMPARE(spy.count(), 1);
    }

    void parameters_loaderLabel_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("text");
        QTest::newRow("settings 22") << "99 0C 21 00 09 00 00 00 00 22 FF 00 00 FF"
                                     << "Loader Type: Top Loader";
        QTest::newRow("settings 95") << "99 0C 21 00 09 00 00 00 00 95 FF 00 00 FF"
                                     << "before";
        QTest::newRow("settings 31") << "99 0C 21 00 09 00 00 00 00 31 FF 00 00 FF"
                                     << "before";
        QTest::newRow("loader byte 41") << "99 04 21 04 01 41"
                                        << "Slot Loader";
        QTest::newRow("loader byte 02") << "99 04 21 04 01 02"
                                        << "Tray Loader";
        QTest::newRow("loader byte 82") << "99 04 21 04 01 82"
                                        << "Tray Loader DK-Tria";
        QTest::newRow("loader byte 91") << "99 04 21 04 01 91"
                                        << "before";
        QTest::newRow("loader byte 72") << "99 04 21 04 01 72"
                                        << "before";
    }
    void parameters_loaderLabel() {
        QFETCH(QString, frame);
        QFETCH(QString, text);
        window->statusLabel->setText("before");
        probe->receive(frame);
        QCOMPARE(window->statusLabel->text(), text);
        QVERIFY(board->loader_from_eeprom);
    }

    void parameters_singleSettingsBytes() {
        probe->receive("99 04 21 00 01 33");
        QCOMPARE(int(board->audio_byte), 0x33);
        QVERIFY(!board->loader_from_eeprom);
        probe->receive("99 04 21 04 01 41");
        QCOMPARE(int(board->eeprom_loader_code), 0x41);
        QCOMPARE(int(board->audio_byte), 0x33);
        probe->receive("99 04 21 0C 01 77");
        QCOMPARE(int(board->eeprom_loader_code), 0x41);
        QCOMPARE(int(board->audio_byte), 0x33);
    }

    void parameters_productionRecord() {
        QSignalSpy spy(board, &CD_Board::retrievedProductionCode);
        probe->receive("99 0B 10 00 08 00 07 01 2C FF FE 12 34");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(board->customer_id, quint16(7));
        QCOMPARE(board->production_day, quint16(300));
        QCOMPARE(board->flashed_by, quint16(65534));
        QCOMPARE(board->serial_number, quint16(0x1234));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(board->production_bytes), 8),
                 BoardProbe::bytes("00 07 01 2C FF FE 12 34"));
    }

    void parameters_operatingTime() {
        QSignalSpy spy(board, &CD_Board::retrievedRuntime);
        probe->receive("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 00 00");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(board->runtime_s, quint64(56));
    }

    void parameters_laserCalibration() {
        QCOMPARE(board->laser_slope, 0.175889f);
        QCOMPARE(board->laser_offset, 2.07312f);
        QSignalSpy spy(board, &CD_Board::retrievedLaserParamters);
        probe->receive("99 0B 0F 08 08 00 00 80 3F 00 00 20 C0");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(board->laser_slope, 1.0f);
        QCOMPARE(board->laser_offset, -2.5f);
        // the next reading uses the new line
        probe->receive("B3 02 00 0A");
        QCOMPARE(board->laser_current_mA, 7.5);
    }

    void parameters_focus() {
        QSignalSpy spy(board, &CD_Board::retrievedFocParamSetting);
        QCOMPARE(int(board->focus_setting), 0);
        probe->receive("99 04 11 00 01 01");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(int(board->focus_setting), 1);
    }

    void parameters_onlyInStateZero() {
        board->eeprom_state = 5;
        QSignalSpy spy(board, &CD_Board::retrievedFocParamSetting);
        probe->receive("99 04 11 00 01 01");
        QCOMPARE(spy.count(), 0);
    }

    void setters_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("flag");
        QTest::newRow("01") << 0x01 << 0x01;
        QTest::newRow("FF") << 0xFF << 0xFF;
        QTest::newRow("00") << 0x00 << 0xFF;
        QTest::newRow("02") << 0x02 << 0xFF;
    }
    void setters() {
        QFETCH(int, value);
        QFETCH(int, flag);
        board->setBaudFlag(quint8(value));
        QCOMPARE(int(board->baud_flag), flag);
        board->setFocusSettingToWrite(quint8(value));
        QCOMPARE(int(board->focus_setting_to_write), value);
    }
};

QTEST_MAIN(tst_cd_board_memory)
#include "tst_cd_board_memory.moc"
