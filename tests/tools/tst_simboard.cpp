// Unit tests of the board simulator's model: command cutting, the frames each command is
// answered with, timed events, fault injection and the pseudo-terminal end of the line.

#include "commandcutter.h"
#include "eepromimage.h"
#include "flagstream.h"
#include "framebuilder.h"
#include "ispbootloader.h"
#include "simboard.h"
#include "simoptions.h"
#include "simport.h"
#include "simrandom.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

Bytes hex(const QString& text) {
    const QByteArray raw = QByteArray::fromHex(text.toLatin1());
    return Bytes(raw.begin(), raw.end());
}

QString str(const Bytes& bytes) {
    return QString::fromStdString(FrameBuilder::hex(bytes));
}

// The frames of an output batch, joined with " | ".
QString frames(const std::vector<SimOutput>& out) {
    QStringList parts;
    for (const SimOutput& o : out)
        if (o.kind == SimOutput::Kind::Frame)
            parts << str(o.bytes);
    return parts.join(" | ");
}

SimOptions dk61Options() {
    SimOptions o;
    o.board = SimOptions::Board::Dk61;
    return o;
}

SimBoard makeBoard(const SimOptions& o, uint64_t seed = 1) {
    SimBoard board(o,
                   EepromImage::makeDefault(static_cast<uint8_t>(o.loader),
                                            static_cast<uint8_t>(o.baudFlag), o.laserAdc),
                   seed);
    board.start(0);
    return board;
}

// Sends one command at `t` and returns the frames it caused.
QString ask(SimBoard& board, const QString& command, int64_t t = 0) {
    board.handleCommand(hex(command), t);
    board.advance(t);
    return frames(board.takeOutput());
}

QString collect(SimBoard& board, int64_t from, int64_t to, int64_t step = 1) {
    QStringList parts;
    for (int64_t t = from; t <= to; t += step) {
        board.advance(t);
        const QString f = frames(board.takeOutput());
        if (!f.isEmpty())
            parts << f;
    }
    return parts.join(" | ");
}

// Options as given on the command line (after "--board dk61").
SimOptions::ParseResult parse(const QStringList& args, SimOptions& o, std::string& error) {
    std::vector<std::string> storage{"dk61-sim"};
    for (const QString& a : args)
        storage.push_back(a.toStdString());
    std::vector<const char*> argv;
    for (const std::string& s : storage)
        argv.push_back(s.c_str());
    return SimOptions::parse(int(argv.size()), argv.data(), o, error);
}

SimOptions parsed(const QString& args) {
    SimOptions o;
    std::string error;
    if (parse(("--board dk61 " + args).split(' ', Qt::SkipEmptyParts), o, error) !=
        SimOptions::ParseResult::Ok)
        qFatal("bad options %s: %s", qPrintable(args), error.c_str());
    return o;
}

// A laser reading "B3 02 hi lo" as "B3~v", v rounded to tens (the noise is +-2).
QString masked(const QString& frames) {
    QStringList out;
    for (const QString& f : frames.split(" | ", Qt::SkipEmptyParts)) {
        const Bytes b = hex(QString(f).remove(' '));
        out << (b.size() == 4 && b[0] == 0xB3
                    ? QString("B3~%1").arg(qRound(((b[2] << 8) | b[3]) / 10.0) * 10)
                    : f);
    }
    return out.join(" | ");
}

const uint8_t* u8(const QByteArray& bytes) {
    return reinterpret_cast<const uint8_t*>(bytes.constData());
}

QString bytesText(const Bytes& b) {
    return QString::fromLatin1(reinterpret_cast<const char*>(b.data()), int(b.size()));
}

} // namespace

class TestSimBoard : public QObject {
    Q_OBJECT

private slots:
    void flagFrame_layout_data();
    void flagFrame_layout();
    void flagStream_waitsForIntervalCommand();
    void flagStream_startIntervalAndSwitch();
    void flagCounts_followMeansAndCaps_data();
    void flagCounts_followMeansAndCaps();
    void sameSeed_sameStream();
    void commandCutter_data();
    void commandCutter();
    void dk61Replies_data();
    void dk61Replies();
    void flagBoard_ignoresDk61Commands();
    void memoryWrite_storedAndReadBack();
    void memoryWrite_refused();
    void laserAdc_staysAroundValue();
    void play_ticksTimeAndTracks();
    void play_endOfTrackAndDisc();
    void tray_openCloseAndDiscReady();
    void serviceMode_steps();
    void scripted_data();
    void scripted();
    void bootloader_dialogue();
    void bootloader_enteredByQuestionMarkLeftByGo();
    void garbage_neverStartsAFrame();
    void debugTextAndPll_periodic();
    void eeprom_saveLoadRoundTrip();
    void options_parse_data();
    void options_parse();
    void port_noReaderDropsAndReaderGetsOnlyNewBytes();
    void port_chunksArePaced();
};

void TestSimBoard::flagFrame_layout_data() {
    QTest::addColumn<int>("board");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("frame8");
    QTest::addColumn<bool>("a9");
    QTest::addColumn<int>("periodMs");
    QTest::addColumn<QString>("tail"); // status and firmware bytes of a 14-byte frame

    const int flag = int(SimOptions::Board::Flag);
    QTest::newRow("1 s") << flag << 1 << 0 << false << false << 1000 << "01 07";
    QTest::newRow("170 ms") << flag << 2 << 0 << false << false << 170 << "02 07";
    QTest::newRow("30 ms") << flag << 3 << 0 << false << false << 30 << "03 07";
    QTest::newRow("SPDIF error") << flag << 1 << 1 << false << false << 1000 << "11 07";
    QTest::newRow("CFLAG error") << flag << 3 << 2 << false << false << 30 << "23 07";
    QTest::newRow("8-byte") << flag << 2 << 0 << true << false << 170 << "";
    QTest::newRow("A9 code") << flag << 1 << 0 << false << true << 1000 << "01 07";
    QTest::newRow("both boards") << int(SimOptions::Board::Both) << 1 << 0 << false << false << 1000
                                 << "01 07";
}

