// The results database on a real PostgreSQL server that the test starts itself in a temporary
// folder (Debian's postgresql: initdb and pg_ctl), listening only on 127.0.0.1 at a free port,
// with a password that reaches libpq through PGPASSWORD. As root the server runs as the user
// nobody, since PostgreSQL refuses to run as root. It is stopped at the end, also when a check
// fails.
#include "flags/runseries.h"
#include "pgserver.h"
#include "resultschild.h"
#include "resultsstore.h"
#include "resultstable.h"
#include "resultsv1.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class tst_resultspostgres : public QObject {
    Q_OBJECT

    PgServer server;
    QTemporaryDir local;

    QByteArray runs() {
        return server.sql("dk61", "SELECT run_id, records, finished FROM runs ORDER BY run_id");
    }
    ResultsStore::Options options(const QString& outbox) const {
        ResultsStore::Options o;
        o.location = QString("postgresql://bench@127.0.0.1:%1/dk61").arg(server.port);
        o.outboxPath = outbox;
        o.timing = {2, 100, 400};
        return o;
    }

private slots:
    void initTestCase() {
        if (!QSqlDatabase::isDriverAvailable("QPSQL"))
            QSKIP("Qt's PostgreSQL driver is not installed (Debian package libqt5sql5-psql)");
        qputenv("PGPASSWORD", PgServer::Password);
        const QString why = server.create();
        if (why.startsWith("no PostgreSQL"))
            QSKIP(qPrintable(why));
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }

    // Runs go on while the server is stopped and started again: afterwards every run is
    // there, once, in its last version.
    void serverAwayInTheMiddleOfARun() {
        ResultsStore::Options o;
        o.location = QString("postgresql://bench@127.0.0.1:%1/dk61?application_name=bench%201")
                         .arg(server.port);
        o.outboxPath = local.filePath("outbox.sqlite");
        o.updateIntervalMs = 200;
        o.timing = {2, 100, 400};
        ResultsStore store(o);
        RunResult a = RunResult::begin(), b = RunResult::begin(), c = RunResult::begin();
        a.runId = "a";
        b.runId = "b";
        c.runId = "c";
        a.records = b.records = c.records = 1;
        store.update(a);
        store.update(b);
        QTRY_COMPARE(runs(), "a|1|0\nb|1|0\n");
        QTRY_VERIFY(store.status().connected);

        QVERIFY(server.stop());
        a.records = b.records = 2;
        store.update(a);
        store.finish(b);
        store.update(c);
        QTRY_COMPARE(store.status().waiting, 3);
        QVERIFY(!store.status().connected && !store.status().error.isEmpty());

        QVERIFY(server.start());
        QTRY_VERIFY_WITH_TIMEOUT(store.status().connected && store.status().waiting == 0, 10000);
        a.records = 3;
        store.finish(a);
        QVERIFY(store.flush(5000));
        QCOMPARE(runs(), "a|3|1\nb|2|1\nc|1|0\n");
    }

    // Another session holds the table locked. A program whose lock time-out is short gives up
    // and says why. One with the usual time-out says that the database does not answer while
    // its runs keep going to the outbox; killed then, it has lost none: all reach the server with
    // their curves once the lock is gone and the program starts again, the one it measured marked
    // as ended unexpectedly.
    void lockHeld_runsSurviveAKill() {
        QTemporaryDir here;
        const QString outbox = here.filePath("outbox.sqlite");
        {
            QSqlDatabase locker = QSqlDatabase::addDatabase("QPSQL", "locker");
            locker.setHostName("127.0.0.1");
            locker.setPort(server.port);
            locker.setUserName("bench");
            locker.setDatabaseName("dk61");
            QVERIFY(locker.open() && locker.transaction());
            QVERIFY(QSqlQuery(locker).exec("LOCK TABLE runs IN ACCESS EXCLUSIVE MODE"));
            {
                ResultsStore::Options o = options(here.filePath("other.sqlite"));
                o.timing.lockTimeoutMs = 300;
                o.shutdownMs = 500;
                ResultsStore impatient(o);
                RunResult r = RunResult::begin();
                r.runId = "impatient";
                impatient.update(r);
                QTRY_VERIFY2(impatient.status().error.contains("lock timeout"),
                             qPrintable(impatient.status().error));
            }
            QProcess tool;
            QVERIFY(ResultsChild::start(tool, options(outbox).location, outbox, "locked", 5));
            QVERIFY(ResultsChild::said(tool, "not answering"));
            ResultsChild::kill(tool);
            {
                QSqlDatabase box = QSqlDatabase::addDatabase("QSQLITE", "box");
                box.setDatabaseName(outbox);
                QSqlQuery q(box);
                QVERIFY(box.open() && q.exec("SELECT COUNT(*) FROM runs") && q.next());
                QCOMPARE(q.value(0).toInt(), 5);
            }
            QSqlDatabase::removeDatabase("box");
            locker.rollback();
            locker.close();
        }
        QSqlDatabase::removeDatabase("locker");
        {
            ResultsStore again(options(outbox));
            QTRY_VERIFY_WITH_TIMEOUT(again.status().connected && again.status().waiting == 0,
                                     15000);
        }
        QCOMPARE(server.sql("dk61", "SELECT run_id, records, finished, ended FROM runs WHERE "
                                    "run_id LIKE 'locked-%' ORDER BY run_id"),
                 "locked-1|10|1|\nlocked-2|20|1|\nlocked-3|30|1|\nlocked-4|40|1|\n"
                 "locked-5|50|0|unexpectedly\n");
        QCOMPARE(server.sql("dk61", "SELECT run_id, SUM(seconds) FROM run_series WHERE run_id "
                                    "LIKE 'locked-%' GROUP BY run_id ORDER BY run_id"),
                 "locked-1|10\nlocked-2|20\nlocked-3|30\nlocked-4|40\nlocked-5|50\n");
    }

    // A database of version 1 with a run of its own is taken to this version in place, the run
    // kept; a run's curve goes in and comes back in its chunks.
    void seriesInADatabaseMigratedInPlace() {
        QVERIFY(!server.sql("postgres", "CREATE DATABASE dk61v1").isEmpty());
        QStringList v1;
        for (const char* statement : ResultsV1Schema)
            v1 << statement;
        v1 << "INSERT INTO runs (run_id, records) VALUES ('old', 7)"
           << "SELECT 1";
        QVERIFY(!server.sql("dk61v1", v1.join(';')).isEmpty());
        ResultsStore::Options o;
        o.location = server.location("dk61v1");
        o.outboxPath = local.filePath("outbox-v1.sqlite");
        ResultsStore store(o);
        RunResult r = RunResult::begin();
        r.runId = "new";
        r.records = 1320;
        RunSeries curve;
        for (int i = 0; i < 1320; ++i)
            curve.add(i * 1000, {quint16(i), 0, 0, 0, 0}, 1, {1 + i / 300, i});
        r.series = curve.chunks();
        store.finish(r);
        QVERIFY(store.flush(5000));
        QCOMPARE(server.sql("dk61v1", "SELECT MAX(version) FROM schema_version"),
                 QByteArray::number(ResultsTable::SchemaVersion) + "\n");
        QCOMPARE(server.sql("dk61v1", "SELECT run_id, records, finished, ended FROM runs ORDER BY "
                                      "run_id"),
                 "new|1320|1|\nold|7|0|\n");
        QSignalSpy done(&store, &ResultsStore::seriesDone);
        store.querySeries("new");
        QVERIFY(done.wait(5000));
        QVERIFY(done.first().at(2).toString().isEmpty());
        RunSeries back;
        QString error;
        QVERIFY(RunSeries::fromChunks(done.first().at(1).value<QVector<RunSeries::Chunk>>(), &back,
                                      &error));
        QCOMPARE(back.size(), 1320);
        QCOMPARE(back.at(1319).position.discSecond, 1319);
    }
};

int main(int argc, char** argv) {
    const int child = ResultsChild::runIfAsked(argc, argv);
    if (child >= 0)
        return child;
    QCoreApplication app(argc, argv);
    tst_resultspostgres test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_resultspostgres.moc"
