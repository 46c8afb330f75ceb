// The results database on a real PostgreSQL server that the test starts itself in a temporary
// folder (Debian's postgresql: initdb and pg_ctl), listening only on 127.0.0.1 at a free port,
// with a password that reaches libpq through PGPASSWORD. As root the server runs as the user
// nobody, since PostgreSQL refuses to run as root. It is stopped at the end, also when a check
// fails.
#include "loopbacklistener.h"
#include "resultschild.h"
#include "resultsstore.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <sys/stat.h>

namespace {

const char* const Password = "lab bench 'one'";

class Server {
public:
    ~Server() { control({"-m", "immediate", "stop"}); }

    // Creates the cluster with the role "bench" and the database "dk61" and starts it; an empty
    // text, or what went wrong.
    QString create() {
        for (const QString& v : QDir("/usr/lib/postgresql").entryList({"[0-9]*"}, QDir::Dirs)) {
            if (QFile::exists("/usr/lib/postgresql/" + v + "/bin/initdb"))
                bin = "/usr/lib/postgresql/" + v + "/bin/";
        }
        if (bin.isEmpty())
            return "no PostgreSQL server installed (Debian package postgresql)";
        QFile pw(dir.filePath("pw"));
        pw.open(QIODevice::WriteOnly);
        pw.write(Password);
        pw.close();
        QDir().mkdir(data());
        const passwd* nobody = getpwnam("nobody");
        if (geteuid() == 0 && (!nobody || chown(qPrintable(data()), nobody->pw_uid, 0) != 0 ||
                               chmod(qPrintable(dir.path()), 0711) != 0 ||
                               chmod(qPrintable(pw.fileName()), 0644) != 0))
            return "no user nobody to run the server as";
        if (!run("initdb", {"-D", data(), "-U", "bench", "--pwfile=" + pw.fileName(),
                            "--auth=scram-sha-256", "--no-sync", "-E", "UTF8", "--locale=C"}))
            return "initdb failed";
        if (!start())
            return "the server did not start";
        return sql("postgres", "CREATE DATABASE dk61").isEmpty() ? "no database" : QString();
    }
    // Only TCP on 127.0.0.1, no socket file, no fsync.
    bool start() {
        return control({"-l", data() + "/server.log", "-o",
                        QString("-p %1 -h 127.0.0.1 -k '' -F").arg(port), "start"});
    }
    bool stop() { return control({"-m", "fast", "stop"}); }

    // The statement's rows, through psql; empty when it failed.
    QByteArray sql(const QString& database, const QString& statement) {
        QByteArray rows;
        run("psql",
            {"-h", "127.0.0.1", "-p", QString::number(port), "-U", "bench", "-d", database, "-Atc",
             statement},
            &rows);
        return rows;
    }

    const int port = [] {
        int port = 0;
        ::close(loopbackListener(&port));
        return port;
    }();

private:
    QString data() const { return dir.filePath("data"); }
    bool control(const QStringList& args) {
        return !bin.isEmpty() && run("pg_ctl", QStringList{"-D", data(), "-w", "-t", "30"} + args);
    }
    bool run(const QString& program, const QStringList& args, QByteArray* output = nullptr) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        if (geteuid() == 0)
            p.start("runuser", QStringList{"-u", "nobody", "--", bin + program} + args);
        else
            p.start(bin + program, args);
        const bool ok =
            p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (output && ok)
            *output = p.readAllStandardOutput();
        if (!ok)
            qWarning().noquote() << program << args.join(' ') << p.readAll()
                                 << p.readAllStandardError();
        return ok;
    }

    QTemporaryDir dir;
    QString bin;
};

} // namespace

class tst_resultspostgres : public QObject {
    Q_OBJECT

    Server server;
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
        qputenv("PGPASSWORD", Password);
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
    // its runs keep going to the outbox; killed then, it has lost none: all reach the server
    // once the lock is gone and the program starts again, the one it measured marked as ended
    // unexpectedly.
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
    }

    // A database of the version before (no column `ended`) takes the new column in place and
    // keeps its runs.
    void olderSchema_upgradedInPlace() {
        QVERIFY(!server
                     .sql("dk61", "ALTER TABLE runs DROP COLUMN ended; UPDATE schema_version "
                                  "SET version = 1; SELECT 1")
                     .isEmpty());
        const QByteArray before = runs();
        QTemporaryDir here;
        {
            ResultsStore store(options(here.filePath("outbox.sqlite")));
            RunResult r = RunResult::begin();
            r.runId = "z";
            store.finish(r);
            QVERIFY(store.flush(5000));
        }
        QCOMPARE(runs(), before + "z|0|1\n");
        QCOMPARE(server.sql("dk61", "SELECT version, COUNT(*) FILTER (WHERE ended = '') FROM "
                                    "schema_version, runs GROUP BY version"),
                 QByteArray::number(2) + "|" + QByteArray::number(before.count('\n') + 1) + "\n");
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
