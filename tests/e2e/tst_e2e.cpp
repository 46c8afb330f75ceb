// End-to-end: the real dk61-pc-tool (offscreen, its own settings store) against the board
// simulator dk61-sim on a pseudo-terminal, checked through what an operator finds afterwards:
// the flag file, the log file, and what the board received.

#include "e2eharness.h"
#include "simrunner.h"
#include "toolrunner.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const int StartMs = 8000;

QList<int> rowCounts(const QString& row) {
    QString stamp;
    QList<int> counts;
    E2eHarness::parseFlagRow(row, &stamp, &counts);
    return counts;
}

QString countsText(const QList<int>& counts) {
    QStringList parts;
    for (int c : counts)
        parts.append(QString::number(c));
    return parts.join(QLatin1Char(' '));
}

// Matches what the tool recorded against what one or more simulator runs sent, run after run:
// of each run the tool has a prefix of at least `least[run]` items, in order, and nothing else.
// (Items sent while the tool was being stopped, or just before a hang-up, may be missing: they
// were still on the line.) Returns an empty text on success, else what went wrong.
template <typename T>
QString matchRuns(const QList<T>& actual, const QList<QList<T>>& runs, const QList<int>& least,
                  const std::function<QString(const T&)>& show) {
    int at = 0;
    for (int r = 0; r < runs.size(); ++r) {
        int taken = 0;
        while (taken < runs[r].size() && at < actual.size() && actual[at] == runs[r][taken]) {
            ++taken;
            ++at;
        }
        if (taken < least[r]) {
            const QString found = at < actual.size() ? show(actual[at]) : QStringLiteral("nothing");
            return QStringLiteral("run %1: item %2 should be %3, found %4 (%5 of %6 matched)")
                .arg(r)
                .arg(taken)
                .arg(show(runs[r][taken]), found)
                .arg(taken)
                .arg(runs[r].size());
        }
    }
    if (at != actual.size())
        return QStringLiteral("%1 items more than sent, first: %2")
            .arg(actual.size() - at)
            .arg(show(actual[at]));
    return QString();
}

// The flag rows as counts, with every row's form and the order of the time stamps checked.
QString rowsToCounts(const QStringList& rows, QList<QList<int>>* counts) {
    QString last;
    for (const QString& row : rows) {
        QString stamp;
        QList<int> c;
        if (!E2eHarness::parseFlagRow(row, &stamp, &c))
            return QStringLiteral("malformed flag row: \"%1\"").arg(row);
        if (stamp < last)
            return QStringLiteral("time stamp goes back: %1 after %2").arg(stamp, last);
        last = stamp;
        counts->append(c);
    }
    return QString();
}

// The log lines split into the commands sent and the frames received, every line's form and
// the order of the time stamps checked.
QString splitLog(const QStringList& lines, QList<QByteArray>* sent, QList<QByteArray>* received) {
    QString last;
    static const QRegularExpression linkEvent(
        QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\](Link (down|back)|Run (started|unit|ended)|"
                       "Report (not )?written): "));
    for (const QString& line : lines) {
        QString stamp;
        bool isSent = false;
        QByteArray bytes;
        if (linkEvent.match(line).hasMatch()) // the link or the run: no traffic
            continue;
        if (!E2eHarness::parseLogLine(line, &stamp, &isSent, &bytes))
            return QStringLiteral("malformed log line: \"%1\"").arg(line);
        if (stamp < last)
            return QStringLiteral("time stamp goes back: %1 after %2").arg(stamp, last);
        last = stamp;
        (isSent ? sent : received)->append(bytes);
    }
    return QString();
}

QList<QList<int>> recordCounts(const QList<QByteArray>& records) {
    QList<QList<int>> counts;
    for (const QByteArray& r : records)
        counts.append(E2eHarness::recordCounts(r));
    return counts;
}

const std::function<QString(const QList<int>&)> ShowCounts = countsText;
const std::function<QString(const QByteArray&)> ShowBytes = E2eHarness::hex;

} // namespace

class TestE2e : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void flagMonitor_oneRowPerRecordAndOneLinePerFrame_data();
    void flagMonitor_oneRowPerRecordAndOneLinePerFrame();
    void dk61Startup_readsInOrderPacedAndBaudFlagTaken_data();
    void dk61Startup_readsInOrderPacedAndBaudFlagTaken();
    void unplug_idlesThenFindsTheBoardAgain();
    void hostileBoard_keepsEveryRecord();
    void quitRequest_endsTheProgramWhileStartUpAsks();

