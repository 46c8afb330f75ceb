#ifndef RESULTSLOCATION_H
#define RESULTSLOCATION_H

#include <QString>
#include <QStringList>

class QSqlDatabase;

// Where the results go, read from the settings value "resultsDatabase":
//   empty                                   results.sqlite in the per-user application data folder
//   sqlite:/path/to/file.sqlite             that SQLite file (an absolute path)
//   postgresql://user@host:port/database?k=v   a PostgreSQL server ("postgres://" too); host,
//                                           port, user and database may be left out (libpq's
//                                           defaults), a host starting with "/" (written %2F) is
//                                           a socket folder, and the query's keys are libpq
//                                           connection parameters.
// A password is never taken from the value: libpq reads PGPASSWORD or ~/.pgpass itself.
class ResultsLocation {
public:
    enum class Kind { Invalid, Sqlite, Postgres };

    static ResultsLocation parse(const QString& value);
    static QString defaultSqlitePath();
    // Renames a damaged SQLite file, with its journal and write-ahead files, to
    // "<name>.damaged-<date and time>" beside it (never over another file), so that a new one
    // can start in its place; the file is kept, never deleted. The new name, or empty when the
    // file could not be renamed.
    static QString setAside(const QString& file);

    Kind kind = Kind::Invalid;
    QString error; // why a value is Invalid
    QString filePath;
    QString host;
    int port = -1;
    QString user;
    QString database;
    QStringList options; // libpq "key='value'" pairs, quoted

    // For the status bar and messages: the file, or "postgresql://user@host:port/database".
    QString describe() const;
    // A new, closed connection of this location under `connectionName`, on the calling thread;
    // a server that does not answer gives up after `connectTimeoutS` seconds.
    QSqlDatabase connection(const QString& connectionName, int connectTimeoutS) const;
};

#endif // RESULTSLOCATION_H
