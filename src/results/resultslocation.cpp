#include "resultslocation.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace {

ResultsLocation invalid(const QString& why) {
    ResultsLocation l;
    l.error = why;
    return l;
}

QString decoded(const QString& s) {
    return QUrl::fromPercentEncoding(s.toUtf8());
}

// A libpq connection parameter, quoted so that blanks and quotes stay in the value.
QString option(const QString& key, QString value) {
    value.replace(QLatin1String("\\"), QLatin1String("\\\\"))
        .replace(QLatin1String("'"), QLatin1String("\\'"));
    return key + QLatin1String("='") + value + QLatin1Char('\'');
}

bool setPort(const QString& text, int* port) {
    bool ok = false;
    const int p = text.toInt(&ok);
    if (!ok || p < 1 || p > 65535)
        return false;
    *port = p;
    return true;
}

ResultsLocation parsePostgres(const QString& rest) {
    ResultsLocation l;
    l.kind = ResultsLocation::Kind::Postgres;
    const int queryAt = rest.indexOf(QLatin1Char('?'));
    const QString beforeQuery = queryAt < 0 ? rest : rest.left(queryAt);
    const int slash = beforeQuery.indexOf(QLatin1Char('/'));
    QString authority = slash < 0 ? beforeQuery : beforeQuery.left(slash);
    if (slash >= 0)
        l.database = decoded(beforeQuery.mid(slash + 1));
    const QString noPassword =
        QStringLiteral("no password in resultsDatabase: it belongs in PGPASSWORD or ~/.pgpass");

    const int at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        if (userInfo.contains(QLatin1Char(':')))
            return invalid(noPassword);
        l.user = decoded(userInfo);
        authority = authority.mid(at + 1);
    }
    QString portText;
    if (authority.startsWith(QLatin1Char('['))) { // [::1]:5432
        const int close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return invalid(QStringLiteral("resultsDatabase: unclosed [ in the host"));
        l.host = authority.mid(1, close - 1);
        if (authority.size() > close + 1) {
            if (authority.at(close + 1) != QLatin1Char(':'))
                return invalid(QStringLiteral("resultsDatabase: unreadable host"));
            portText = authority.mid(close + 2);
        }
    } else {
        const int colon = authority.lastIndexOf(QLatin1Char(':'));
        l.host = decoded(colon < 0 ? authority : authority.left(colon));
        if (colon >= 0)
            portText = authority.mid(colon + 1);
    }
    if (!portText.isEmpty() && !setPort(portText, &l.port))
        return invalid(QStringLiteral("resultsDatabase: port \"%1\" is not a port").arg(portText));

    static const QRegularExpression keyPattern(QStringLiteral("^[a-z_]+$"));
    const QStringList pairs =
        queryAt < 0 ? QStringList()
                    : rest.mid(queryAt + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const int eq = pair.indexOf(QLatin1Char('='));
        const QString key = decoded(pair.left(eq));
        const QString value = eq < 0 ? QString() : decoded(pair.mid(eq + 1));
        if (!keyPattern.match(key).hasMatch())
            return invalid(QStringLiteral("resultsDatabase: unknown parameter \"%1\"").arg(key));
        // The driver joins its options with ';': one inside a value would split it.
        if (value.contains(QLatin1Char(';')))
            return invalid(QStringLiteral("resultsDatabase: \";\" in parameter \"%1\"").arg(key));
        if (key == QLatin1String("password") || key == QLatin1String("passfile"))
            return invalid(noPassword);
        if (key == QLatin1String("host"))
            l.host = value;
        else if (key == QLatin1String("user"))
            l.user = value;
        else if (key == QLatin1String("dbname"))
            l.database = value;
        else if (key == QLatin1String("port")) {
            if (!setPort(value, &l.port))
                return invalid(
                    QStringLiteral("resultsDatabase: port \"%1\" is not a port").arg(value));
        } else
            l.options << option(key, value);
    }
    return l;
}

} // namespace

QString ResultsLocation::defaultSqlitePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QLatin1String("/results.sqlite");
}

QString ResultsLocation::setAside(const QString& file) {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString suffix = QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(file + suffix); ++n)
        suffix = QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(file, file + suffix))
        return QString();
    // A journal left beside the old file belongs to it: the new file must not take it over.
    for (const char* companion : {"-journal", "-wal", "-shm"}) {
        const QString name = file + QLatin1String(companion);
        if (QFileInfo::exists(name))
            QFile::rename(name, name + suffix);
    }
    return file + suffix;
}

ResultsLocation ResultsLocation::parse(const QString& value) {
    const QString v = value.trimmed();
    ResultsLocation l;
    if (v.isEmpty() || v.startsWith(QLatin1String("sqlite:"))) {
        QString path = v.isEmpty() ? defaultSqlitePath() : v.mid(int(qstrlen("sqlite:")));
        if (path.startsWith(QLatin1String("//")))
            path = path.mid(2);
        if (!QDir::isAbsolutePath(path))
            return invalid(
                QStringLiteral("resultsDatabase: \"%1\" is not an absolute path").arg(path));
        l.kind = Kind::Sqlite;
        l.filePath = QDir::cleanPath(path);
        return l;
    }
    for (const char* scheme : {"postgresql://", "postgres://"}) {
        if (v.startsWith(QLatin1String(scheme)))
            return parsePostgres(v.mid(int(qstrlen(scheme))));
    }
    return invalid(QStringLiteral("resultsDatabase: \"%1\" is neither a postgresql:// address nor "
                                  "sqlite:/path")
                       .arg(v));
}

QString ResultsLocation::describe() const {
    switch (kind) {
    case Kind::Sqlite:
        return QDir::toNativeSeparators(filePath);
    case Kind::Postgres: {
        QString d = QStringLiteral("postgresql://");
        if (!user.isEmpty())
            d += user + QLatin1Char('@');
        d += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
        if (port > 0)
            d += QLatin1Char(':') + QString::number(port);
        return d + QLatin1Char('/') + database;
    }
    case Kind::Invalid:
        break;
    }
    return QString();
}

QSqlDatabase ResultsLocation::connection(const QString& connectionName, int connectTimeoutS) const {
    if (kind == Kind::Sqlite) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(filePath);
        // Another connection (the shut-down writer, another instance) may hold the file briefly.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(connectTimeoutS * 1000));
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!host.isEmpty())
        db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    if (!user.isEmpty())
        db.setUserName(user);
    if (!database.isEmpty())
        db.setDatabaseName(database);
    // libpq waits at most connect_timeout for a server, and the keep-alives and the TCP user
    // time-out end a connection whose server went away without closing it. The value's own
    // parameters come last and win.
    QStringList all{
        option(QStringLiteral("connect_timeout"), QString::number(qMax(2, connectTimeoutS))),
        QStringLiteral("keepalives_idle=10"),
        QStringLiteral("keepalives_interval=5"),
        QStringLiteral("keepalives_count=3"),
        QStringLiteral("tcp_user_timeout=15000"),
        QStringLiteral("application_name=dk61-pc-tool")};
    db.setConnectOptions((all + options).join(QLatin1Char(';')));
    return db;
}
