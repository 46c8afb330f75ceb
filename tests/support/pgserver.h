#ifndef PGSERVER_H
#define PGSERVER_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A PostgreSQL server of its own in a temporary folder (Debian's postgresql: initdb and pg_ctl),
// listening only on 127.0.0.1 at a free port, with the role "bench" whose password reaches libpq
// through PGPASSWORD. As root the server runs as the user nobody, since PostgreSQL refuses to run
// as root. It is stopped when the object goes, also when a check failed.
class PgServer {
public:
    static const char* const Password;

    ~PgServer();

    // Creates the cluster with the role "bench" and the database "dk61" and starts it; an empty
    // text, or what went wrong (beginning "no PostgreSQL" when none is installed).
    QString create();
    // Only TCP on 127.0.0.1, no socket file, no fsync.
    bool start();
    bool stop();
    // The statement's rows, through psql; empty when it failed.
    QByteArray sql(const QString& database, const QString& statement);
    // The results database's address for `database`.
    QString location(const QString& database = QStringLiteral("dk61")) const;

    const int port;

    PgServer();

private:
    QString data() const { return dir.filePath("data"); }
    bool control(const QStringList& args);
    bool run(const QString& program, const QStringList& args, QByteArray* output = nullptr);

    QTemporaryDir dir;
    QString bin;
};

#endif // PGSERVER_H