void TestSimBoard::flagFrame_layout() {
    QFETCH(int, board);
    QFETCH(int, interval);
    QFETCH(int, error);
    QFETCH(bool, frame8);
    QFETCH(bool, a9);
    QFETCH(int, periodMs);
    QFETCH(QString, tail);

    SimOptions o;
    o.board = SimOptions::Board(board);
    o.flagError = error;
    o.flagFw = 7;
    o.frame8 = frame8;
    o.a9 = a9;
    o.c1 = 300.0 * 1000 / periodMs; // a record's count large enough to show byte order
    SimBoard b = makeBoard(o);
    const QString reply = ask(b, QString::number(0xA0 | interval, 16), 0);
    QCOMPARE(reply, o.isDk61() && interval == 1 ? QString("A3 01 3C") : QString());

    QCOMPARE(collect(b, 1, periodMs - 1), QString());
    b.advance(periodMs);
    const std::vector<SimOutput> out = b.takeOutput();
    QCOMPARE(out.size(), size_t(1));
    const Bytes& f = out[0].bytes;
    QCOMPARE(int(f[0]), a9 ? 0xA9 : 0xC6);
    QCOMPARE(f.size(), size_t(frame8 ? 8 : 14));
    QCOMPARE(int(f[1]), int(f.size()) - 2);
    const unsigned c1 = (f[2] << 8) | f[3];
    if (!frame8) {
        QCOMPARE(str(Bytes(f.end() - 2, f.end())), tail);
        if (error != 0)
            QCOMPARE(c1, 0u); // nothing is counted while the board reports an error
    }
    if (frame8 || error == 0)
        QVERIFY2(c1 > 200 && c1 < 400, qPrintable(str(f))); // the C1 count comes first
    // The next record follows one period later.
    QCOMPARE(collect(b, periodMs + 1, 2 * periodMs - 1), QString());
    b.advance(2 * periodMs);
    QCOMPARE(b.takeOutput().size(), size_t(1));
}

void TestSimBoard::flagStream_waitsForIntervalCommand() {
    SimBoard b = makeBoard(SimOptions());
    QCOMPARE(collect(b, 0, 5000, 10), QString());
    // A0 and codes above A3 choose no interval.
    QCOMPARE(ask(b, "A0", 5000) + ask(b, "A4", 5000) + collect(b, 5000, 8000, 10), QString());
    QCOMPARE(b.flagInterval(), 0);
}

void TestSimBoard::flagStream_startIntervalAndSwitch() {
    SimOptions o;
    o.startInterval = 2;
    SimBoard b = makeBoard(o);
    int records = 0;
    for (int64_t t = 0; t <= 1700; ++t) {
        b.advance(t);
        records += int(b.takeOutput().size());
    }
    QCOMPARE(records, 10);

    // Switching to 30 ms restarts the measurement: the next record comes 30 ms later.
    QCOMPARE(ask(b, "A3", 1750), QString());
    QCOMPARE(collect(b, 1751, 1779), QString());
    b.advance(1780);
    const std::vector<SimOutput> out = b.takeOutput();
    QCOMPARE(out.size(), size_t(1));
    QCOMPARE(int(out[0].bytes[12]), 0x03);

    // Held: the tool's A1 at connection leaves the 30 ms interval in place.
    o.startInterval = 3;
    o.holdInterval = true;
    SimBoard held = makeBoard(o);
    QCOMPARE(ask(held, "A1", 0), QString());
    QCOMPARE(held.flagInterval(), 3);
}

void TestSimBoard::flagCounts_followMeansAndCaps_data() {
    QTest::addColumn<double>("mean"); // per second
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("frame8");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<double>("expected"); // mean of the records
    QTest::addColumn<int>("maximum");     // no record above

    QTest::newRow("small mean") << 2.5 << 1 << false << false << 2.5 << 7350;
    QTest::newRow("large mean") << 3000.0 << 1 << false << false << 3000.0 << 7350;
    // a record carries its interval's share of the counts of a second
    QTest::newRow("170 ms") << 1000.0 << 2 << false << false << 170.0 << 1250;
    QTest::newRow("30 ms") << 1000.0 << 3 << false << false << 30.0 << 220;
    QTest::newRow("capped by 220 samples") << 10000.0 << 3 << false << false << 220.0 << 220;
    QTest::newRow("8-bit in short frames") << 600.0 << 1 << true << false << 255.0 << 255;
    QTest::newRow("zero") << 0.0 << 1 << false << false << 0.0 << 0;
    // --exact: whole counts, no variation, adding up to the counts of every second
    QTest::newRow("exact, 170 ms") << 300.0 << 2 << false << true << 51.0 << 51;
    QTest::newRow("exact, 30 ms") << 300.0 << 3 << false << true << 9.0 << 9;
    QTest::newRow("exact, a fraction a record") << 10.0 << 3 << false << true << 0.3 << 1;
    QTest::newRow("exact, half a count a second") << 12.5 << 1 << false << true << 12.5 << 13;
}

