#include "runjournal.h"

#include "resultsworker.h"

#include <QDir>
#include <QFile>
#include <QUuid>

namespace {

const char* const Prefix = "results-running-";

// The lock of the list `list` ("...txt" → "...lock"), with no stale time: a lock is stale only
// when the program that holds it is gone.
std::unique_ptr<QLockFile> lockOf(const QString& list) {
    auto lock = std::make_unique<QLockFile>(list.chopped(4) + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

RunJournal::RunJournal(const QStringList& folders) : folders(folders) {
    this->folders.removeAll(QString());
    this->folders.removeDuplicates();
}

RunJournal::~RunJournal() {
    close(true);
}

bool RunJournal::lockOwn() {
    if (own)
        return true;
    if (ownFailed)
        return false;
    const QString name = QLatin1String(Prefix) + QUuid::createUuid().toString(QUuid::WithoutBraces);
    for (const QString& folder : qAsConst(folders)) {
        QDir().mkpath(folder);
        const QString list = QDir(folder).filePath(name + QStringLiteral(".txt"));
        auto lock = lockOf(list);
        // The lock comes first: a list is never seen without it.
        if (lock->tryLock(0)) {
            own = std::move(lock);
            ownList = list;
            return true;
        }
    }
    ownFailed = true;
    qCWarning(dk61Results) << "no folder takes the list of runs going on:" << folders;
    return false;
}

void RunJournal::add(const QString& runId) {
    if (listed.contains(runId) || !lockOwn())
        return;
    QFile list(ownList);
    if (list.open(QIODevice::Append) && list.write(runId.toUtf8() + '\n') > 0 && list.flush())
        listed << runId;
    else
        qCWarning(dk61Results) << "run not listed as going on:" << ownList << list.errorString();
}

QStringList RunJournal::claimEnded() {
    QStringList ids;
    for (const QString& folder : qAsConst(folders)) {
        const QDir dir(folder);
        const QStringList lists =
            dir.entryList({QLatin1String(Prefix) + QStringLiteral("*.txt")}, QDir::Files);
        for (const QString& name : lists) {
            const QString list = dir.filePath(name);
            if (list == ownList)
                continue;
            auto lock = lockOf(list);
            if (!lock->tryLock(0))
                continue; // a program that still runs
            QFile file(list);
            if (file.open(QIODevice::ReadOnly)) {
                for (const QByteArray& line : file.readAll().split('\n')) {
                    const QString id = QString::fromUtf8(line).trimmed();
                    if (!id.isEmpty() && !ids.contains(id))
                        ids << id;
                }
            }
            claimed.push_back({std::move(lock), list});
        }
    }
    return ids;
}

void RunJournal::releaseClaimed() {
    for (Claimed& c : claimed) {
        QFile::remove(c.list);
        c.lock->unlock();
    }
    claimed.clear();
}

void RunJournal::close(bool keepList) {
    if (own) {
        if (!keepList)
            QFile::remove(ownList);
        own->unlock();
        own.reset();
    }
    // A claimed list that was not dealt with stays for the next start.
    for (Claimed& c : claimed)
        c.lock->unlock();
    claimed.clear();
}