private:
    // Starts a simulator on the link path (the first or a later one).
    SimRunner* startSim(const QStringList& args, int seed);
    bool startTool();
    // Waits until the tool holds every record and frame the simulator has sent so far (at least
    // `records` records); returns how many records and frames that was, or {-1, -1}.
    QPair<int, int> waitForTool(SimRunner* sim, int records, int timeoutMs);
    QString failure(const QString& what) const;
    // How far the tool got with what the simulator sent, for failure messages.
    QString progress(SimRunner* sim) const;

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ToolRunner> tool;
    QList<std::shared_ptr<SimRunner>> sims;
    QString link;
};

void TestE2e::initTestCase() {
    for (const char* name : {"dk61-sim", "dk61-pc-tool"}) {
        const QString path = E2eHarness::binary(QString::fromLatin1(name));
        if (path.isEmpty() || !QFileInfo(path).isExecutable())
            QFAIL(qPrintable(QStringLiteral("%1 not found (DK61_BIN_DIR)").arg(name)));
    }
}

void TestE2e::init() {
    dir.reset(new QTemporaryDir);
    QVERIFY(dir->isValid());
    link = dir->filePath(QStringLiteral("dk61-board"));
    tool.reset(new ToolRunner(dir->filePath(QStringLiteral("tool"))));
}

void TestE2e::cleanup() {
    tool.reset();
    sims.clear();
    if (QTest::currentTestFailed())
        dir->setAutoRemove(false);
    dir.reset();
}

SimRunner* TestE2e::startSim(const QStringList& args, int seed) {
    auto sim = std::make_shared<SimRunner>(
        link, dir->filePath(QStringLiteral("sim%1.log").arg(sims.size() + 1)));
    sims.append(sim);
    return sim->start(args, seed) ? sim.get() : nullptr;
}

bool TestE2e::startTool() {
    return tool->start({link});
}

QPair<int, int> TestE2e::waitForTool(SimRunner* sim, int records, int timeoutMs) {
    QPair<int, int> seen{-1, -1};
    const bool ok = E2eHarness::waitUntil(
        [&] {
            // The simulator logs a frame before it writes it, so reading its log first gives a
            // count the tool cannot be ahead of.
            const QList<QByteArray> frames = sim->framesSent();
            const int sent = sim->recordsSent().size();
            QList<QByteArray> toolSent, toolReceived;
            splitLog(tool->logLines(), &toolSent, &toolReceived);
            if (sent < records || tool->flagRows().size() != sent ||
                toolReceived.size() != frames.size())
                return false;
            seen = {sent, frames.size()};
            return true;
        },
        timeoutMs);
    return ok ? seen : QPair<int, int>{-1, -1};
}

QString TestE2e::progress(SimRunner* sim) const {
    QList<QByteArray> toolSent, toolReceived;
    splitLog(tool->logLines(), &toolSent, &toolReceived);
    return QStringLiteral(": %1 records sent, %2 flag rows; %3 frames sent, %4 log lines of frames")
        .arg(sim->recordsSent().size())
        .arg(tool->flagRows().size())
        .arg(sim->framesSent().size())
        .arg(toolReceived.size());
}

QString TestE2e::failure(const QString& what) const {
    return what + QStringLiteral("\n(files kept in %1)\ntool output:\n%2")
                      .arg(dir->path(), tool->output());
}

// ---------------------------------------------------------------------------------------------

void TestE2e::flagMonitor_oneRowPerRecordAndOneLinePerFrame_data() {
    QTest::addColumn<QStringList>("simArgs");
    // Records every 170 ms whatever the tool asks for, so that a few come quickly. Counts are
    // per second: a record carries 17 % of them (C1 400 in the first row, above one byte).
    const QStringList fast{"--start-interval", "2", "--hold-interval"};
    QTest::newRow("14-byte C6 frames, noise, 3-byte pieces")
        << fast + QStringList{"--c1", "2353",     "--c1u", "176",       "--c2", "147",     "--c2u",
                              "18",   "--interp", "12",    "--garbage", "1",    "--chunk", "3"};
    QTest::newRow("8-byte C6 frames, noise, byte by byte")
        << fast + QStringList{"--frame8", "--c1",      "3529", "--c1u",   "235", "--c2",
                              "118",      "--garbage", "1",    "--chunk", "1"};
    QTest::newRow("14-byte A9 frames, noise, 5-byte pieces")
        << fast +
               QStringList{"--a9", "--c1", "294", "--c2", "41", "--garbage", "1", "--chunk", "5"};
}