void TestSimBoard::flagCounts_followMeansAndCaps() {
    QFETCH(double, mean);
    QFETCH(int, interval);
    QFETCH(bool, frame8);
    QFETCH(bool, exact);
    QFETCH(double, expected);
    QFETCH(int, maximum);

    FlagStream::Config c;
    c.c1u = mean; // the second count: 8 bits in a short frame
    c.c2 = mean;
    c.frame8 = frame8;
    c.exact = exact;
    FlagStream s(c);
    s.setInterval(interval, 0);
    SimRandom random(42);
    double sum = 0;
    const int n = 2000;
    for (int i = 0; i < n; ++i) {
        const Bytes f = s.makeFrame(random);
        const unsigned c1u = frame8 ? f[4] : unsigned((f[4] << 8) | f[5]);
        QVERIFY(c1u <= unsigned(maximum));
        QVERIFY(!exact || qAbs(c1u - expected) < 1);
        sum += c1u;
    }
    if (exact)
        QCOMPARE(sum, expected * n);
    QVERIFY2(qAbs(sum / n - expected) <= 0.05 * expected + 0.1,
             qPrintable(QString::number(sum / n)));
}

void TestSimBoard::sameSeed_sameStream() {
    SimOptions o;
    o.startInterval = 3;
    o.garbageRate = 0.3;
    auto run = [&o](uint64_t seed) {
        SimBoard b = makeBoard(o, seed);
        QStringList all;
        for (int64_t t = 0; t <= 600; t += 10) {
            b.advance(t);
            for (const SimOutput& out : b.takeOutput())
                all << str(out.bytes);
        }
        return all;
    };
    QCOMPARE(run(7), run(7));
    QVERIFY(run(7) != run(8));
}

void TestSimBoard::commandCutter_data() {
    QTest::addColumn<QStringList>("chunks");   // "time:hex"
    QTest::addColumn<QStringList>("expected"); // commands; "!" marks a rejected one

    QTest::newRow("one-byte") << QStringList{"0:A1"} << QStringList{"A1"};
    QTest::newRow("several one-byte") << QStringList{"0:A1A2A3"} << QStringList{"A1", "A2", "A3"};
    QTest::newRow("memory read") << QStringList{"0:62092100"} << QStringList{"62 09 21 00"};
    QTest::newRow("memory write counts data")
        << QStringList{"0:6002210CAABB2400"} << QStringList{"60 02 21 0C AA BB", "24 00"};
    QTest::newRow("split within the gap")
        << QStringList{"0:6209", "5:2100"} << QStringList{"62 09 21 00"};
    QTest::newRow("short write rejected after the gap")
        << QStringList{"0:6002210CAA", "100:A1"} << QStringList{"!60 02 21 0C AA", "A1"};
    QTest::newRow("missing parameter")
        << QStringList{"0:1101", "40:1400"} << QStringList{"!11 01", "14 00"};
    QTest::newRow("surplus byte") << QStringList{"0:43010000"} << QStringList{"43 01 00", "!00"};
    QTest::newRow("stray high byte") << QStringList{"0:FFA1"} << QStringList{"!FF", "A1"};
    QTest::newRow("typed count") << QStringList{"0:6601010101"}
                                 << QStringList{"66 01 01", "!01 01"};
}

void TestSimBoard::commandCutter() {
    QFETCH(QStringList, chunks);
    QFETCH(QStringList, expected);

    CommandCutter cutter;
    QStringList got;
    int64_t last = 0;
    auto takeAll = [&](int64_t t) {
        for (const CommandCutter::Command& c : cutter.take(t))
            got << (c.complete ? "" : "!") + str(c.bytes);
    };
    for (const QString& chunk : chunks) {
        last = chunk.section(':', 0, 0).toLongLong();
        takeAll(last);
        cutter.feed(hex(chunk.section(':', 1)), last);
    }
    takeAll(last);
    QVERIFY(cutter.nextDeadlineMs() <= last + CommandCutter::DefaultGapMs + 1 || !cutter.pending());
    takeAll(last + 1000);
    QCOMPARE(got, expected);
    QVERIFY(!cutter.pending());
}

void TestSimBoard::dk61Replies_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("reply");

    QTest::newRow("firmware") << "A1"
                              << "A3 01 3C";
    QTest::newRow("firmware 2D") << "2D00"
                                 << "A3 01 3C";
    QTest::newRow("no interval reply") << "A2"
                                       << "";
    QTest::newRow("settings block") << "62092100"
                                    << "99 0C 21 00 09 5E 00 00 00 42 FF 00 00 FF";
    QTest::newRow("production record") << "62081000"
                                       << "99 0B 10 00 08 00 01 07 D0 00 07 12 67";
    QTest::newRow("operating time")
        << "62100000"
        << "99 13 00 00 10 D2 D2 D2 D2 D2 D2 D2 D2 D2 D2 D2 D2 D2 D2 04 00";
    QTest::newRow("laser k d little-endian") << "62080F08"
                                             << "99 0B 0F 08 08 3F 1C 34 3E 00 AE 04 40";
    QTest::newRow("focus") << "62011100"
                           << "99 04 11 00 01 FF";
    QTest::newRow("zero-hour byte") << "6201210C"
                                    << "99 04 21 0C 01 7D";
    QTest::newRow("read past the end") << "62103FF8"
                                       << "";
    QTest::newRow("read too long for one reply") << "627D0000"
                                                 << "";
    QTest::newRow("write") << "6001210C7F"
                           << "99 04 21 0C 01 7F";
    QTest::newRow("write past the end") << "60023FFF0000"
                                        << "98 00";
    QTest::newRow("loaders and loader in use") << "7000"
                                               << "C7 04 01 02 42 82 | BD 01 42";
    QTest::newRow("set loader") << "650182"
                                << "BD 01 82";
    QTest::newRow("disc id") << "2400"
                             << "C5 04 12 34 AB CD";
    QTest::newRow("disc contents") << "2100"
                                   << "AD 09 01 01 00 0C 00 30 00 00 01";
    QTest::newRow("current track") << "2700"
                                   << "AB 04 01 01 00 00";
    QTest::newRow("current time") << "280100"
                                  << "AC 03 00 00 00";
    QTest::newRow("service start") << "5700"
                                   << "C0 01 01";
    QTest::newRow("service next outside") << "5800"
                                          << "";
    QTest::newRow("service exit") << "5A00"
                                  << "C8 00";
    QTest::newRow("loader calibration") << "7102010A"
                                        << "";
    QTest::newRow("unknown command") << "2000"
                                     << "";
}

