#include "runjournal.h"

#include "resultsworker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>

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

bool RunJournal::startList() {
    const QString name = QLatin1String(Prefix) + QUuid::createUuid().toString(QUuid::WithoutBraces);
    for (const QString& folder : qAsConst(folders)) {
        if (failed.contains(folder))
            continue;
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(name + QStringLiteral(".txt"));
        auto lock = lockOf(path);
        // The lock comes first: a list is never seen without it.
        if (lock->tryLock(0)) {
            own.push_back({std::move(lock), path});
            return true;
        }
        failed << folder;
    }
    return false;
}

void RunJournal::add(const QString& runId) {
    if (listed.contains(runId))
        return;
    while (!own.empty() || startList()) {
        QFile list(own.back().path);
        if (list.open(QIODevice::Append) && list.write(runId.toUtf8() + '\n') > 0 && list.flush()) {
            listed << runId;
            return;
        }
        // That folder takes nothing more: the list goes on in the next one.
        failed << QFileInfo(list).absolutePath();
        if (!startList())
            break;
    }
    if (!toldNoFolder) {
        toldNoFolder = true;
        qCWarning(dk61Results) << "no folder takes the list of runs going on:" << folders;
    }
}

QStringList RunJournal::claimEnded() {
    QStringList ids;
    for (const QString& folder : qAsConst(folders)) {
        const QDir dir(folder);
        const QStringList lists =
            dir.entryList({QLatin1String(Prefix) + QStringLiteral("*.txt")}, QDir::Files);
        for (const QString& name : lists) {
            const QString list = dir.filePath(name);
            if (std::any_of(own.begin(), own.end(), [&](const List& l) { return l.path == list; }))
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
    for (List& c : claimed) {
        QFile::remove(c.path);
        c.lock->unlock();
    }
    claimed.clear();
}

void RunJournal::close(bool keepList) {
    for (List& l : own) {
        if (!keepList)
            QFile::remove(l.path);
        l.lock->unlock();
    }
    own.clear();
    // A claimed list that was not dealt with stays for the next start.
    for (List& c : claimed)
        c.lock->unlock();
    claimed.clear();
}
