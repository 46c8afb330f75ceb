#include "boardprobe.h"
#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "laserlist.h"
#include "ptypair.h"
#include "testenv.h"
#include "ui_control_panel.h"

#include <QLabel>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A board field as text, for the data-driven rows.
QString field(const CD_Board* b, const QString& name) {
    if (name == "tray_state")
        return QString::number(b->tray_state);
    if (name == "current_track")
        return QString::number(b->current_track);
    if (name == "current_time")
        return b->current_time.toString("hh:mm:ss");
    if (name == "disc_id")
        return QString::number(b->disc_id, 16).toUpper() + (b->disc_id_known ? " known" : "");
    if (name == "fw_version")
        return QString::number(b->fw_version);
    if (name == "tag_complete")
        return b->tag_complete ? "true" : "false";
    if (name == "disc_state")
        return QString::number(b->disc_state);
    if (name == "service_step")
        return QString::number(b->service_step);
    if (name == "eeprom_state")
        return QString::number(b->eeprom_state) + (b->eeprom_write_denied ? " denied" : "");
    if (name == "wrong_board")
        return b->wrong_board ? "true" : "false";
    if (name == "laser_current_mA")
        return QString::number(b->laser_current_mA, 'f', 4);
    if (name == "toc")
        return QString("%1 %2 %3 %4 %5 %6 %7 %8 %9")
            .arg(b->toc.read)
            .arg(b->toc.flag_a)
            .arg(b->toc.flag_b)
            .arg(b->toc.value_1)
            .arg(b->toc.tracks)
            .arg(b->toc.value_5)
            .arg(b->toc.value_6)
            .arg(b->toc.value_7)
            .arg(b->toc.value_8);
    return "unknown field " + name;
}

const QString Tick = "A0 01 01";
const QString TrackChange = "A0 01 02";
const QString Time = "AC 03 00 4B 09";

} // namespace

class tst_cd_board_decode : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<Control_Panel> window;
    CD_Board* board = nullptr;
    std::unique_ptr<BoardProbe> probe;

    void batch(const QStringList& frames) { probe->batch(frames); }