void TestSimBoard::dk61Replies() {
    QFETCH(QString, command);
    QFETCH(QString, reply);
    SimBoard b = makeBoard(dk61Options());
    QCOMPARE(ask(b, command), reply);
}

void TestSimBoard::flagBoard_ignoresDk61Commands() {
    SimBoard b = makeBoard(SimOptions());
    QCOMPARE(ask(b, "62092100") + ask(b, "7000") + ask(b, "5700"), QString());
}

void TestSimBoard::memoryWrite_storedAndReadBack() {
    SimBoard b = makeBoard(dk61Options());
    QVERIFY(!b.takeEepromChanged());
    QCOMPARE(ask(b, "6008100001020304050607 08"),
             QString("99 0B 10 00 08 01 02 03 04 05 06 07 08"));
    QVERIFY(b.takeEepromChanged());
    QVERIFY(!b.takeEepromChanged());
    QCOMPARE(ask(b, "62081000"), QString("99 0B 10 00 08 01 02 03 04 05 06 07 08"));
    // A history erase half-row: ten bytes at offset 6 of the row.
    QCOMPARE(ask(b, "600A2406FFFFFFFFFFFFFFFFFFFF"),
             QString("99 0D 24 06 0A FF FF FF FF FF FF FF FF FF FF"));
    QVERIFY(b.eeprom().at(0x2405) != 0xFF);
    QCOMPARE(int(b.eeprom().at(0x240F)), 0xFF);

    // The last history row and the focus byte are separate cells.
    QCOMPARE(ask(b, "6001110001"), QString("99 04 11 00 01 01"));
    QCOMPARE(ask(b, "6010310000000000000000000000000000000000"),
             QString("99 13 31 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"));
    QCOMPARE(ask(b, "62011100"), QString("99 04 11 00 01 01"));
}

void TestSimBoard::memoryWrite_refused() {
    SimOptions o = dk61Options();
    o.refuseWrites = true;
    SimBoard b = makeBoard(o);
    QCOMPARE(ask(b, "6001210C7F"), QString("98 00"));
    QVERIFY(!b.takeEepromChanged());
    QCOMPARE(ask(b, "6201210C"), QString("99 04 21 0C 01 7D"));
}

void TestSimBoard::laserAdc_staysAroundValue() {
    SimOptions o = dk61Options();
    o.laserAdc = 0x1F4;
    SimBoard b = makeBoard(o);
    QSet<unsigned> seen;
    for (int i = 0; i < 200; ++i) {
        b.handleCommand(hex("5400"), 0);
        const std::vector<SimOutput> out = b.takeOutput();
        QCOMPARE(out.size(), size_t(1));
        const Bytes& f = out[0].bytes;
        QCOMPARE(str(Bytes(f.begin(), f.begin() + 2)), QString("B3 02"));
        const unsigned v = (f[2] << 8) | f[3];
        QVERIFY(v >= 0x1F4 - SimBoard::AdcNoise && v <= 0x1F4 + SimBoard::AdcNoise);
        seen.insert(v);
    }
    QVERIFY(seen.size() > 1);
}

void TestSimBoard::play_ticksTimeAndTracks() {
    SimBoard b = makeBoard(dk61Options());
    QCOMPARE(collect(b, 0, 3000, 10), QString()); // no ticks while stopped
    QCOMPARE(ask(b, "110100", 3000), QString("A0 01 02"));
    QCOMPARE(collect(b, 3001, 6000), QString("A0 01 01 | A0 01 01 | A0 01 01"));
    QCOMPARE(ask(b, "280100", 6000), QString("AC 03 00 00 03"));
    QCOMPARE(ask(b, "1500", 6000), QString("A0 01 02"));
    QCOMPARE(ask(b, "2700", 6000), QString("AB 04 01 02 00 00"));
    QCOMPARE(ask(b, "280101", 6000), QString("AC 03 01 04 00")); // 240 s of track 1

    QCOMPARE(ask(b, "1300", 6000), QString());
    QCOMPARE(collect(b, 6001, 9000, 10), QString()); // paused
    QCOMPARE(ask(b, "110100", 9000), QString());     // resumes without a track change
    QCOMPARE(collect(b, 9001, 10000), QString("A0 01 01"));
    QCOMPARE(ask(b, "1600", 10000), QString("A0 01 02"));
    QCOMPARE(b.track(), 1);
    QCOMPARE(ask(b, "1400", 10000), QString());
    QCOMPARE(b.play(), SimBoard::Play::Stopped);
    QCOMPARE(ask(b, "280100", 10000), QString("AC 03 00 00 00"));
}

