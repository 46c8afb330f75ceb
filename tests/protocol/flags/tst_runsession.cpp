// The flag monitor's runs without a window: the unit each run keeps, starting and ending runs,
// the log file's lines, limits that judge a run again, and review.
#include "flags/runsession.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// A session driven by the operator's and the board's steps, one word each (the clock moves a
// second with every record):
//   "type X"      X typed as the unit ID          "field X"  X in the field, not finished yet
//   "board N"     the DK-61 with serial N named itself
//   "new"         New run                         "new+clear" New run, the unit ID emptied
//   "start"       Start run                       "end"      End run
//   "interval N"  interval N chosen               "record"   a record of 1 s (C1 100)
//   "up", "down"  the link opened / went down     "limit P"  C1 limited to P %
struct Bench {
    qint64 now = 0;
    RunSession session{[this] { return now; }};
    QStringList log;
    QString field;
    int filesOpened = 0;
    int filesClosed = 0;

    Bench() {
        session.nextFlagFile = [this] { return QStringLiteral("flags-%1.txt").arg(++filesOpened); };
        session.closeFlagFile = [this] { ++filesClosed; };
        QObject::connect(&session, &RunSession::logLine, [this](const QString& line) {
            log << line.mid(line.indexOf(QLatin1Char(']')) + 1);
        });
        QObject::connect(&session, &RunSession::typedIdCleared, [this] { field.clear(); });
    }
    void run(const QStringList& steps) {
        for (const QString& step : steps) {
            const QString word = step.section(' ', 0, 0), arg = step.section(' ', 1);
            if (word == "type" || word == "field") {
                field = arg;
                session.setTypedId(field);
                if (word == "type")
                    session.typedIdDone();
            } else if (word == "board") {
                session.boardIdentified(UnitIdentity::board(60, quint16(arg.toInt()), 7, 2000, 9));
            } else if (word == "new" || word == "new+clear") {
                session.newRun(word == "new+clear");
            } else if (word == "start") {
                session.startChosen(false);
            } else if (word == "end") {
                session.endChosen();
            } else if (word == "interval") {
                session.intervalChosen(arg.toInt());
            } else if (word == "record") {
                session.recordAdded({100, 0, 0, 0, 0}, 1);
                now += 1000;
            } else if (word == "up") {
                session.linkUp("ttyUSB0", 128000);
            } else if (word == "down") {
                session.linkDown("ttyUSB0", "unplugged");
            } else if (word == "limit") {
                FlagLimits limits;
                limits.percent[0] = arg.toDouble();
                session.setLimits(limits);
            } else {
                QTest::qFail(qPrintable("no such step: " + step), __FILE__, __LINE__);
            }
        }
    }
};

} // namespace