void TestE2e::flagMonitor_oneRowPerRecordAndOneLinePerFrame() {
    QFETCH(QStringList, simArgs);
    SimRunner* sim = startSim(QStringList{"--board", "flag"} + simArgs, 11);
    QVERIFY2(sim, qPrintable(sims.last()->error()));
    QVERIFY(startTool());

    // The flag board streams once the tool asked for it.
    QVERIFY2(E2eHarness::waitUntil([&] { return !sim->commandsReceived().isEmpty(); }, StartMs),
             qPrintable(failure("the board got nothing")));
    QCOMPARE(E2eHarness::hex(sim->commandsReceived().first()), QStringLiteral("A1"));
    const QPair<int, int> seen = waitForTool(sim, 3, 10000);
    QVERIFY2(seen.first >= 3,
             qPrintable(failure("records did not reach the files" + progress(sim))));

    QVERIFY2(tool->isRunning(), qPrintable(failure("the tool ended")));
    QVERIFY2(tool->stop(), qPrintable(failure("the tool did not end cleanly on SIGTERM")));
    QVERIFY(sim->stop());

    QCOMPARE(tool->flagFiles().size(), 1);
    QCOMPARE(tool->logFiles().size(), 1);

    // One correct row per record sent.
    QList<QList<int>> rows;
    QString problem = rowsToCounts(tool->flagRows(), &rows);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    problem = matchRuns(rows, {recordCounts(sim->recordsSent())}, {seen.first}, ShowCounts);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));

    // The A1 first, then one line per frame in order, none for the noise.
    const QStringList lines = tool->logLines();
    QVERIFY(!lines.isEmpty());
    QVERIFY2(
        QRegularExpression("^\\[\\d\\d:\\d\\d:\\d\\d\\]PC-Tool: A1  $").match(lines[0]).hasMatch(),
        qPrintable(lines[0]));
    QList<QByteArray> sent, received;
    problem = splitLog(lines, &sent, &received);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    problem =
        matchRuns(sent, {sim->commandsReceived()}, {sim->commandsReceived().size()}, ShowBytes);
    QVERIFY2(problem.isEmpty(), qPrintable(failure("commands: " + problem)));
    problem = matchRuns(received, {sim->framesSent()}, {seen.second}, ShowBytes);
    QVERIFY2(problem.isEmpty(), qPrintable(failure("frames: " + problem)));

    // The run's row in the results database, ended by SIGTERM: every record of the flag file.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "results");
        db.setDatabaseName(dir->filePath("tool/data/Orvalta/DK-61 PC-Tool/results.sqlite"));
        QSqlQuery q(db);
        QVERIFY(db.open() && q.exec("SELECT records, finished, flag_file FROM runs") && q.next());
        QCOMPARE(q.value(0).toInt(), rows.size());
        QCOMPARE(q.value(1).toInt(), 1);
        QCOMPARE(q.value(2).toString(), tool->flagFiles().value(0));
        QVERIFY(!q.next());
    }
    QSqlDatabase::removeDatabase("results");
    QVERIFY(!sim->events("GARBAGE").isEmpty());
}

void TestE2e::dk61Startup_readsInOrderPacedAndBaudFlagTaken_data() {
    QTest::addColumn<QString>("baudFlag");
    QTest::addColumn<long>("nextSpeed");
    QTest::newRow("flag 01: 115200") << "0x01" << 115200L;
    QTest::newRow("flag FF: 128000") << "0xFF" << 128000L;
}