void TestSimBoard::play_endOfTrackAndDisc() {
    SimOptions o = dk61Options();
    o.tracks = 2;
    o.trackSeconds = 2;
    o.playing = true;
    SimBoard b = makeBoard(o);
    QCOMPARE(frames(b.takeOutput()), QString("A0 01 02"));
    // Track 2 begins with the second tick.
    QCOMPARE(collect(b, 1, 2000), QString("A0 01 01 | A0 01 02 | A0 01 01"));
    QCOMPARE(b.track(), 2);
    collect(b, 2001, 4000);
    QCOMPARE(b.play(), SimBoard::Play::Stopped);
    QCOMPARE(collect(b, 4001, 8000, 10), QString());
}

void TestSimBoard::tray_openCloseAndDiscReady() {
    SimOptions o = dk61Options();
    o.playing = true;
    SimBoard b = makeBoard(o);
    b.takeOutput();
    QCOMPARE(ask(b, "310101", 100), QString("A1 01 03 | BB 00"));
    QCOMPARE(b.play(), SimBoard::Play::Stopped);
    QCOMPARE(collect(b, 101, 1099), QString());
    QCOMPARE(collect(b, 1100, 1100), QString("B1 00"));
    QCOMPARE(ask(b, "310101", 1200), QString("B1 00"));
    QCOMPARE(ask(b, "110100", 1200), QString()); // no play with the tray open
    QCOMPARE(ask(b, "2100", 1200), QString("AD 09 01 01 00 00 00 00 00 00 01"));
    QCOMPARE(ask(b, "320101", 1300), QString("BC 00"));
    QCOMPARE(collect(b, 1301, 2300), QString("B2 00"));
    QCOMPARE(collect(b, 2301, 3800), QString("A1 01 04"));
    QCOMPARE(ask(b, "320101", 3800), QString("B2 00"));
    QCOMPARE(ask(b, "110100", 3800), QString("A0 01 02"));

    // Reversing while the tray moves.
    QCOMPARE(ask(b, "310101", 4000), QString("A1 01 03 | BB 00"));
    QCOMPARE(ask(b, "320101", 4500), QString("BC 00"));
    QCOMPARE(collect(b, 4501, 5500), QString("B2 00"));
}

void TestSimBoard::serviceMode_steps() {
    SimOptions o = dk61Options();
    o.playing = true;
    SimBoard b = makeBoard(o);
    b.takeOutput();
    QCOMPARE(ask(b, "5700"), QString("C0 01 01"));
    QCOMPARE(b.play(), SimBoard::Play::Stopped);
    QStringList steps;
    for (int i = 0; i < 14; ++i)
        steps << ask(b, "5800");
    QCOMPARE(steps.first(), QString("C0 01 02 | B5 00")); // laser off
    QCOMPARE(steps.at(12), QString("C0 01 0E"));
    QCOMPARE(steps.last(), QString("C0 01 01")); // after step 14 the board starts over
    QCOMPARE(ask(b, "59010D"), QString("C0 01 0D"));
    QCOMPARE(ask(b, "59010F"), QString("C0 01 0D")); // no step 15: stays
    QCOMPARE(ask(b, "310101"), QString("B7 00"));    // the mechanism is busy
    QCOMPARE(ask(b, "110100"), QString());
    QCOMPARE(ask(b, "5A00"), QString("C8 00"));
    QCOMPARE(b.serviceStep(), 0);
    QCOMPARE(ask(b, "59010D"), QString());
}

void TestSimBoard::scripted_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("script"); // "t command" steps; "-": only time passes
    QTest::addColumn<QString>("sent");   // "t: frames" of every step that sent something

    QTest::newRow("silent board") << "--silent"
                                  << "0 A1; 0 62092100; 0 5700; 0 310101; 3000 -"
                                  << "";
    QTest::newRow("wrong board: no A3, B3 and B4") << "--wrong-board"
                                                   << "0 A1; 0 2D00; 0 7000; 499 -; 500 -; 1000 -"
                                                   << "500: B3~500 | B4 00 ; 1000: B3~500 | B4 00";
    QTest::newRow("step 2 switches the module off")
        << "--laser-stream 0"
        << "0 5700; 0 5800; 0 590101; 0 590102; 0 5800"
        << "0: C0 01 01 ; 0: C0 01 02 | B5 00 ; 0: C0 01 01 ; 0: C0 01 02 | B5 00 ; 0: C0 01 03";
    QTest::newRow("laser stream at step 1 only")
        << "--laser-stream 100"
        << "0 5700; 99 -; 100 -; 200 -; 250 5800; 400 -; 400 5A00; 600 -"
        << "0: C0 01 01 ; 100: B3~500 ; 200: B3~500 ; 250: C0 01 02 | B5 00 ; 400: C8 00";
    QTest::newRow("laser values: the next one at every new step 1")
        << "--laser-adc 100,1000 --laser-stream 0"
        << "0 5400; 0 5700; 0 5400; 0 590101; 0 5400; 0 590102; 0 590101; 0 5400; 0 5A00; "
           "0 5700; 0 5400"
        << "0: B3~100 ; 0: C0 01 01 ; 0: B3~100 ; 0: C0 01 01 ; 0: B3~100 ; "
           "0: C0 01 02 | B5 00 ; 0: C0 01 01 ; 0: B3~1000 ; 0: C8 00 ; 0: C0 01 01 ; 0: B3~100";
    QTest::newRow("memory replies late") << "--memory-delay 1500"
                                         << "0 62011100; 10 6001110001; 1499 -; 1500 -; 1510 -"
                                         << "1500: 99 04 11 00 01 FF ; 1510: 99 04 11 00 01 01";
    QTest::newRow("second write refused")
        << "--refuse-write 2"
        << "0 6001110001; 0 6001110002; 0 6001110003; 0 62011100"
        << "0: 99 04 11 00 01 01 ; 0: 98 00 ; 0: 99 04 11 00 01 03 ; 0: 99 04 11 00 01 03";
    QTest::newRow("read-back corrupted") << "--corrupt-readback 1"
                                         << "0 6002210C1122; 0 6202210C; 0 6002210C1122"
                                         << "0: 99 05 21 0C 02 EE 22 ; 0: 99 05 21 0C 02 EE 22 ; "
                                            "0: 99 05 21 0C 02 11 22";
    QTest::newRow("read holding the address unanswered")
        << "--unanswered-read 2104"
        << "0 62092100; 0 62012104; 0 6201210C; 0 62042100"
        << "0: 99 04 21 0C 01 7D ; 0: 99 07 21 00 04 5E 00 00 00";
    QTest::newRow("loader code: list, announcement, EEPROM")
        << "--loader 81"
        << "0 7000; 0 62012104"
        << "0: C7 05 01 02 42 82 81 | BD 01 81 ; 0: 99 04 21 04 01 81";
    QTest::newRow("loader code outside a given list") << "--loader 81 --loaders 01,02"
                                                      << "0 7000"
                                                      << "0: C7 02 01 02 | BD 01 81";
}

