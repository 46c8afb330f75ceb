#include "pgserver.h"

#include "loopbacklistener.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <pwd.h>
#include <sys/stat.h>

const char* const PgServer::Password = "lab bench 'one'";

namespace {

int freePort() {
    int port = 0;
    ::close(loopbackListener(&port));
    return port;
}

} // namespace

PgServer::PgServer() : port(freePort()) {}

PgServer::~PgServer() {
    control({"-m", "immediate", "stop"});
}

QString PgServer::create() {
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
    if (geteuid() == 0 &&
        (!nobody || chown(qPrintable(data()), nobody->pw_uid, 0) != 0 ||
         chmod(qPrintable(dir.path()), 0711) != 0 || chmod(qPrintable(pw.fileName()), 0644) != 0))
        return "no user nobody to run the server as";
    if (!run("initdb", {"-D", data(), "-U", "bench", "--pwfile=" + pw.fileName(),
                        "--auth=scram-sha-256", "--no-sync", "-E", "UTF8", "--locale=C"}))
        return "initdb failed";
    if (!start())
        return "the server did not start";
    return sql("postgres", "CREATE DATABASE dk61").isEmpty() ? "no database" : QString();
}

bool PgServer::start() {
    return control({"-l", data() + "/server.log", "-o",
                    QString("-p %1 -h 127.0.0.1 -k '' -F").arg(port), "start"});
}

bool PgServer::stop() {
    return control({"-m", "fast", "stop"});
}

QByteArray PgServer::sql(const QString& database, const QString& statement) {
    QByteArray rows;
    run("psql",
        {"-h", "127.0.0.1", "-p", QString::number(port), "-U", "bench", "-d", database, "-Atc",
         statement},
        &rows);
    return rows;
}

QString PgServer::location(const QString& database) const {
    return QString("postgresql://bench@127.0.0.1:%1/%2").arg(port).arg(database);
}

bool PgServer::control(const QStringList& args) {
    return !bin.isEmpty() && run("pg_ctl", QStringList{"-D", data(), "-w", "-t", "30"} + args);
}

bool PgServer::run(const QString& program, const QStringList& args, QByteArray* output) {
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