void TestE2e::dk61Startup_readsInOrderPacedAndBaudFlagTaken() {
    QFETCH(QString, baudFlag);
    QFETCH(long, nextSpeed);
    // The stored rate is the one the link starts with.
    tool->setSetting("Baudrate", "57600");
    SimRunner* sim = startSim({"--board", "dk61", "--baud-flag", baudFlag}, 21);
    QVERIFY2(sim, qPrintable(sims.last()->error()));
    QVERIFY(startTool());

    const QStringList expected{"A1",          "62 09 21 00", "62 08 10 00", "62 10 00 00",
                               "62 08 0F 08", "70 00",       "62 01 11 00"};
    QVERIFY2(E2eHarness::waitUntil(
                 [&] { return sim->commandsReceived().size() >= expected.size(); }, StartMs),
             qPrintable(failure("start-up reads missing")));
    const QList<SimEvent> rx = sim->events("RX");
    QStringList got;
    for (int i = 0; i < expected.size(); ++i)
        got.append(E2eHarness::hex(rx[i].bytes));
    QCOMPARE(got, expected);
    // The transmit queue paces the start-up reads 40 ms apart (a few ms of timer slack allowed).
    // The A1 is left out: the board notices a new reader only on its next look at the line.
    for (int i = 2; i < expected.size(); ++i) {
        const qint64 gap = rx[i].ms - rx[i - 1].ms;
        QVERIFY2(
            gap >= 35,
            qPrintable(
                QStringLiteral("%1 only %2 ms after %3").arg(got[i]).arg(gap).arg(got[i - 1])));
    }
    QCOMPARE(sim->speedAtFirstCommand(), 57600L);

    // The settings block's baud flag sets the rate the link takes when it is next set up:
    // take the board away and bring it back.
    QVERIFY(sim->stop());
    SimRunner* again = startSim({"--board", "dk61"}, 22);
    QVERIFY2(again, qPrintable(sims.last()->error()));
    QVERIFY2(E2eHarness::waitUntil([&] { return !again->commandsReceived().isEmpty(); }, StartMs),
             qPrintable(failure("the board was not found again")));
    QCOMPARE(E2eHarness::hex(again->commandsReceived().first()), QStringLiteral("A1"));
    QCOMPARE(again->speedAtFirstCommand(), nextSpeed);
    QVERIFY2(tool->stop(), qPrintable(failure("the tool did not end cleanly on SIGTERM")));
}

void TestE2e::unplug_idlesThenFindsTheBoardAgain() {
    // Records every 170 ms whatever the tool asks for, so that a few come before the hang-up.
    const QStringList fast{"--start-interval", "2", "--hold-interval"};
    SimRunner* first =
        startSim(QStringList{"--board", "flag", "--c1", "176", "--hangup-after", "2"} + fast, 31);
    QVERIFY2(first, qPrintable(sims.last()->error()));
    QVERIFY(startTool());
    QVERIFY(first->waitForExit(8000));
    QCOMPARE(first->exitCode(), 0);
    const QList<QByteArray> firstRecords = first->recordsSent();
    QVERIFY2(!firstRecords.isEmpty(), qPrintable(failure("no record before the hang-up")));

    // With the adapter gone the tool waits for it without spinning. The measurement needs a
    // window of its own: the CPU time used over 1 s, a look for the adapter included.
    QVERIFY(tool->isRunning());
    const double before = E2eHarness::cpuSeconds(tool->pid());
    QVERIFY(before >= 0.0);
    QTest::qWait(1000);
    QVERIFY2(tool->isRunning(), qPrintable(failure("the tool ended after the hang-up")));
    const double used = E2eHarness::cpuSeconds(tool->pid()) - before;
    QVERIFY2(used < 0.25, qPrintable(failure(QStringLiteral("%1 CPU seconds in 1 s").arg(used))));

    // A board on the same path is found and asked again; its records go to the same file.
    SimRunner* second =
        startSim(QStringList{"--board", "flag", "--c1", "17647", "--c2", "1176"} + fast, 32);
    QVERIFY2(second, qPrintable(sims.last()->error()));
    QVERIFY2(E2eHarness::waitUntil([&] { return !second->commandsReceived().isEmpty(); }, StartMs),
             qPrintable(failure("the board was not found again")));
    QCOMPARE(E2eHarness::hex(second->commandsReceived().first()), QStringLiteral("A1"));
    int secondSeen = -1;
    QVERIFY2(E2eHarness::waitUntil(
                 [&] {
                     const QList<QByteArray> records = second->recordsSent();
                     const QStringList rows = tool->flagRows();
                     if (records.size() < 2 || rows.isEmpty() ||
                         rowCounts(rows.last()) != E2eHarness::recordCounts(records.last()))
                         return false;
                     secondSeen = records.size();
                     return true;
                 },
                 10000),
             qPrintable(failure("no records after reconnecting" + progress(second))));
    QVERIFY2(tool->stop(), qPrintable(failure("the tool did not end cleanly on SIGTERM")));
    QVERIFY(second->stop());

    QCOMPARE(tool->flagFiles().size(), 1);
    QList<QList<int>> rows;
    QString problem = rowsToCounts(tool->flagRows(), &rows);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    // The record sent just before the hang-up may have gone with the line.
    problem = matchRuns(rows, {recordCounts(firstRecords), recordCounts(second->recordsSent())},
                        {firstRecords.size() - 1, secondSeen}, ShowCounts);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));

    QCOMPARE(tool->logFiles().size(), 1);
    QList<QByteArray> sent, received;
    problem = splitLog(tool->logLines(), &sent, &received);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    const QList<QByteArray> asked = first->commandsReceived() + second->commandsReceived();
    problem = matchRuns(sent, {asked}, {asked.size()}, ShowBytes);
    QVERIFY2(problem.isEmpty(), qPrintable(failure("commands: " + problem)));
}