void TestSimBoard::scripted() {
    QFETCH(QString, args);
    QFETCH(QString, script);
    QFETCH(QString, sent);
    SimBoard b = makeBoard(parsed(args));
    QStringList got;
    for (const QString& step : script.split(';')) {
        const QStringList parts = step.simplified().split(' ');
        const int64_t t = parts[0].toLongLong();
        if (parts[1] != "-")
            b.handleCommand(hex(parts[1]), t);
        b.advance(t);
        const QString f = masked(frames(b.takeOutput()));
        if (!f.isEmpty())
            got << QString("%1: %2").arg(t).arg(f);
    }
    QCOMPARE(got.join(" ; "), sent);
}

void TestSimBoard::bootloader_dialogue() {
    // What the host sends, and what the bootloader answers (its echo included).
    const QList<QPair<QByteArray, QByteArray>> dialogue{
        {"A1 x\r\n", ""}, // nothing but "?" before the autobaud
        {"?", "Synchronized\r\n"},
        {"Synchronized\r\n", "Synchronized\r\nOK\r\n"},
        {"16934\r\n", "16934\r\nOK\r\n"},
        {"E 0 0\r\n", "E 0 0\r\n15\r\n"}, // locked
        {"U 23130\r\n", "U 23130\r\n0\r\n"},
        {"E 0 0\r\n", "E 0 0\r\n9\r\n"}, // not prepared
        {"P 0 0\r\n", "P 0 0\r\n0\r\n"},
        {"E 0 0\r\n", "E 0 0\r\n0\r\n"},
        {"W 1073742336 8\r\n", "W 1073742336 8\r\n0\r\n"},
        {"(1$LV,2US:6T`\r\n", "(1$LV,2US:6T`\r\n"}, // "DK61-sim"
        {"621\r\n", "621\r\nRESEND\r\n"},
        {"(1$LV,2US:6T`\r\n", "(1$LV,2US:6T`\r\n"},
        {"620\r\n", "620\r\nOK\r\n"},
        {"C 0 1073742336 256\r\n", "C 0 1073742336 256\r\n9\r\n"}, // the erase locked it
        {"P 0 0\r\n", "P 0 0\r\n0\r\n"},
        {"C 0 1073742336 256\r\n", "C 0 1073742336 256\r\n0\r\n"},
        {"M 0 1073742336 8\r\n", "M 0 1073742336 8\r\n0\r\n"},
        {"M 0 1073742340 4\r\n", "M 0 1073742340 4\r\n10\r\n0\r\n"},
        {"A 0\r\n", "A 0\r\n0\r\n"},
        {"X\r\n", "1\r\n"}, // no echo now
        {"G 0 A\r\n", "0\r\n"},
    };
    IspBootloader isp;
    for (const auto& [sent, expected] : dialogue) {
        Bytes reply;
        QCOMPARE(isp.feed(u8(sent), size_t(sent.size()), reply), size_t(sent.size()));
        QCOMPARE(bytesText(reply), QString::fromLatin1(expected));
    }
    QVERIFY(isp.running());
    QCOMPARE(bytesText(Bytes(isp.flash().begin(), isp.flash().begin() + 8)), QString("DK61-sim"));
    QCOMPARE(int(isp.flash().at(IspBootloader::sectorStart(1))), 0xFF);
}

void TestSimBoard::bootloader_enteredByQuestionMarkLeftByGo() {
    QVERIFY(!makeBoard(parsed("--pll")).entersBootloaderOn('?'));
    SimBoard b = makeBoard(parsed("--isp --pll"));
    QVERIFY(b.entersBootloaderOn('?') && !b.entersBootloaderOn(0xA1));
    b.enterBootloader(0);
    QCOMPARE(ask(b, "A1", 10) + collect(b, 10, 3000, 100), QString()); // the firmware is stopped

    const QByteArray unlock = "?Synchronized\r\n16934\r\nU 23130\r\n";
    const QByteArray go = "G 0 A\r\n\xA1";
    b.feedBootloader(u8(unlock), size_t(unlock.size()), 3000);
    b.takeOutput();
    b.lineClosed(); // the ISP tool went away: the next one synchronises anew
    b.feedBootloader(u8(unlock), size_t(unlock.size()), 3000);
    QCOMPARE(b.feedBootloader(u8(go), size_t(go.size()), 3000), size_t(go.size() - 1));
    QString text;
    for (const SimOutput& out : b.takeOutput())
        text += bytesText(out.bytes);
    QCOMPARE(text, QString("Synchronized\r\nSynchronized\r\nOK\r\n16934\r\nOK\r\n"
                           "U 23130\r\n0\r\nG 0 A\r\n0\r\n"));
    QVERIFY(!b.inBootloader() && b.takeFlashChanged());
    QCOMPARE(ask(b, "A1", 3000), QString("A3 01 3C"));
    QCOMPARE(collect(b, 3000, 4000, 100), QString("AA 01 01")); // running again, as after power-on
}