class tst_runsession : public QObject {
    Q_OBJECT

private slots:
    // "unit of the live run | unit waiting for the next | the unit ID field"
    void units_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("shown");
        QTest::newRow("typed before the start")
            << QStringList{"type PG-001", "new"} << "PG-001||PG-001";
        QTest::newRow("typed while the run has none")
            << QStringList{"new", "record", "type PG-001"} << "PG-001||PG-001";
        QTest::newRow("typed while the run has one: it waits")
            << QStringList{"type PG-001", "new", "record", "type PG-002"} << "PG-001|PG-002|PG-002";
        QTest::newRow("and names the next run")
            << QStringList{"type PG-001", "new", "type PG-002", "new"} << "PG-002||PG-002";
        QTest::newRow("not finished typing: taken at the next start")
            << QStringList{"new", "field PG-003"} << "not identified|PG-003|PG-003";
        QTest::newRow("New run empties the ID of the run that ends")
            << QStringList{"type PG-001", "new", "new+clear"} << "not identified||";
        QTest::newRow("but not one typed for the next unit")
            << QStringList{"type PG-001", "new", "type PG-002", "new+clear"} << "PG-002||PG-002";
        QTest::newRow("the board before a typed ID")
            << QStringList{"type PG-001", "board 12345", "new"} << "12345||PG-001";
        QTest::newRow("the board names a run without a unit")
            << QStringList{"new", "record", "board 12345"} << "12345||";
        QTest::newRow("but not a run that has one")
            << QStringList{"type PG-001", "new", "board 12345"} << "PG-001|12345|PG-001";
        QTest::newRow("the link down forgets the board, the run keeps it")
            << QStringList{"board 12345", "new", "up", "down"} << "12345||";
        QTest::newRow("and the next run has none")
            << QStringList{"board 12345", "new", "up", "down", "new"} << "not identified||";
        QTest::newRow("an ended run takes no unit")
            << QStringList{"new", "end", "type PG-001"} << "not identified|PG-001|PG-001";
        QTest::newRow("another interval: the same unit goes on")
            << QStringList{"type PG-001", "new", "record", "type PG-002", "interval 3"}
            << "PG-001|PG-002|PG-002";
    }
    void units() {
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        Bench b;
        b.run(steps);
        const std::optional<UnitIdentity> waiting = b.session.waitingUnit();
        QCOMPARE(QStringList(
                     {b.session.live().unit.unit(), waiting ? waiting->unit() : QString(), b.field})
                     .join('|'),
                 shown);
    }

    // "runs started/ended, records of the live run, of the one ended before it ("-": none at
    // hand), flag files opened/closed"
    void cycle_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("counts");
        QTest::newRow("End run: later records belong to no run")
            << QStringList{"new", "record", "record", "end", "record"} << "1/1 2 - 1/1";
        QTest::newRow("Start run only while none goes")
            << QStringList{"new", "start"} << "1/0 0 - 1/0";
        QTest::newRow("Start run after End run")
            << QStringList{"new", "record", "end", "start", "record"} << "2/1 1 1 2/1";
        QTest::newRow("New run keeps the ended one at hand")
            << QStringList{"new", "record", "record", "new", "record"} << "2/1 1 2 2/0";
        QTest::newRow("a run without records is not kept")
            << QStringList{"new", "record", "new", "new"} << "3/2 0 1 3/0";
        QTest::newRow("nothing at hand once the run ended")
            << QStringList{"new", "record", "new", "record", "end"} << "2/2 1 - 2/1";
        QTest::newRow("End run twice") << QStringList{"new", "end", "end"} << "1/1 0 - 1/1";
        QTest::newRow("the same interval again: the run goes on")
            << QStringList{"new", "record", "interval 1", "record"} << "1/0 2 - 1/0";
        QTest::newRow("another interval: another run")
            << QStringList{"new", "record", "interval 3", "record"} << "2/1 1 1 2/0";
        QTest::newRow("another interval after End run: no run")
            << QStringList{"new", "end", "interval 3"} << "1/1 0 - 1/1";
    }
    void cycle() {
        QFETCH(QStringList, steps);
        QFETCH(QString, counts);
        Bench b;
        QSignalSpy started(&b.session, &RunSession::runStarted);
        QSignalSpy ended(&b.session, &RunSession::runEnded);
        b.run(steps);
        const RunSession::Run* before = b.session.lastEnded();
        QCOMPARE(QStringLiteral("%1/%2 %3 %4 %5/%6")
                     .arg(started.count())
                     .arg(ended.count())
                     .arg(b.session.live().summary.records())
                     .arg(before ? QString::number(before->store.size()) : QString("-"))
                     .arg(b.filesOpened)
                     .arg(b.filesClosed),
                 counts);
        QCOMPARE(b.session.live().flagFile, QStringLiteral("flags-%1.txt").arg(b.filesOpened));
    }

    // The log file's lines (their time stamps left out).
    void logLines_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("a run named from its start")
            << QStringList{"type PG-001", "new", "record", "record", "record", "end"}
            << QStringList{"Run started: unit PG-001 (typed)",
                           "Run ended: unit PG-001 (typed), 3 records, 00:00:03 measured"};
        QTest::newRow("named while it goes")
            << QStringList{"new", "record", "type PG-001", "new"}
            << QStringList{"Run started: unit not identified", "Run unit: unit PG-001 (typed)",
                           "Run ended: unit PG-001 (typed), 1 records, 00:00:01 measured"};
        QTest::newRow("named by the board")
            << QStringList{"new", "board 12345", "record"}
            << QStringList{"Run started: unit 12345 (customer 7, firmware 60, flashed "
                           "2023-03-15 by 9)"};
        QTest::newRow("a run without records: no line")
            << QStringList{"new", "end"} << QStringList{};
        QTest::newRow("the link going and coming back")
            << QStringList{"up", "new", "record", "down", "up", "up"}
            << QStringList{"Run started: unit not identified", "Link down: ttyUSB0 (unplugged)",
                           "Link back: ttyUSB0 at 128000 Baud"};
        QTest::newRow("the first opening: no line")
            << QStringList{"up", "down", "down"} << QStringList{"Link down: ttyUSB0 (unplugged)"};
    }
    void logLines() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, lines);
        Bench b;
        b.run(steps);
        QCOMPARE(b.log, lines);
    }

    // Every line starts with the session's time: the records' times count from the run's start.
    void logStamp_andRecordTimes() {
        Bench b;
        b.now = 3723000; // 01:02:03 since start-up
        QStringList stamped;
        connect(&b.session, &RunSession::logLine, [&](const QString& line) { stamped << line; });
        b.run({"new", "record", "record", "up", "down", "record"});
        QCOMPARE(stamped.first(), QString("[01:02:03]Run started: unit not identified"));
        QCOMPARE(stamped.last(), QString("[01:02:05]Link down: ttyUSB0 (unplugged)"));
        const RunStore& store = b.session.live().store;
        QCOMPARE(QList<qint64>({store.timeMs(0), store.timeMs(1), store.timeMs(2)}),
                 QList<qint64>({0, 1000, 2000}));
        // The record after the link was down starts a stretch of its own.
        QCOMPARE(QList<bool>({store.followsGap(1), store.followsGap(2)}),
                 QList<bool>({false, true}));
    }

    // New limits judge the run going on again, the ended run keeps its verdict, and the results
    // database hears of it only for a run going on.
    void limits_judgeTheRunGoingOn_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("updates");
        QTest::newRow("going on") << QStringList{"new", "record", "limit 1"} << "FAIL" << 1;
        QTest::newRow("going on, loosened")
            << QStringList{"new", "record", "limit 1", "limit 5"} << "PASS" << 2;
        QTest::newRow("ended") << QStringList{"new", "record", "limit 1", "end", "limit 5"}
                               << "FAIL" << 1;
        QTest::newRow("the same limit again")
            << QStringList{"new", "record", "limit 1", "limit 1"} << "FAIL" << 1;
        QTest::newRow("the next run")
            << QStringList{"new", "record", "limit 1", "new", "record"} << "FAIL" << 1;
    }
    void limits_judgeTheRunGoingOn() {
        QFETCH(QStringList, steps);
        QFETCH(QString, verdict);
        QFETCH(int, updates);
        Bench b;
        QSignalSpy updated(&b.session, &RunSession::runUpdated);
        b.run(steps);
        QCOMPARE(b.session.live().summary.verdictText(), verdict);
        // (a record's summary follows later, and is no update of the limits)
        QCOMPARE(updated.count(), updates);
    }

    // A saved run reviewed while the live run goes on: the page shows the file, the live run
    // keeps taking records, no unit waits; back to live, the live run shows again.
    void review_ofAFile() {
        Bench b;
        b.run({"type PG-001", "new", "record", "type PG-002"});
        RunStore file;
        RunSummary summary;
        for (int i = 0; i < 3; ++i) {
            file.append(i * 1000, {7350, 0, 0, 0, 0}, 1);
            summary.add({7350, 0, 0, 0, 0}, 1);
        }
        QSignalSpy opened(&b.session, &RunSession::reviewOpened);
        b.session.review(std::move(file), summary, QDateTime(QDate(2025, 3, 6), QTime(9, 4, 7)),
                         UnitIdentity::typedId("AB-17"), "/runs/20250306090407.txt", 2);
        QCOMPARE(opened.count(), 1);
        QVERIFY(b.session.reviewing() && !b.session.reviewFromDatabase());
        QCOMPARE(b.session.shown().unit.unit(), QString("AB-17"));
        QCOMPARE(b.session.shown().summary.maximumText(0), QString("100.000 % (7350)"));
        QCOMPARE(b.session.sourceText(),
                 QDir::toNativeSeparators("Reviewing /runs/20250306090407.txt") +
                     " (2 lines skipped)");
        QVERIFY(!b.session.waitingUnit());
        b.run({"record", "limit 50"});
        QCOMPARE(b.session.shown().summary.overLimitText(0), QString("3 over 50 %"));
        QSignalSpy closed(&b.session, &RunSession::reviewClosed);
        b.session.backToLive();
        b.session.backToLive();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(b.session.shown().summary.records(), qint64(2));
        QCOMPARE(b.session.waitingUnit()->unit(), QString("PG-002"));
        QVERIFY2(QRegularExpression("^Run since \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d, flag "
                                    "file flags-1.txt$")
                     .match(b.session.sourceText())
                     .hasMatch(),
                 qPrintable(b.session.sourceText()));
    }

    // A run of the results database reviewed from its seconds: judged as it was while it was
    // measured, whatever the limits are now.
    void review_ofAStoredRun() {
        Bench b;
        b.run({"new", "record"});
        RunSession::Stored stored;
        for (int i = 0; i < 12; ++i)
            stored.series.add(i * 1000, {300, 0, 0, 0, 0}, 1, {});
        stored.unit = UnitIdentity::typedId("PG-7");
        stored.started = QDateTime(QDate(2025, 3, 6), QTime(9, 4, 7));
        stored.intervalMs = 1000;
        stored.judged = {RunSummary::Verdict::Pass, RunSummary::Standard::Fail, 300.0, 12};
        b.session.review(stored);
        QVERIFY(b.session.reviewFromDatabase());
        QCOMPARE(b.session.sourceText(),
                 QString("Reviewing the run of 2025-03-06 09:04:07 from the results database"));
        const RunSummary& shown = b.session.shown().summary;
        QCOMPARE(QStringList({shown.recordsText(), shown.standardText(), shown.verdictText(),
                              shown.totalText(0), shown.intervalsText()}),
                 QStringList({"12", "FAIL: BLER 300/s over 10 s", "PASS", "3600", "1 s"}));
        b.run({"limit 1"});
        QCOMPARE(b.session.shown().summary.verdictText(), QString("PASS"));
        QCOMPARE(b.session.shown().summary.overLimitText(0), QString("12 s over 1 %"));
    }
};

QTEST_GUILESS_MAIN(tst_runsession)
#include "tst_runsession.moc"