void TestE2e::hostileBoard_keepsEveryRecord() {
    // Noise before every frame, up to 64 bytes, everything in 2-byte pieces, plus the DK-61's
    // own traffic, PLL reports and debug text between the records, which come every 85 ms.
    SimRunner* sim = startSim({"--board",
                               "both",
                               "--garbage",
                               "1",
                               "--garbage-max",
                               "64",
                               "--chunk",
                               "2",
                               "--pll",
                               "--debug-text",
                               "--c1",
                               "1176",
                               "--c2",
                               "235",
                               "--interp",
                               "18",
                               "--start-interval",
                               "2",
                               "--hold-interval",
                               "--time-lapse",
                               "2"},
                              41);
    QVERIFY2(sim, qPrintable(sims.last()->error()));
    QVERIFY(startTool());
    QElapsedTimer running;
    running.start();

    QPair<int, int> seen{-1, -1};
    QVERIFY2(E2eHarness::waitUntil(
                 [&] {
                     if (running.elapsed() < 2000)
                         return false;
                     seen = waitForTool(sim, 1, 0);
                     return seen.first >= 0;
                 },
                 20000),
             qPrintable(failure("the tool fell behind the board" + progress(sim))));
    QVERIFY2(tool->isRunning(), qPrintable(failure("the tool ended")));
    QVERIFY2(tool->stop(), qPrintable(failure("the tool did not end cleanly on SIGTERM")));
    QVERIFY(sim->stop());
    QVERIFY(seen.first >= 8);
    QVERIFY(sim->events("GARBAGE").size() >= seen.second);

    QList<QList<int>> rows;
    QString problem = rowsToCounts(tool->flagRows(), &rows);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    problem = matchRuns(rows, {recordCounts(sim->recordsSent())}, {seen.first}, ShowCounts);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    QList<QByteArray> sent, received;
    problem = splitLog(tool->logLines(), &sent, &received);
    QVERIFY2(problem.isEmpty(), qPrintable(failure(problem)));
    problem = matchRuns(received, {sim->framesSent()}, {seen.second}, ShowBytes);
    QVERIFY2(problem.isEmpty(), qPrintable(failure("frames: " + problem)));
}

// No bridge: start-up asks Retry/Abort before the main window is up. SIGTERM then ends the
// program at once, not only the box.
void TestE2e::quitRequest_endsTheProgramWhileStartUpAsks() {
    tool->setEnvironment(QStringLiteral("QT_LOGGING_RULES"),
                         QStringLiteral("dk61.link.debug=true"));
    QVERIFY(tool->start({}));
    QVERIFY2(
        E2eHarness::waitUntil(
            [&] { return tool->output().contains(QLatin1String("startup detected")); }, StartMs),
        qPrintable(failure("start-up did not look for a bridge")));
    QElapsedTimer stopping;
    stopping.start();
    QVERIFY2(tool->stop(), qPrintable(failure("the tool did not end cleanly on SIGTERM")));
    QVERIFY2(stopping.elapsed() < 3000, qPrintable(QString::number(stopping.elapsed())));
}

QTEST_GUILESS_MAIN(TestE2e)
#include "tst_e2e.moc"