void TestSimBoard::garbage_neverStartsAFrame() {
    const QList<int> accepted{0x98, 0x99, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8,
                              0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB1, 0xB2, 0xB3, 0xB4,
                              0xB5, 0xB6, 0xB7, 0xB8, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xC0, 0xC1,
                              0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCD};
    for (int v = 0; v < 256; ++v)
        QCOMPARE(SimBoard::isRejectedCode(uint8_t(v)), !accepted.contains(v) && v != 0xCC);

    SimOptions o;
    o.startInterval = 3;
    o.garbageRate = 1.0;
    o.garbageMax = 5;
    o.debugText = true;
    SimBoard b = makeBoard(o);
    std::vector<SimOutput> all;
    for (int64_t t = 0; t <= 6000; t += 5) {
        b.advance(t);
        for (SimOutput& out : b.takeOutput())
            all.push_back(out);
    }
    QVERIFY(all.size() > 300);
    QSet<size_t> lengths;
    for (size_t i = 0; i < all.size(); ++i) {
        const SimOutput& out = all[i];
        if (out.kind == SimOutput::Kind::Garbage) {
            QVERIFY(out.bytes.size() >= 1 && out.bytes.size() <= 5);
            lengths.insert(out.bytes.size());
            for (uint8_t g : out.bytes)
                QVERIFY(SimBoard::isRejectedCode(g));
            QVERIFY(i + 1 < all.size() && all[i + 1].kind == SimOutput::Kind::Frame);
        } else if (out.kind == SimOutput::Kind::Frame) {
            QVERIFY(i > 0 && all[i - 1].kind == SimOutput::Kind::Garbage); // rate 1: always
        } else {
            // Debug text begins its own transmission.
            QVERIFY(i == 0 || all[i - 1].kind != SimOutput::Kind::Garbage);
        }
    }
    QCOMPARE(lengths.size(), 5);
}

void TestSimBoard::debugTextAndPll_periodic() {
    SimOptions o = dk61Options();
    o.pll = true;
    o.debugText = true;
    SimBoard b = makeBoard(o);
    QStringList pll;
    std::vector<Bytes> texts;
    for (int64_t t = 0; t <= 10000; ++t) {
        b.advance(t);
        for (const SimOutput& out : b.takeOutput()) {
            if (out.kind == SimOutput::Kind::DebugText)
                texts.push_back(out.bytes);
            else
                pll << str(out.bytes);
        }
    }
    QCOMPARE(pll.size(), 10);
    QCOMPARE(pll.removeDuplicates(), 9);
    QCOMPARE(pll.first(), QString("AA 01 01"));
    QCOMPARE(texts.size(), size_t(2));
    for (const Bytes& t : texts) {
        QCOMPARE(int(t[0]), 0xCC);
        for (size_t i = 1; i < t.size(); ++i)
            QVERIFY(t[i] >= 0x20 && t[i] < 0x7F);
    }
}

void TestSimBoard::eeprom_saveLoadRoundTrip() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string path = dir.filePath("eeprom.bin").toStdString();
    EepromImage image = EepromImage::makeDefault(0x82, 0x01, 400);
    QVERIFY(image.write(0x3100, {0x11, 0x22}));
    std::string error;
    QVERIFY(image.save(path, error));
    EepromImage loaded;
    QVERIFY(loaded.load(path, error));
    QVERIFY(loaded.bytes() == image.bytes());
    QCOMPARE(int(loaded.at(EepromImage::LoaderCodeAddress)), 0x82);
    QCOMPARE(int(loaded.at(EepromImage::BaudFlagAddress)), 0x01);
    QCOMPARE(int(loaded.at(EepromImage::FocusAddress)), 0xFF);

    QFile shortFile(dir.filePath("short.bin"));
    QVERIFY(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(8192, '\xFF'));
    shortFile.close();
    EepromImage untouched = EepromImage::makeDefault(0x42, 0xFF, 500);
    QVERIFY(!untouched.load(shortFile.fileName().toStdString(), error));
    QVERIFY(!error.empty());
    QCOMPARE(int(untouched.at(EepromImage::LoaderCodeAddress)), 0x42);
    QVERIFY(!untouched.load(dir.filePath("missing.bin").toStdString(), error));
}

