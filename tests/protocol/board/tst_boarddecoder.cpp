// The decoder alone: frames in, board state, requests and events out.
#include "decoderprobe.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString Tick = "A0 01 01";
const QString TrackChange = "A0 01 02";
const QString Time = "AC 03 00 4B 09";

// A board field as text, for the data-driven rows.
QString field(const BoardState& s, const QString& name) {
    if (name == "tray_state")
        return QString::number(s.player.tray_state);
    if (name == "current_track")
        return QString::number(s.player.current_track);
    if (name == "current_time")
        return s.player.current_time.toString("hh:mm:ss");
    if (name == "disc_id")
        return QString::number(s.player.disc_id, 16).toUpper() +
               (s.player.disc_id_known ? " known" : "");
    if (name == "fw_version")
        return QString::number(s.link.fw_version);
    if (name == "tag_complete")
        return s.player.tag_complete ? "true" : "false";
    if (name == "disc_state")
        return QString::number(s.player.disc_state);
    if (name == "service_step")
        return QString::number(s.service.service_step);
    if (name == "wrong_board")
        return s.link.wrong_board ? "true" : "false";
    if (name == "laser_current_mA")
        return QString::number(s.laser.laser_current_mA, 'f', 4);
    if (name == "toc")
        return QString("%1 %2 %3 %4 %5 %6 %7 %8 %9")
            .arg(s.toc.read)
            .arg(s.toc.flag_a)
            .arg(s.toc.flag_b)
            .arg(s.toc.value_1)
            .arg(s.toc.tracks)
            .arg(s.toc.value_5)
            .arg(s.toc.value_6)
            .arg(s.toc.value_7)
            .arg(s.toc.value_8);
    return "unknown field " + name;
}

} // namespace

class tst_boarddecoder : public QObject {
    Q_OBJECT

private:
    DecoderProbe p;

    QList<const CFlags*> records() const {
        QList<const CFlags*> list;
        for (const auto* e : p.all<BoardEvent::FlagRecord>())
            list.append(e->record.get());
        return list;
    }

private slots:
    void init() { p = DecoderProbe(); }

    // ---- follow-up requests, frame by frame ----

    void followUps_data() {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("tick, then a time")
            << QStringList{Tick, Time}
            << QStringList{"28 01 00", "28 01 01", "54 00", "27 00", "24 00"};
        // the track change waits for the time the tick asks for
        QTest::newRow("tick and track change, then a time")
            << QStringList{"A0 01 03", Time}
            << QStringList{"28 01 00", "28 01 01", "54 00", "27 00", "24 00", "27 00"};
        QTest::newRow("tick with track and disc known")
            << QStringList{"AB 04 00 05 00 00", "C5 04 00 00 00 01", Tick}
            << QStringList{"28 01 00", "28 01 01", "54 00"};
        QTest::newRow("track change without a time") << QStringList{TrackChange} << QStringList{};
        QTest::newRow("disc ready before contents")
            << QStringList{"A1 01 04"} << QStringList{"21 00"};
        QTest::newRow("disc ready after contents")
            << QStringList{"AD 09 00 00 00 0C 00 00 00 00 00", "A1 01 04"} << QStringList{"24 00"};
        QTest::newRow("first firmware version")
            << QStringList{"A3 01 3C", "A3 01 3C"}
            << QStringList{"62 09 21 00", "62 08 10 00", "62 10 00 00",
                           "62 08 0F 08", "70 00",       "62 01 11 00"};
        QTest::newRow("status bit 2 only") << QStringList{"A0 01 04"} << QStringList{};
    }
    void followUps() {
        QFETCH(QStringList, frames);
        QFETCH(QStringList, requests);
        p.feed(frames);
        QCOMPARE(p.sent, requests);
    }

    void everyFrame_marksTheBoardAnswered() {
        LinkWatch& link = p.decoder->state.link;
        link.board_answered = false;
        link.noBoard = true;
        link.noBoardReported = true;
        p.feed("B4 00");
        QVERIFY(link.board_answered);
        QVERIFY(link.wrong_board);
        QVERIFY(!link.noBoard && !link.noBoardReported);
        // the verdict is the last frame's
        p.feed("B1 00");
        QVERIFY(!link.wrong_board);
        QCOMPARE(p.count<BoardEvent::DisplayInfoChanged>(), 2);
    }