private slots:
    void initTestCase() { qRegisterMetaType<CFlags*>(); }
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

    // ---- the batch ----

    void followUps_data() {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("tick with a time")
            << QStringList{Tick, Time}
            << QStringList{"28 01 00", "28 01 01", "54 00", "27 00", "24 00"};
        QTest::newRow("tick and track change with a time")
            << QStringList{"A0 01 03", Time}
            << QStringList{"27 00", "28 01 00", "28 01 01", "54 00", "27 00", "24 00"};
        QTest::newRow("tick with track and disc known")
            << QStringList{"AB 04 00 05 00 00", "C5 04 00 00 00 01", Tick}
            << QStringList{"28 01 00", "28 01 01", "54 00"};
        QTest::newRow("track change without a time") << QStringList{TrackChange} << QStringList{};
        QTest::newRow("disc ready before contents")
            << QStringList{"A1 01 04"} << QStringList{"21 00"};
        QTest::newRow("disc contents, disc unknown")
            << QStringList{"AD 09 00 00 00 0C 00 00 00 00 00"} << QStringList{"24 00"};
        QTest::newRow("first firmware version")
            << QStringList{"A3 01 3C"} << QStringList{"62 09 21 00", "62 08 10 00", "62 10 00 00",
                                                      "62 08 0F 08", "70 00",       "62 01 11 00"};
        QTest::newRow("status bit 2 only") << QStringList{"A0 01 04"} << QStringList{};
    }
    void followUps() {
        QFETCH(QStringList, frames);
        QFETCH(QStringList, requests);
        batch(frames);
        QCOMPARE(probe->sinceHex(), requests);
    }

    void trackChange_waitsForATime() {
        batch({TrackChange});
        QVERIFY(board->track_change_pending);
        batch({Time});
        QCOMPARE(probe->sinceHex(), QStringList{"27 00"});
        QVERIFY(!board->track_change_pending);
    }

    void framesAreParsedOnce() {
        batch({Tick});
        const QStringList first = probe->sinceHex();
        QCOMPARE(first.size(), 5);
        board->parseCommand();
        board->parseCommand();
        QCOMPARE(probe->sinceHex(), first);
        QCOMPARE(board->parse_index, board->commands.size());
    }

    void parseIndexSkipsDroppedFrames() {
        batch({"B1 00"});
        board->commands.append(BoardFrame{board, BoardProbe::bytes("B2 00"), {}, 0xB2, 0});
        board->commands.dropBefore(board->commands.size());
        board->commands.append(BoardFrame{board, BoardProbe::bytes("BB 00"), {}, 0xBB, 0});
        board->parseCommand();
        QCOMPARE(board->tray_state, quint8(3));
        QCOMPARE(board->parse_index, board->commands.size());
    }

    void batchStart_marksTheBoardAnswered() {
        board->board_answered = false;
        board->wrong_board = true;
        board->noBoard = true;
        board->noBoardReported = true;
        board->time_received = true;
        batch({});
        QVERIFY(board->board_answered);
        QVERIFY(!board->wrong_board);
        QVERIFY(!board->noBoard);
        QVERIFY(!board->noBoardReported);
        QVERIFY(!board->time_received);
        batch({"B4 00"});
        QVERIFY(board->wrong_board);
    }

    void displayInfoChanged_oncePerCall() {
        QSignalSpy spy(board, &CD_Board::display_info_changed);
        batch({"B1 00", "B2 00"});
        QCOMPARE(spy.count(), 1);
    }

    void tagTimer_asksForTheTag() {
        batch({"A1 01 04", "AB 04 00 05 00 00"});
        QVERIFY(board->tagTimer.isActive());
        QVERIFY(board->tagTimer.isSingleShot());
        QCOMPARE(board->tagTimer.interval(), 120);
        probe->mark();
        QTRY_COMPARE(probe->sinceHex(), QStringList{"26 04 00 05 FF 01"});
    }

    void tagTimer_notWhenTheTagIsComplete() {
        batch({"A1 01 04", "A4 05 00 00 00 01 00", "AB 04 00 05 00 00"});
        QVERIFY(board->tag_complete);
        QVERIFY(!board->tagTimer.isActive());
    }

    void flagClock_countsPastMidnight() {
        board->flag_seconds = 86399;
        batch({Tick});
        batch({"C6 06 00 00 00 00 00 00"});
        QCOMPARE(board->flag_seconds, quint64(86400));
        QCOMPARE(board->flag_clock, QTime(0, 0, 0));
        QCOMPARE(board->flag_records.size(), 1);
        QCOMPARE(board->flag_records.last()->getFlagSecond(), quint16(86400 % 65536));
    }

    // ---- single responses ----

    void responses_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("B1") << "B1 00"
                            << "tray_state"
                            << "1";
        QTest::newRow("B2 with parameters") << "B2 02 01 02"
                                            << "tray_state"
                                            << "2";
        QTest::newRow("B7") << "B7 00"
                            << "tray_state"
                            << "0";
        QTest::newRow("BB") << "BB 00"
                            << "tray_state"
                            << "3";
        QTest::newRow("BC") << "BC 00"
                            << "tray_state"
                            << "4";
        QTest::newRow("skipped A2") << "A2 01 00"
                                    << "tray_state"
                                    << "9";
        QTest::newRow("skipped CD") << "CD 00"
                                    << "tray_state"
                                    << "9";
        QTest::newRow("AB track 5") << "AB 04 00 05 00 00"
                                    << "current_track"
                                    << "5";
        QTest::newRow("AB sign-extended") << "AB 04 00 FB 00 00"
                                          << "current_track"
                                          << "-5";
        QTest::newRow("AB short") << "AB 03 00 05 00"
                                  << "current_track"
                                  << "0";
        QTest::newRow("AC 01:15:09") << Time << "current_time"
                                     << "01:15:09";
        QTest::newRow("AC negative seconds") << "AC 03 00 4B 85"
                                             << "current_time"
                                             << "01:15:00";
        QTest::newRow("AC negative minutes") << "AC 03 00 F0 01"
                                             << "current_time"
                                             << "";
        QTest::newRow("AC short") << "AC 02 00 4B"
                                  << "current_time"
                                  << "00:00:00";
        QTest::newRow("C5 unsigned") << "C5 04 12 34 AB CD"
                                     << "disc_id"
                                     << "1234ABCD known";
        QTest::newRow("C5 three parameters") << "C5 03 12 34 AB"
                                             << "disc_id"
                                             << "0";
        QTest::newRow("C5 five parameters") << "C5 05 12 34 AB CD EF"
                                            << "disc_id"
                                            << "0";
        QTest::newRow("A3 unsigned") << "A3 01 FF"
                                     << "fw_version"
                                     << "255";
        QTest::newRow("A3 short") << "A3 00"
                                  << "fw_version"
                                  << "0";
        QTest::newRow("A4 complete") << "A4 05 00 00 00 01 00"
                                     << "tag_complete"
                                     << "true";
        QTest::newRow("A4 not complete") << "A4 05 00 00 00 02 00"
                                         << "tag_complete"
                                         << "false";
        QTest::newRow("A4 short") << "A4 04 00 00 00 01"
                                  << "tag_complete"
                                  << "false";
        QTest::newRow("A1 4") << "A1 01 04"
                              << "disc_state"
                              << "4";
        QTest::newRow("A1 5") << "A1 01 05"
                              << "disc_state"
                              << "5";
        QTest::newRow("A1 6") << "A1 01 06"
                              << "disc_state"
                              << "0";
        QTest::newRow("A1 long") << "A1 02 04 00"
                                 << "disc_state"
                                 << "0";
        QTest::newRow("C0 step 7") << "C0 01 07"
                                   << "service_step"
                                   << "7";
        QTest::newRow("C0 sign-extended") << "C0 01 FE"
                                          << "service_step"
                                          << "-2";
        QTest::newRow("C0 without step") << "C0 00"
                                         << "service_step"
                                         << "-1";
        QTest::newRow("98") << "98 00"
                            << "eeprom_state"
                            << "255 denied";
        QTest::newRow("B4") << "B4 00"
                            << "wrong_board"
                            << "true";
        QTest::newRow("B3 any size") << "B3 00"
                                     << "wrong_board"
                                     << "true";
        QTest::newRow("B3 500") << "B3 02 01 F4"
                                << "laser_current_mA"
                                << QString::number(0.175889f * 500.0 + double(2.07312f), 'f', 4);
        QTest::newRow("AD") << "AD 09 09 FE 00 0C 00 03 04 05 80"
                            << "toc"
                            << "1 1 1 -2 12 3 4 5 -128";
        QTest::newRow("AD short") << "AD 08 09 FE 00 0C 00 03 04 05"
                                  << "toc"
                                  << "0 0 0 0 0 0 0 0 0";
    }
    void responses() {
        QFETCH(QString, frame);
        QFETCH(QString, name);
        QFETCH(QString, value);
        board->tray_state = 9;
        probe->receive(frame);
        QCOMPARE(field(board, name), value);
    }

    void emittedSignals_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("customCommand");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QVariantList>("arguments"); // empty: not emitted
        const QVariantList once{QVariant()};
        QTest::newRow("A3") << "A3 01 3C" << 0x57 << QByteArray(SIGNAL(recieved_fw_version()))
                            << once;
        QTest::newRow("C5") << "C5 04 00 00 00 01" << 0x57 << QByteArray(SIGNAL(recievedDiscID()))
                            << once;
        QTest::newRow("C5 short") << "C5 02 00 00" << 0x57 << QByteArray(SIGNAL(recievedDiscID()))
                                  << QVariantList{};
        QTest::newRow("B5") << "B5 00" << 0x57 << QByteArray(SIGNAL(module_off())) << once;
        QTest::newRow("C0") << "C0 01 07" << 0x57 << QByteArray(SIGNAL(service_mode_step(int)))
                            << QVariantList{7};
        QTest::newRow("C8 after exit")
            << "C8 00" << 0x5A << QByteArray(SIGNAL(service_mode_step(int))) << QVariantList{-1};
        QTest::newRow("C8 otherwise")
            << "C8 00" << 0x57 << QByteArray(SIGNAL(service_mode_step(int))) << QVariantList{};
        QTest::newRow("BD") << "BD 01 01" << 0x57 << QByteArray(SIGNAL(recieved_ev_loader_ok()))
                            << once;
        QTest::newRow("BD without code")
            << "BD 00" << 0x57 << QByteArray(SIGNAL(recieved_ev_loader_ok())) << QVariantList{};
    }
    void emittedSignals() {
        QFETCH(QString, frame);
        QFETCH(int, customCommand);
        QFETCH(QByteArray, signal);
        QFETCH(QVariantList, arguments);
        board->last_custom_command = customCommand;
        QSignalSpy spy(board, signal.constData());
        QVERIFY(spy.isValid());
        probe->receive(frame);
        QCOMPARE(spy.count(), arguments.isEmpty() ? 0 : 1);
        if (!arguments.isEmpty() && arguments.first().isValid())
            QCOMPARE(spy.first(), arguments);
    }

    void discStateReset_clearsTheDisc() {
        batch({"AB 04 00 05 00 00", "C5 04 12 34 AB CD", "A0 01 03"});
        probe->mark();
        window->ui->labelDiscID->setText("Disc ID: 305441741");
        QSignalSpy spy(board, &CD_Board::display_info_changed);
        batch({"A0 01 03", "A1 01 03"});
        QCOMPARE(board->current_track, 0);
        QVERIFY(!board->tick_pending);
        QVERIFY(!board->track_change_pending);
        QVERIFY(!board->board_answered);
        QVERIFY(!board->disc_id_known);
        QCOMPARE(board->disc_id, quint32(0));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(board->disc_id_bytes), 4),
                 QByteArray(4, char(0)));
        QVERIFY(window->ui->labelDiscID->text().isEmpty());
        QCOMPARE(spy.count(), 2);
        // the reset dropped the pending tick and track change
        QCOMPARE(probe->sinceHex(), QStringList{});
    }

    void pll_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("style");
        QTest::newRow("not locked") << "AA 01 00"
                                    << "PLL State: NOT LOCKED"
                                    << "QLabel {color:red}";
        QTest::newRow("locked") << "AA 01 01"
                                << "PLL State: LOCKED"
                                << "QLabel {color:green}";
        QTest::newRow("undefined") << "AA 01 02"
                                   << "PLL State: NOT LOCKED"
                                   << "QLabel {color:black}";
        QTest::newRow("negative") << "AA 01 FF"
                                  << "PLL State: NOT LOCKED"
                                  << "QLabel {color:black}";
    }
    void pll() {
        QFETCH(QString, frame);
        QFETCH(QString, text);
        QFETCH(QString, style);
        probe->receive(frame);
        QCOMPARE(window->ui->labelPLL->text(), text);
        QCOMPARE(window->ui->labelPLL->styleSheet(), style);
    }

    // ---- laser ADC readings ----

    void adc_data() {
        QTest::addColumn<int>("sampling"); // 0 none, 1 or 2
        QTest::addColumn<int>("before");   // samples already collected
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("sufficient"); // signals of the sampled point
        QTest::addColumn<int>("pushed");     // LaserList pushes
        QTest::newRow("not sampling") << 0 << 0 << 0 << 0 << 1;
        QTest::newRow("point 1, first") << 1 << 0 << 1 << 0 << 0;
        QTest::newRow("point 1, 1000th") << 1 << 999 << 1000 << 1 << 0;
        QTest::newRow("point 1, 1001st") << 1 << 1000 << 1000 << 1 << 0;
        QTest::newRow("point 2, 1000th") << 2 << 999 << 1000 << 1 << 0;
        QTest::newRow("point 2, 1001st") << 2 << 1000 << 1000 << 1 << 0;
    }
    void adc() {
        QFETCH(int, sampling);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, sufficient);
        QFETCH(int, pushed);
        board->adc_1_sampling = sampling == 1;
        board->adc_2_sampling = sampling == 2;
        QList<double>& samples = sampling == 2 ? board->adc_2_samples : board->adc_1_samples;
        for (int k = 0; k < before; ++k)
            samples.append(1.0);
        QSignalSpy spy1(board, &CD_Board::recievedSufficientAdc_1Samples);
        QSignalSpy spy2(board, &CD_Board::recievedSufficientAdc_2Samples);
        QSignalSpy pushSpy(board, &CD_Board::laser_push);
        QSignalSpy currentSpy(board, &CD_Board::recievedLaserCurrent);
        const double currentBefore = board->laser_current_mA;
        probe->receive("B3 02 01 F4");
        if (sampling) {
            QCOMPARE(samples.size(), after);
            if (after > before)
                QCOMPARE(samples.last(), 500.0);
        }
        QCOMPARE((sampling == 2 ? spy2 : spy1).count(), sufficient);
        QCOMPARE((sampling == 2 ? spy1 : spy2).count(), 0);
        QCOMPARE(window->laserList->count(), pushed);
        QCOMPARE(pushSpy.count(), pushed);
        QCOMPARE(currentSpy.count(), pushed);
        if (pushed) {
            QCOMPARE(window->laserList->average(), quint32(500));
            QCOMPARE(board->laser_current_mA, 0.175889f * 500.0 + double(2.07312f));
        } else {
            QCOMPARE(board->laser_current_mA, currentBefore);
        }
    }

    // ---- CFLAG frames ----

    void cflags_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("announced");      // recievedCFlags
        QTest::addColumn<QStringList>("labels"); // board, spdif, cflag, message
        QTest::addColumn<QStringList>("styles"); // board, spdif, cflag
        const QString red = "QLabel {color: red}";
        const QString green = "QLabel {color: green}";
        // "-": the label keeps what it showed before
        const QStringList untouched{"-", "-", "-", "-"};
        QTest::newRow("C6, 14 bytes")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 01 05" << 1 << 1
            << QStringList{"  BOARD: OK  ", "  SPDIF: OK  ", "  CFLAG: OK  ", ""}
            << QStringList{green, green, green};
        QTest::newRow("A9, 14 bytes: board label untouched")
            << "A9 0C 00 10 00 01 00 02 00 03 00 04 01 05" << 1 << 0
            << QStringList{"-", "  SPDIF: OK  ", "  CFLAG: OK  ", ""}
            << QStringList{"-", green, green};
        QTest::newRow("C6, 8 bytes: labels untouched")
            << "C6 06 00 10 01 02 03 04" << 1 << 1 << untouched << QStringList{"-", "-", "-"};
        QTest::newRow("A9, 8 bytes")
            << "A9 06 00 10 01 02 03 04" << 1 << 0 << untouched << QStringList{"-", "-", "-"};
        QTest::newRow("SPDIF error")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 11 05" << 0 << 0
            << QStringList{"  BOARD: OK  ", "  SPDIF: no signal  ", "  CFLAG: no data  ",
                           "SPDIF Error: check your SPDIF signal and if it is connected "
                           "properly! In case of persistant error, reconnect the USB-Dongle!"}
            << QStringList{green, red, red};
        QTest::newRow("CFLAG error")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 21 05" << 0 << 0
            << QStringList{"  BOARD: OK  ", "  SPDIF: OK  ", "  CFLAG: no data  ",
                           "CFLAG Error: getting no CFLAG-Data! Make sure EBU-Flags are "
                           "activated and disc is played!"}
            << QStringList{green, green, red};
        QTest::newRow("other error code")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 31 05" << 0 << 0
            << QStringList{"  BOARD: OK  ", "  SPDIF: OK  ", "  CFLAG: OK  ", ""}
            << QStringList{green, green, green};
        QTest::newRow("13 bytes") << "C6 0B 00 10 00 01 00 02 00 03 00 04 01" << 0 << 0 << untouched
                                  << QStringList{"-", "-", "-"};
        QTest::newRow("9 bytes") << "A9 07 00 10 01 02 03 04 05" << 0 << 0 << untouched
                                 << QStringList{"-", "-", "-"};
    }
    void cflags() {
        QFETCH(QString, frame);
        QFETCH(int, records);
        QFETCH(int, announced);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, styles);
        QList<QLabel*> shown{window->boardLabel, window->spdifLabel, window->cflagLabel,
                             window->ui->status_description_spdif_label};
        for (QLabel* label : shown) {
            label->setText("-");
            label->setStyleSheet("-");
        }
        QSignalSpy spy(window.get(), &Control_Panel::recievedCFlags);
        probe->receive(frame);
        QCOMPARE(board->flag_records.size(), records);
        QCOMPARE(board->flagFileCalls, qint64(records));
        QCOMPARE(board->flagPlotCalls, qint64(records));
        QCOMPARE(spy.count(), announced);
        if (announced)
            QCOMPARE(spy.first().first().value<CFlags*>(), board->flag_records.last());
        QStringList texts;
        QStringList sheets;
        for (QLabel* label : shown) {
            texts.append(label->text());
            sheets.append(label->styleSheet());
        }
        QCOMPARE(texts, labels);
        QCOMPARE(sheets.mid(0, 3), styles);
    }

    // The labels follow the flag board from an error back to normal and again into an error.
    void cflags_labelsFollowTheErrorState() {
        const QString spdifError = "C6 0C 00 10 00 01 00 02 00 03 00 04 11 05";
        const QString ok = "C6 0C 00 10 00 01 00 02 00 03 00 04 01 05";
        const QString cflagError = "C6 0C 00 10 00 01 00 02 00 03 00 04 21 05";
        auto state = [this] {
            return QStringList{window->spdifLabel->text(), window->spdifLabel->styleSheet(),
                               window->cflagLabel->text(), window->cflagLabel->styleSheet(),
                               window->ui->status_description_spdif_label->text().left(11)};
        };
        const QString red = "QLabel {color: red}";
        const QString green = "QLabel {color: green}";
        for (int i = 0; i < 2; ++i)
            probe->receive(spdifError);
        QCOMPARE(state(), QStringList({"  SPDIF: no signal  ", red, "  CFLAG: no data  ", red,
                                       "SPDIF Error"}));
        probe->receive(ok);
        QCOMPARE(state(), QStringList({"  SPDIF: OK  ", green, "  CFLAG: OK  ", green, ""}));
        probe->receive(cflagError);
        QCOMPARE(state(),
                 QStringList({"  SPDIF: OK  ", green, "  CFLAG: no data  ", red, "CFLAG Error"}));
    }

    void cflags_recordFields_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("8 bytes") << "A9 06 81 02 83 04 85 06"
                                 << QList<int>{0x8102, 0x83, 0x04, 0x85, 0x06};
        QTest::newRow("14 bytes") << "C6 0C 81 02 83 04 85 06 87 08 89 0A 02 00"
                                  << QList<int>{0x8102, 0x8304, 0x8506, 0x8708, 0x890A};
    }
    void cflags_recordFields() {
        QFETCH(QString, frame);
        QFETCH(QList<int>, counts);
        board->current_track = 0x12345;
        board->current_time = QTime(0, 3, 4);
        board->flag_seconds = 65537;
        probe->receive(frame);
        QCOMPARE(board->flag_records.size(), 1);
        const CFlags* r = board->flag_records.first();
        QCOMPARE((QList<int>{r->getC1Flags(), r->getC1Uncorrectable(), r->getC2Flags(),
                             r->getC2Uncorrectable(), r->getInterpolationFlags()}),
                 counts);
        QCOMPARE(r->getTrack(), quint16(0x2345));
        QVERIFY(!r->getTrackClock().isValid());
        QCOMPARE(r->getPlayTime(), QTime(0, 3, 4));
        QCOMPARE(r->getPlayTimeSeconds(), qint16(184));
        QCOMPARE(r->getFlagSecond(), quint16(1));
    }

    void cflags_noRecordsWhileTheErrorLasts() {
        probe->receive("C6 0C 00 00 00 00 00 00 00 00 00 00 11 05");
        probe->receive("C6 06 00 00 00 00 00 00");
        probe->receive("A9 06 00 00 00 00 00 00");
        QCOMPARE(board->flag_records.size(), 0);
        QCOMPARE(window->flag_error, 1);
        probe->receive("C6 0C 00 00 00 00 00 00 00 00 00 00 03 05");
        QCOMPARE(window->flag_error, 0);
        QCOMPARE(window->flag_sub_status, 3);
        QVERIFY(window->ui->status_description_spdif_label->text().isEmpty());
        probe->receive("C6 06 00 00 00 00 00 00");
        QCOMPARE(board->flag_records.size(), 2);
    }

    void cflags_firmwareShownOnce() {
        window->connectionLabel->setText("Connected");
        board->wrong_board = true;
        probe->receive("C6 0C 00 00 00 00 00 00 00 00 00 00 01 07");
        QCOMPARE(window->connectionLabel->text(), QString("Connected, FW-Version: 7"));
        QVERIFY(window->flag_fw_shown);
        QVERIFY(window->flag_data_seen);
        QCOMPARE(window->flag_fw_version, 7);
        probe->receive("C6 0C 00 00 00 00 00 00 00 00 00 00 01 08");
        QCOMPARE(window->connectionLabel->text(), QString("Connected, FW-Version: 7"));
        QCOMPARE(window->flag_fw_version, 8);
        window->flag_fw_shown = false;
        probe->receive("C6 0C 00 00 00 00 00 00 00 00 00 00 01 F0");
        QCOMPARE(window->connectionLabel->text(), QString("Connected, FW-Version: 7"));
        QVERIFY(!window->flag_fw_shown);
    }

    void cflags_fourteenBytesMarkTheRightBoard() {
        // a 0xB3 earlier in the batch marks the wrong board; a 14-byte CFLAG frame clears it
        batch({"B3 00", "A9 0C 00 00 00 00 00 00 00 00 00 00 01 00"});
        QVERIFY(!board->wrong_board);
        batch({"B3 00", "A9 06 00 00 00 00 00 00"});
        QVERIFY(board->wrong_board);
    }

    // ---- loader codes ----

    void loaderList_fillsComboAndLabel() {
        QComboBox* combo = window->ui->comboBox_selected_loader_type;
        probe->receive("C7 03 01 22 84");
        QCOMPARE(board->possible_loaders, (QList<quint8>{0x01, 0x22, 0x84}));
        QVERIFY(board->loader_list_complete);
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(0), QString("None"));
        QCOMPARE(combo->itemText(1), QString("Tray Loader + Sony KHM"));
        QCOMPARE(combo->itemText(3), QString("DK-Tria Tray + Sanyo DA11"));
        QCOMPARE(combo->itemData(2).toString(), QString(QChar(0x22)));
        QCOMPARE(window->ui->label_possible_loader_types_list->text(),
                 QString("Tray Loader + Sony KHM\nTop Loader + Sanyo HD850\nDK-Tria Tray + "
                         "Sanyo DA11\n"));
        // a second list replaces the first
        probe->receive("C7 01 41");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(window->ui->label_possible_loader_types_list->text(),
                 QString("Slot Loader  + Sony KHM\n"));
    }

    void loaderList_empty() {
        probe->receive("C7 02 01 02");
        probe->receive("C7 00");
        QVERIFY(board->possible_loaders.isEmpty());
        QVERIFY(board->loader_list_complete);
        QCOMPARE(window->ui->comboBox_selected_loader_type->count(), 1);
        QVERIFY(window->ui->label_possible_loader_types_list->text().isEmpty());
    }

    void loaderList_takesOnlyBytesPresent() {
        // a length byte that promises more than the frame holds
        batch({"C7 05 01 02"});
        QCOMPARE(board->possible_loaders, (QList<quint8>{0x01, 0x02}));
        QCOMPARE(window->ui->comboBox_selected_loader_type->count(), 3);
    }

    void loaderList_takesOverTheAnnouncedType() {
        probe->receive("BD 01 81");
        QCOMPARE(window->statusLabel->text(), QString("Loader Type: Tray Loader DK-Tria"));
        QCOMPARE(board->pending_loader_type, quint8(0x81));
        QCOMPARE(board->loader_type, quint8(0x81));
        board->loader_type = 0;
        board->loader_type_known = false;
        probe->receive("C7 02 01 81");
        QCOMPARE(board->loader_type, quint8(0x81));
        QVERIFY(board->loader_type_known);
        QCOMPARE(window->ui->comboBox_selected_loader_type->currentIndex(), 2);
    }

    void loaderType_inTheListIsNotBuffered() {
        probe->receive("C7 02 01 22");
        probe->receive("BD 01 22");
        QCOMPARE(board->pending_loader_type, quint8(0));
        QCOMPARE(board->loader_type, quint8(0x22));
        QCOMPARE(window->statusLabel->text(), QString("Loader Type: Top Loader"));
        probe->receive("BD 01 44");
        QCOMPARE(board->pending_loader_type, quint8(0x44));
    }

    void loaderType_statusText_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("01") << 0x01 << "Loader Type: Tray Loader";
        QTest::newRow("22") << 0x22 << "Loader Type: Top Loader";
        QTest::newRow("44") << 0x44 << "Loader Type: Slot Loader";
        QTest::newRow("81") << 0x81 << "Loader Type: Tray Loader DK-Tria";
        for (int code : {0x12, 0x35, 0x51, 0x62, 0x74, 0x91, 0xF2})
            QTest::addRow("%02X unchanged", code) << code << "before";
    }
    void loaderType_statusText() {
        QFETCH(int, code);
        QFETCH(QString, text);
        window->statusLabel->setText("before");
        probe->receive(QString("BD 01 %1").arg(code, 2, 16, QChar('0')));
        QCOMPARE(window->statusLabel->text(), text);
        QCOMPARE(board->loader_type, quint8(code));
    }

    void loaderList_announcesTheEepromLoader() {
        QSignalSpy spy(board, &CD_Board::retrievedloaderTypeFromEeprom);
        probe->receive("C7 01 01");
        QCOMPARE(spy.count(), 0);
        board->loader_from_eeprom = true;
        probe->receive("C7 01 01");
        QCOMPARE(spy.count(), 1);
    }

    void selectLoaderEntry_neverThePlaceholder() {
        probe->receive("C7 02 01 02");
        QVERIFY(!window->selectLoaderEntry(0x44));
        QCOMPARE(window->ui->comboBox_selected_loader_type->currentIndex(), 0);
        QVERIFY(window->selectLoaderEntry(0x02));
        QCOMPARE(window->ui->comboBox_selected_loader_type->currentIndex(), 2);
    }

    // ---- frames from outside: nothing may read past a frame ----

    void hostileFrames_everyCodeEverySize() {
        // Every code the framing accepts, every size up to the longest frame, in every
        // sequence state; the sanitizer build reports any read outside a frame.
        const QList<std::function<void()>> states = {
            [] {},
            [this] { board->readLaserHistory(); },
            [this] {
                board->readLaserHistory();
                board->history_page = 0x31;
            },
            [this] { board->awaiting_runtime = true; },
            [this] { board->readZeroByte(); },
            [this] { board->resetLaserHistory(); },
            [this] { board->history_reset_2 = true; },
            [this] { board->eeprom_state = 1; },
            [this] { board->eeprom_state = 3; },
            [this] { board->eeprom_state = 5; },
            [this] { board->eeprom_state = 7; },
            [this] { board->eeprom_state = 8; },
            [this] { board->adc_1_sampling = true; },
        };
        for (const auto& enter : states) {
            for (int code = 0x98; code <= 0xCD; ++code) {
                for (int size = 1; size <= 129; size += (size < 24 ? 1 : 35)) {
                    for (char fill : {char(0x00), char(0xFF), char(0x10)}) {
                        enter();
                        QByteArray bytes(size, fill);
                        bytes[0] = char(code);
                        if (size > 1)
                            bytes[1] = char(size - 2);
                        board->commands.append(
                            BoardFrame{board, bytes, {}, code, size > 1 ? size - 2 : 0});
                        board->parseCommand();
                    }
                }
            }
        }
        QCOMPARE(board->parse_index, board->commands.size());
    }
};

QTEST_MAIN(tst_cd_board_decode)
#include "tst_cd_board_decode.moc"