void TestSimBoard::options_parse_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("check"); // "field=value" read back below

    const int ok = int(SimOptions::ParseResult::Ok);
    const int err = int(SimOptions::ParseResult::Error);
    QTest::newRow("defaults") << QStringList{} << ok << "board=flag";
    QTest::newRow("dk61 fw hex") << QStringList{"--board", "dk61", "--fw", "0x3B"} << ok << "fw=59";
    QTest::newRow("equals form") << QStringList{"--start-interval=2"} << ok << "interval=2";
    QTest::newRow("loaders") << QStringList{"--loaders", "01,82"} << ok << "loaders=01 82";
    QTest::newRow("loader hex") << QStringList{"--loader", "42"} << ok << "loader=66";
    QTest::newRow("flags") << QStringList{"--frame8", "--a9", "--pll"} << ok << "frame8=1";
    QTest::newRow("help") << QStringList{"--board", "dk61", "--help"}
                          << int(SimOptions::ParseResult::Help) << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << err << "";
    QTest::newRow("missing value") << QStringList{"--chunk"} << err << "";
    QTest::newRow("bad board") << QStringList{"--board", "dk65"} << err << "";
    QTest::newRow("flag error range") << QStringList{"--flag-error", "3"} << err << "";
    QTest::newRow("interval range") << QStringList{"--start-interval", "4"} << err << "";
    QTest::newRow("negative mean") << QStringList{"--c1", "-1"} << err << "";
    QTest::newRow("rate above 1") << QStringList{"--garbage", "1.5"} << err << "";
    QTest::newRow("bad loader") << QStringList{"--loader", "zz"} << err << "";
    QTest::newRow("bad loader list") << QStringList{"--loaders", "01,,02"} << err << "";
    QTest::newRow("flag with value") << QStringList{"--frame8=1"} << err << "";
    QTest::newRow("trailing text") << QStringList{"--fw", "60x"} << err << "";
    QTest::newRow("bootloader needs the DK-61") << QStringList{"--isp"} << err << "";
}

void TestSimBoard::options_parse() {
    QFETCH(QStringList, args);
    QFETCH(int, result);
    QFETCH(QString, check);

    SimOptions o;
    std::string error;
    QCOMPARE(int(parse(args, o, error)), result);
    QCOMPARE(error.empty(), result != int(SimOptions::ParseResult::Error));
    if (check.isEmpty())
        return;
    const QString field = check.section('=', 0, 0);
    const QString value = check.section('=', 1);
    if (field == "board")
        QCOMPARE(o.board, SimOptions::Board::Flag);
    else if (field == "fw")
        QCOMPARE(QString::number(o.fw), value);
    else if (field == "interval")
        QCOMPARE(QString::number(o.startInterval), value);
    else if (field == "loaders")
        QCOMPARE(str(o.loaders), value);
    else if (field == "loader")
        QCOMPARE(QString::number(o.loader), value);
    else if (field == "frame8")
        QVERIFY(o.frame8 && o.a9 && o.pll);
}

namespace {

QByteArray readSome(int fd) {
    char buf[256];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
}

} // namespace

void TestSimBoard::port_noReaderDropsAndReaderGetsOnlyNewBytes() {
    SimPort port;
    std::string error;
    QVERIFY2(port.open(error), error.c_str());
    QVERIFY(!port.peerConnected());
    QCOMPARE(port.send(hex("A3013C")), SimPort::SendResult::NoPeer);

    const QByteArray path = QByteArray::fromStdString(port.slavePath());
    int reader = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QVERIFY(port.peerConnected());
    QCOMPARE(port.send(hex("A3013C")), SimPort::SendResult::Queued);
    QVERIFY(port.flush(0));
    QByteArray got;
    QTRY_COMPARE((got += readSome(reader)), QByteArray::fromHex("A3013C"));

    // The reader's bytes reach the board; the line is raw (no echo, no line editing).
    QCOMPARE(::write(reader, "\xA1\x0D\x7F", 3), ssize_t(3));
    std::vector<uint8_t> fromReader;
    QTRY_VERIFY(([&] {
        const std::vector<uint8_t> r = port.read();
        fromReader.insert(fromReader.end(), r.begin(), r.end());
        return fromReader.size() >= 3;
    }()));
    QCOMPARE(str(fromReader), QString("A1 0D 7F"));
    QCOMPARE(readSome(reader), QByteArray());

    // Unread output is thrown away when the reader goes; nothing blocks meanwhile.
    QCOMPARE(port.send(hex("C60600010203040506")), SimPort::SendResult::Queued);
    QVERIFY(port.flush(1));
    ::close(reader);
    QVERIFY(!port.peerConnected());
    port.resetLine();
    QVERIFY(port.read().empty()); // EIO without a reader is no end
    for (int i = 0; i < 10000; ++i)
        QCOMPARE(port.send(Bytes(64, 0x11)), SimPort::SendResult::NoPeer);

    reader = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QCOMPARE(port.send(hex("B200")), SimPort::SendResult::Queued);
    QVERIFY(port.flush(2));
    got.clear();
    QTRY_COMPARE((got += readSome(reader)), QByteArray::fromHex("B200"));
    ::close(reader);
}

void TestSimBoard::port_chunksArePaced() {
    SimPort port;
    std::string error;
    QVERIFY2(port.open(error), error.c_str());
    const int reader = ::open(port.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    port.setChunkSize(2);
    QCOMPARE(port.send(hex("C6060001020304")), SimPort::SendResult::Queued);
    QVERIFY(port.flush(100));
    QCOMPARE(port.pendingBytes(), size_t(5));
    QCOMPARE(port.nextWriteMs(), int64_t(100 + SimPort::ChunkPauseMs));
    QVERIFY(port.flush(100)); // not yet
    QCOMPARE(port.pendingBytes(), size_t(5));
    QVERIFY(port.flush(101));
    QCOMPARE(port.pendingBytes(), size_t(3));
    QVERIFY(port.flush(102));
    QVERIFY(port.flush(103));
    QVERIFY(!port.hasPending());
    QByteArray got;
    QTRY_COMPARE((got += readSome(reader)), QByteArray::fromHex("C6060001020304"));
    ::close(reader);
}

QTEST_GUILESS_MAIN(TestSimBoard)
#include "tst_simboard.moc"
