// The results database on a real PostgreSQL server that the test starts itself in a temporary
// folder (Debian's postgresql: initdb and pg_ctl), listening only on 127.0.0.1 at a free port,
// with a password that reaches libpq through PGPASSWORD. As root the server runs as the user
// nobody, since PostgreSQL refuses to run as root. The server is stopped at the end, also when
// a check fails.
#include "resultsstore.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "loopbacklistener.h"

#include <pwd.h>

namespace {

const char* const Password = "lab bench 'one'";

int freePort() {
    int port = 0;
    ::close(loopbackListener(&port));
    return port;
}

class Server {
public:
    ~Server() { control({"-m", "immediate", "stop"}); }

    // Creates the cluster with the role "bench" and the database "dk61", and starts it.
    QString create() {
        const QStringList versions =
            QDir("/usr/lib/postgresql")
                .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        for (const QString& v : versions) {
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
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || chown(qPrintable(data()), nobody->pw_uid, nobody->pw_gid) != 0)
                return "no user nobody to run the server as";
            QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ExeOther);
            pw.setPermissions(pw.permissions() | QFileDevice::ReadOther);
        }
        if (!run("initdb", {"-D", data(), "-U", "bench", "--pwfile=" + pw.fileName(),
                            "--auth=scram-sha-256", "--no-sync", "-E", "UTF8", "--locale=C"}))
            return "initdb failed";
        QFile conf(data() + "/postgresql.conf");
        conf.open(QIODevice::Append);
        conf.write(QStringLiteral("listen_addresses = '127.0.0.1'\nport = %1\n"
                                  "unix_socket_directories = ''\nfsync = off\n")
                       .arg(port)
                       .toUtf8());
        conf.close();
        if (!start())
            return "the server did not start";
        return sql("postgres", "CREATE DATABASE dk61").isValid() ? QString() : "no database";
    }
    bool start() { return control({"-l", data() + "/server.log", "start"}); }
    bool stop() { return control({"-m", "fast", "stop"}); }

    // The first column of the statement's rows, through a connection of our own; an invalid
    // value when the statement failed.
    QVariant sql(const QString& database, const QString& statement) {
        QVariantList rows;
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "check");
            db.setHostName("127.0.0.1");
            db.setPort(port);
            db.setUserName("bench");
            db.setDatabaseName(database);
            QSqlQuery q(db);
            ok = db.open() && q.exec(statement);
            while (q.next())
                rows << q.value(0);
        }
        QSqlDatabase::removeDatabase("check");
        return ok ? QVariant(rows) : QVariant();
    }

    const int port = freePort();

private:
    QString data() const { return dir.filePath("data"); }
    bool control(const QStringList& args) {
        return !bin.isEmpty() && run("pg_ctl", QStringList{"-D", data(), "-w", "-t", "30"} + args);
    }
    bool run(const QString& program, const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setProcessChannelMode(QProcess::MergedChannels);
        if (geteuid() == 0)
            p.start("runuser", QStringList{"-u", "nobody", "--", bin + program} + args);
        else
            p.start(bin + program, args);
        const bool ok =
            p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!ok)
            qWarning().noquote() << program << args.join(' ') << p.readAll();
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

    ResultsStore::Options options() const {
        ResultsStore::Options o;
        o.location =
            QStringLiteral("postgresql://bench@127.0.0.1:%1/dk61?application_name=bench%201")
                .arg(server.port);
        o.outboxPath = local.filePath("outbox.sqlite");
        o.updateIntervalMs = 200;
        o.timing = {2, 100, 400};
        return o;
    }
    QVariant runs() {
        return server.sql("dk61", "SELECT run_id || ' ' || records || ' ' || finished FROM runs "
                                  "ORDER BY run_id");
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
        ResultsStore store(options());
        RunResult a = RunResult::begin(), b = RunResult::begin(), c = RunResult::begin();
        a.runId = "a";
        b.runId = "b";
        c.runId = "c";
        a.records = b.records = c.records = 1;
        store.update(a);
        store.update(b);
        QTRY_COMPARE(runs(), QVariant(QVariantList{"a 1 0", "b 1 0"}));
        QVERIFY(store.status().connected);

        QVERIFY(server.stop());
        a.records = 2;
        store.update(a);
        b.records = 2;
        store.finish(b);
        store.update(c);
        QTRY_COMPARE(store.status().waiting, 3);
        QVERIFY(!store.status().connected && !store.status().error.isEmpty());

        QVERIFY(server.start());
        QTRY_VERIFY_WITH_TIMEOUT(store.status().connected && store.status().waiting == 0, 10000);
        a.records = 3;
        store.finish(a);
        QVERIFY(store.flush(5000));
        QCOMPARE(runs(), QVariant(QVariantList{"a 3 1", "b 2 1", "c 1 0"}));
    }

    // A database a later program has moved on is read, not written.
    void newerSchemaRefused() {
        QVERIFY(server.sql("dk61", "UPDATE schema_version SET version = 2").isValid());
        const QVariant before = runs();
        {
            ResultsStore store(options());
            store.finish(RunResult::begin());
            QTRY_COMPARE(store.status().waiting, 1);
            QVERIFY2(store.status().error.contains("schema version 2"),
                     qPrintable(store.status().error));
        }
        QCOMPARE(runs(), before);
        QCOMPARE(server.sql("dk61", "SELECT version FROM schema_version"),
                 QVariant(QVariantList{2}));
    }
};

QTEST_GUILESS_MAIN(tst_resultspostgres)
#include "tst_resultspostgres.moc"
