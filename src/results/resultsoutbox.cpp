#include "resultsoutbox.h"

#include "resultslocation.h"
#include "resultstable.h"
#include "resultsworker.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QUuid>

namespace {

// Another program's write holds the file this long at most before the next place is tried.
constexpr int BusyS = 1;
// Less room than this on the outbox's disk after a failed write: the disk is full.
constexpr qint64 NearlyFull = 1 << 20;

} // namespace

ResultsOutbox::ResultsOutbox(const QString& path, const QStringList& spareFolders) {
    QStringList paths{QDir::cleanPath(path)};
    for (const QString& folder : spareFolders) {
        if (folder.isEmpty())
            continue;
        const QString spare =
            QDir::cleanPath(QDir(folder).absoluteFilePath(QLatin1String(FileName)));
        if (!paths.contains(spare))
            paths << spare;
    }
    for (const QString& p : paths) {
        Place place;
        place.path = p;
        place.connection =
            QStringLiteral("dk61-outbox-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        places << place;
    }
}

ResultsOutbox::~ResultsOutbox() {
    for (Place& place : places) {
        close(place);
        QSqlDatabase::removeDatabase(place.connection);
    }
}

bool ResultsOutbox::open(Place& place, bool create, QString* error) {
    // A file that went from its path (its folder deleted or replaced) would take writes that
    // nobody reads again.
    if (place.ready && QFileInfo::exists(place.path))
        return true;
    close(place);
    if (!create && !QFileInfo::exists(place.path))
        return false;
    if (create)
        QDir().mkpath(QFileInfo(place.path).absolutePath());
    for (int attempt = 0; attempt < 2; ++attempt) {
        QSqlDatabase db = QSqlDatabase::contains(place.connection)
                              ? QSqlDatabase::database(place.connection, false)
                              : ResultsLocation::parse(QStringLiteral("sqlite:") + place.path)
                                    .connection(place.connection, BusyS);
        error->clear();
        if (db.open() && ResultsTable::prepare(db, error)) {
            place.ready = true;
            // The outbox of the application data folder (a local disk) is written on the
            // window's thread every few seconds: a write-ahead log without a flush to the disk
            // on every commit makes that a plain write, and a killed program loses nothing by
            // it. The spare folders may be on a network share, which such a log does not suit.
            if (&place == &places.first()) {
                QSqlQuery q(db);
                q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
                q.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
            }
            return true;
        }
        if (error->isEmpty())
            *error = db.lastError().text();
        if (attempt > 0 || !setAsideIfDamaged(place) || !create)
            break;
    }
    close(place);
    return false;
}

void ResultsOutbox::close(Place& place) {
    if (QSqlDatabase::contains(place.connection))
        QSqlDatabase::database(place.connection, false).close();
    place.ready = false;
}

bool ResultsOutbox::setAsideIfDamaged(Place& place) {
    if (!QSqlDatabase::contains(place.connection))
        return false;
    QSqlDatabase db = QSqlDatabase::database(place.connection, false);
    if (!ResultsTable::damaged(db))
        return false;
    close(place);
    const QString aside = ResultsLocation::setAside(place.path);
    if (aside.isEmpty())
        return false;
    notices << QStringLiteral("The results outbox %1 was damaged; it is kept as %2 and a new one "
                              "was started.")
                   .arg(QDir::toNativeSeparators(place.path), QDir::toNativeSeparators(aside));
    qCWarning(dk61Results).noquote() << notices.last();
    return true;
}

bool ResultsOutbox::write(Place& place, const QVector<RunResult>& runs) {
    QString error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open(place, true, &error))
            break;
        QSqlDatabase db = QSqlDatabase::database(place.connection, false);
        if (ResultsTable::upsert(db, runs, &error)) {
            place.failing = false;
            return true;
        }
        if (attempt > 0 || !setAsideIfDamaged(place))
            break;
    }
    if (!place.failing)
        qCWarning(dk61Results) << "the outbox" << place.path << "takes no run:" << error;
    place.failing = true;
    close(place);
    return false;
}

QString ResultsOutbox::reasonFor(const QString& path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return QStringLiteral("folder not writable");
    const QStorageInfo disk(folder.absoluteFilePath());
    if (disk.isValid() && disk.isReadOnly())
        return QStringLiteral("folder not writable");
    if (disk.isValid() && disk.bytesAvailable() < NearlyFull)
        return QStringLiteral("disk full");
    return QStringLiteral("write error");
}

bool ResultsOutbox::keep(const QVector<RunResult>& runs) {
    if (runs.isEmpty())
        return true;
    for (int i = 0; i < places.size(); ++i) {
        if (write(places[i], runs))
            return true;
        if (i == 0)
            why = reasonFor(places[0].path);
    }
    return false;
}

QVector<RunResult> ResultsOutbox::waiting(const ResultsFilter& filter) {
    return read(filter, false);
}

QVector<RunResult> ResultsOutbox::waitingToSend() {
    return read(ResultsFilter(), true);
}

QVector<RunSeries::Chunk> ResultsOutbox::series(const QString& runId) {
    RunResult run;
    run.runId = runId;
    eachPlace("cannot be read:", [&](QSqlDatabase& db, QString* error) {
        bool ok = false;
        RunResult here;
        here.series = ResultsTable::selectSeries(db, runId, &ok, error);
        run.keepSeriesOf(here);
        return ok;
    });
    return run.series;
}

QStringList ResultsOutbox::paths() const {
    QStringList all;
    for (const Place& place : places)
        all << place.path;
    return all;
}

QVector<RunResult> ResultsOutbox::read(const ResultsFilter& filter, bool withSeries) {
    QHash<QString, RunResult> all;
    for (Place& place : places) {
        QString error;
        if (!open(place, false, &error))
            continue;
        bool ok = false;
        QSqlDatabase db = QSqlDatabase::database(place.connection, false);
        QVector<RunResult> runs = ResultsTable::select(db, filter, &ok, &error);
        for (int i = 0; ok && withSeries && i < runs.size(); ++i)
            runs[i].series = ResultsTable::selectSeries(db, runs[i].runId, &ok, &error);
        // A run is sent only with its whole curve: once the database has it, its chunks leave
        // the outbox.
        if (ok) {
            RunResult::keepLatest(all, runs);
        } else {
            qCWarning(dk61Results) << "the outbox" << place.path << "cannot be read:" << error;
            if (!setAsideIfDamaged(place))
                close(place);
        }
    }
    return all.values().toVector();
}

void ResultsOutbox::eachPlace(const char* failure,
                              const std::function<bool(QSqlDatabase&, QString*)>& change) {
    for (Place& place : places) {
        QString error;
        if (!open(place, false, &error))
            continue;
        QSqlDatabase db = QSqlDatabase::database(place.connection, false);
        if (!change(db, &error)) {
            qCWarning(dk61Results) << "the outbox" << place.path << failure << error;
            close(place);
        }
    }
}

void ResultsOutbox::remove(const QVector<RunResult>& taken) {
    eachPlace("keeps sent runs:", [&](QSqlDatabase& db, QString* error) {
        return ResultsTable::remove(db, taken, error);
    });
}

void ResultsOutbox::endUnexpectedly(const QStringList& runIds) {
    eachPlace("not marked:", [&](QSqlDatabase& db, QString* error) {
        return ResultsTable::endUnexpectedly(db, runIds, error);
    });
}

QStringList ResultsOutbox::takeNotices() {
    QStringList taken;
    taken.swap(notices);
    return taken;
}