    void tagPoll_data() {
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<int>("polls");
        QTest::newRow("disc ready, track known")
            << QStringList{"A1 01 04", "AB 04 00 05 00 00"} << 1;
        QTest::newRow("tag complete")
            << QStringList{"A1 01 04", "A4 05 00 00 00 01 00", "AB 04 00 05 00 00"} << 0;
        QTest::newRow("no track yet") << QStringList{"A1 01 04", "B1 00"} << 0;
    }
    void tagPoll() {
        QFETCH(QStringList, frames);
        QFETCH(int, polls);
        p.feed(frames);
        QCOMPARE(p.count<BoardEvent::TagPollDue>(), polls);
    }

    void flagClock_countsPastMidnight() {
        p.decoder->state.flags.flag_seconds = 86399;
        p.feed({Tick, "C6 06 00 00 00 00 00 00"});
        QCOMPARE(p.decoder->state.flags.flag_seconds, quint64(86400));
        QCOMPARE(p.decoder->state.flags.flag_clock, QTime(0, 0, 0));
        QCOMPARE(records().size(), 1);
        QCOMPARE(records().last()->getFlagSecond(), quint16(86400 % 65536));
    }

    // ---- single responses ----

    void responses_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        const QList<QStringList> rows = {
            {"B1", "B1 00", "tray_state", "1"},
            {"B2 with parameters", "B2 02 01 02", "tray_state", "2"},
            {"B7", "B7 00", "tray_state", "0"},
            {"BB", "BB 00", "tray_state", "3"},
            {"BC", "BC 00", "tray_state", "4"},
            {"skipped A2", "A2 01 00", "tray_state", "9"},
            {"skipped CD", "CD 00", "tray_state", "9"},
            {"AB track 5", "AB 04 00 05 00 00", "current_track", "5"},
            {"AB sign-extended", "AB 04 00 FB 00 00", "current_track", "-5"},
            {"AB short", "AB 03 00 05 00", "current_track", "0"},
            {"AC 01:15:09", Time, "current_time", "01:15:09"},
            {"AC negative seconds", "AC 03 00 4B 85", "current_time", "01:15:00"},
            {"AC negative minutes", "AC 03 00 F0 01", "current_time", ""},
            {"AC short: no time yet", "AC 02 00 4B", "current_time", ""},
            {"C5 unsigned", "C5 04 12 34 AB CD", "disc_id", "1234ABCD known"},
            {"C5 three parameters", "C5 03 12 34 AB", "disc_id", "0"},
            {"C5 five parameters", "C5 05 12 34 AB CD EF", "disc_id", "0"},
            {"A3 unsigned", "A3 01 FF", "fw_version", "255"},
            {"A3 short", "A3 00", "fw_version", "0"},
            {"A4 complete", "A4 05 00 00 00 01 00", "tag_complete", "true"},
            {"A4 not complete", "A4 05 00 00 00 02 00", "tag_complete", "false"},
            {"A4 short", "A4 04 00 00 00 01", "tag_complete", "false"},
            {"A1 4", "A1 01 04", "disc_state", "4"},
            {"A1 5", "A1 01 05", "disc_state", "5"},
            {"A1 6", "A1 01 06", "disc_state", "0"},
            {"A1 long", "A1 02 04 00", "disc_state", "0"},
            {"C0 step 7", "C0 01 07", "service_step", "7"},
            {"C0 sign-extended", "C0 01 FE", "service_step", "-2"},
            {"C0 without step", "C0 00", "service_step", "-1"},
            {"B4", "B4 00", "wrong_board", "true"},
            {"B3 any size", "B3 00", "wrong_board", "true"},
            {"B3 500", "B3 02 01 F4", "laser_current_mA",
             QString::number(0.175889f * 500.0 + double(2.07312f), 'f', 4)},
            {"AD", "AD 09 09 FE 00 0C 00 03 04 05 80", "toc", "1 1 1 -2 12 3 4 5 -128"},
            {"AD short", "AD 08 09 FE 00 0C 00 03 04 05", "toc", "0 0 0 0 0 0 0 0 0"},
        };
        for (const QStringList& row : rows)
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2] << row[3];
    }
    void responses() {
        QFETCH(QString, frame);
        QFETCH(QString, name);
        QFETCH(QString, value);
        p.decoder->state.player.tray_state = 9;
        p.feed(frame);
        QCOMPARE(field(p.decoder->state, name), value);
    }

    void writeRefused() {
        DecodeOutcome out;
        p.decoder->eepromRun.start(EepromRun::Kind::Settings, EepromParameters(), out);
        p.feed("98 00");
        QCOMPARE(p.decoder->eepromRun.text(), QString("Error: Write Access to EEPROM denied!"));
        QVERIFY(p.decoder->state.eeprom.eeprom_write_denied);
        QCOMPARE(p.count<BoardEvent::WriteRefused>(), 1);
    }

    void serviceEnd_onlyAfterAnExit_data() {
        QTest::addColumn<int>("customCommand");
        QTest::addColumn<int>("ends");
        QTest::newRow("after 5A") << 0x5A << 1;
        QTest::newRow("otherwise") << 0x57 << 0;
    }
    void serviceEnd_onlyAfterAnExit() {
        QFETCH(int, customCommand);
        QFETCH(int, ends);
        p.decoder->state.service.last_custom_command = customCommand;
        p.feed("C8 00");
        QCOMPARE(p.count<BoardEvent::ServiceStep>(), ends);
        if (ends)
            QCOMPARE(p.last<BoardEvent::ServiceStep>()->step, -1);
    }

    void discStateReset_clearsTheDisc() {
        p.feed({"AB 04 00 05 00 00", "C5 04 12 34 AB CD"});
        p.sent.clear();
        p.feed("A1 01 03");
        const PlayerState& player = p.decoder->state.player;
        QCOMPARE(player.current_track, 0);
        QVERIFY(!player.disc_id_known);
        QCOMPARE(player.disc_id, quint32(0));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(player.disc_id_bytes), 4),
                 QByteArray(4, char(0)));
        QVERIFY(!p.decoder->state.link.board_answered);
        QCOMPARE(p.count<BoardEvent::DiscCleared>(), 1);
        // a tick and a track change that came before are dropped with the disc
        p.decoder->state.player.tick_pending = true;
        p.decoder->state.player.track_change_pending = true;
        p.feed("A1 01 03");
        QCOMPARE(p.sent, QStringList{});
    }

    // ---- laser ADC readings ----

    void adc_data() {
        QTest::addColumn<int>("sampling"); // 0 none, 1 or 2
        QTest::addColumn<int>("before");   // samples already collected
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("sufficient"); // events of the sampled point
        QTest::addColumn<int>("readings");   // readings for the ring and the live current
        QTest::newRow("not sampling") << 0 << 0 << 0 << 0 << 1;
        QTest::newRow("point 1, first") << 1 << 0 << 1 << 0 << 0;
        QTest::newRow("point 1, 1000th") << 1 << 999 << 1000 << 1 << 0;
        // a calculated point samples no more: the ring and the live current take the reading
        QTest::newRow("point 1, 1001st") << 1 << 1000 << 1000 << 0 << 1;
        QTest::newRow("point 2, 1000th") << 2 << 999 << 1000 << 1 << 0;
        QTest::newRow("point 2, 1001st") << 2 << 1000 << 1000 << 0 << 1;
    }
    void adc() {
        QFETCH(int, sampling);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, sufficient);
        QFETCH(int, readings);
        LaserCalibration& calibration = p.decoder->state.laser.calibration;
        calibration.start(sampling);
        for (int k = 0; k < before; ++k)
            p.feed("B3 02 00 01");
        p.events.clear();
        p.feed("B3 02 01 F4");
        if (sampling)
            QCOMPARE(calibration.sampleCount(sampling), after);
        QCOMPARE(p.count<BoardEvent::SamplesSufficient>(), sufficient);
        if (sufficient)
            QCOMPARE(p.last<BoardEvent::SamplesSufficient>()->point, sampling);
        QCOMPARE(p.count<BoardEvent::LaserReading>(), readings);
        const LaserState& laser = p.decoder->state.laser;
        if (readings) {
            QCOMPARE(int(p.last<BoardEvent::LaserReading>()->value), 500);
            QCOMPARE(laser.laser_current_mA, 0.175889f * 500.0 + double(2.07312f));
        } else {
            QCOMPARE(laser.laser_current_mA, 0.0);
        }
    }

    // ---- CFLAG frames ----

    void cflags_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("recordCount");
        QTest::addColumn<int>("status"); // error code of the status event, -1: none
        QTest::addColumn<bool>("fromFlagBoard");
        QTest::newRow("C6, 14 bytes")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 01 05" << 1 << 0 << true;
        QTest::newRow("A9, 14 bytes")
            << "A9 0C 00 10 00 01 00 02 00 03 00 04 01 05" << 1 << 0 << false;
        QTest::newRow("C6, 8 bytes") << "C6 06 00 10 01 02 03 04" << 1 << -1 << true;
        QTest::newRow("A9, 8 bytes") << "A9 06 00 10 01 02 03 04" << 1 << -1 << false;
        QTest::newRow("SPDIF error")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 11 05" << 0 << 1 << true;
        QTest::newRow("CFLAG error")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 21 05" << 0 << 2 << true;
        QTest::newRow("other error code")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 31 05" << 0 << 3 << true;
        QTest::newRow("13 bytes") << "C6 0B 00 10 00 01 00 02 00 03 00 04 01" << 0 << -1 << true;
        QTest::newRow("9 bytes") << "A9 07 00 10 01 02 03 04 05" << 0 << -1 << false;
    }
    void cflags() {
        QFETCH(QString, frame);
        QFETCH(int, recordCount);
        QFETCH(int, status);
        QFETCH(bool, fromFlagBoard);
        p.feed(frame);
        QCOMPARE(records().size(), recordCount);
        if (recordCount) {
            const auto* e = p.last<BoardEvent::FlagRecord>();
            QCOMPARE(e->fromFlagBoard, fromFlagBoard);
        }
        QCOMPARE(p.count<BoardEvent::FlagStatus>(), status < 0 ? 0 : 1);
        if (status >= 0) {
            QCOMPARE(p.last<BoardEvent::FlagStatus>()->error, status);
            QCOMPARE(p.last<BoardEvent::FlagStatus>()->fromFlagBoard, fromFlagBoard);
        }
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
        p.decoder->state.player.current_track = 0x12345;
        p.decoder->state.player.current_time = QTime(0, 3, 4);
        p.decoder->state.flags.flag_seconds = 65537;
        p.feed(frame);
        QCOMPARE(records().size(), 1);
        const CFlags* r = records().first();
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
        p.feed({"C6 0C 00 00 00 00 00 00 00 00 00 00 11 05", "C6 06 00 00 00 00 00 00",
                "A9 06 00 00 00 00 00 00"});
        QCOMPARE(records().size(), 0);
        QCOMPARE(p.decoder->state.flags.flag_error, 1);
        p.feed("C6 0C 00 00 00 00 00 00 00 00 00 00 03 05");
        QCOMPARE(p.decoder->state.flags.flag_error, 0);
        QCOMPARE(p.decoder->state.flags.flag_sub_status, 3);
        p.feed("C6 06 00 00 00 00 00 00");
        QCOMPARE(records().size(), 2);
    }

    void cflags_firmwareShownOnce() {
        p.feed("C6 0C 00 00 00 00 00 00 00 00 00 00 01 07");
        QCOMPARE(p.count<BoardEvent::FlagFirmware>(), 1);
        QCOMPARE(p.last<BoardEvent::FlagFirmware>()->version, 7);
        QVERIFY(p.decoder->state.flags.flag_fw_shown);
        QVERIFY(p.decoder->state.flags.flag_data_seen);
        p.feed("C6 0C 00 00 00 00 00 00 00 00 00 00 01 08");
        QCOMPARE(p.count<BoardEvent::FlagFirmware>(), 1);
        QCOMPARE(p.decoder->state.flags.flag_fw_version, 8);
        // a negative version is never shown
        p.decoder->state.flags.flag_fw_shown = false;
        p.feed("C6 0C 00 00 00 00 00 00 00 00 00 00 01 F0");
        QCOMPARE(p.count<BoardEvent::FlagFirmware>(), 1);
        QVERIFY(!p.decoder->state.flags.flag_fw_shown);
    }

    // ---- loader codes ----

    void loaderList() {
        p.feed("C7 03 01 22 84");
        QCOMPARE(p.decoder->state.loader.possible_loaders, (QList<quint8>{0x01, 0x22, 0x84}));
        QVERIFY(p.decoder->state.loader.loader_list_complete);
        // a length byte that promises more than the frame holds: only the bytes present
        p.feed("C7 05 01 02");
        QCOMPARE(p.decoder->state.loader.possible_loaders, (QList<quint8>{0x01, 0x02}));
        p.feed("C7 00");
        QVERIFY(p.decoder->state.loader.possible_loaders.isEmpty());
        QVERIFY(p.decoder->state.loader.loader_list_complete);
        QCOMPARE(p.count<BoardEvent::LoaderList>(), 3);
        QCOMPARE(p.count<BoardEvent::LoaderFromEeprom>(), 0);
        p.decoder->state.loader.loader_from_eeprom = true;
        p.feed("C7 01 01");
        QCOMPARE(p.count<BoardEvent::LoaderFromEeprom>(), 1);
    }

    void loaderList_takesOverTheAnnouncedType() {
        p.feed("BD 01 81");
        QCOMPARE(p.decoder->state.loader.pending_loader_type, quint8(0x81));
        QCOMPARE(p.decoder->state.loader.loader_type, quint8(0x81));
        p.decoder->state.loader.loader_type = 0;
        p.decoder->state.loader.loader_type_known = false;
        p.feed("C7 02 01 81");
        QCOMPARE(p.decoder->state.loader.loader_type, quint8(0x81));
        QVERIFY(p.decoder->state.loader.loader_type_known);
        QCOMPARE(int(p.last<BoardEvent::LoaderSelected>()->code), 0x81);
    }

    void loaderType_inTheListIsNotBuffered() {
        p.feed({"C7 02 01 22", "BD 01 22"});
        QCOMPARE(p.decoder->state.loader.pending_loader_type, quint8(0));
        QCOMPARE(p.decoder->state.loader.loader_type, quint8(0x22));
        p.feed("BD 01 44");
        QCOMPARE(p.decoder->state.loader.pending_loader_type, quint8(0x44));
        QCOMPARE(p.count<BoardEvent::LoaderTypeOk>(), 2);
        p.feed("BD 00");
        QCOMPARE(p.count<BoardEvent::LoaderTypeOk>(), 2);
    }

    void loaderType_statusText_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text"); // empty: no text for the status bar
        QTest::newRow("01") << 0x01 << "Loader Type: Tray Loader";
        QTest::newRow("22") << 0x22 << "Loader Type: Top Loader";
        QTest::newRow("44") << 0x44 << "Loader Type: Slot Loader";
        QTest::newRow("81") << 0x81 << "Loader Type: Tray Loader DK-Tria";
        for (int code : {0x12, 0x35, 0x51, 0x62, 0x74, 0x91, 0xF2})
            QTest::addRow("%02X unchanged", code) << code << "";
    }
    void loaderType_statusText() {
        QFETCH(int, code);
        QFETCH(QString, text);
        p.feed(QString("BD 01 %1").arg(code, 2, 16, QChar('0')));
        const auto* label = p.last<BoardEvent::LoaderLabel>();
        QCOMPARE(label ? label->text : QString(), text);
        QCOMPARE(p.decoder->state.loader.loader_type, quint8(code));
    }

    // ---- frames from outside: nothing may read past a frame ----

    void hostileFrames_everyCodeEverySize() {
        // Every code the framing accepts, every size up to the longest frame, in every
        // exchange and programming step; the sanitizer build reports any read outside a frame.
        DecodeOutcome started;
        const auto run = [this, &started](EepromRun::Kind kind) {
            p.decoder->eepromRun.start(kind, EepromParameters(), started);
        };
        const QList<std::function<void()>> states = {
            [] {},
            [this] { p.decoder->readLaserHistory(); },
            [this] {
                p.decoder->readLaserHistory();
                p.decoder->historyRead.history_page = 0x31;
            },
            [this] {
                p.decoder->readLaserHistory();
                p.decoder->historyRead.step = HistoryRead::Step::Runtime;
            },
            [this] { p.decoder->readZeroByte(); },
            [this] { p.decoder->resetLaserHistory(); },
            [this] {
                p.decoder->resetLaserHistory();
                p.decoder->historyErase.step = HistoryErase::Step::ClearRuntime;
            },
            [run] { run(EepromRun::Kind::Settings); },
            [run] { run(EepromRun::Kind::Full); },
            [this] { p.decoder->state.laser.calibration.start(1); },
        };
        int decoded = 0;
        for (const auto& enter : states) {
            for (int code = 0x98; code <= 0xCD; ++code) {
                for (int size = 1; size <= 129; size += (size < 24 ? 1 : 35)) {
                    for (char fill : {char(0x00), char(0xFF), char(0x10)}) {
                        enter();
                        QByteArray bytes(size, fill);
                        bytes[0] = char(code);
                        if (size > 1)
                            bytes[1] = char(size - 2);
                        DecodeOutcome out;
                        p.decoder->decode(bytes, out);
                        ++decoded;
                    }
                }
            }
        }
        QVERIFY(decoded > 0);
    }
};

QTEST_GUILESS_MAIN(tst_boarddecoder)
#include "tst_boarddecoder.moc"
