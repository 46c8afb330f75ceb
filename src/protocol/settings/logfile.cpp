#include "settings/logfile.h"

#include "settings/logfileformat.h"
#include "shell/logging.h"

#include <QFileInfo>

#include <algorithm>

namespace {
const int MaxNames = 1000;
} // namespace

QList<QDir> LogFile::candidates(const QString& configured, const QString& applicationDir,
                                const QStringList& fallbackDirs) {
    QList<QDir> dirs{QDir(configured.trimmed().isEmpty() ? applicationDir : configured)};
    for (const QString& fallback : fallbackDirs) {
        const bool listed = std::any_of(dirs.begin(), dirs.end(), [&](const QDir& dir) {
            return dir.absolutePath() == QDir(fallback).absolutePath();
        });
        if (!fallback.isEmpty() && !listed)
            dirs.append(QDir(fallback));
    }
    return dirs;
}

bool LogFile::create(const QString& path, bool* taken) {
    const QFileInfo info(path);
    *taken = info.exists() || info.isSymLink();
    if (*taken)
        return false;
    file.setFileName(path);
    // Created new or not at all: the system refuses a name that exists, a link included, even
    // when it appeared after the look above. Unbuffered: every write reaches the file at once,
    // and a write the disk refuses is dropped instead of piling up in memory.
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text |
                  QIODevice::Unbuffered))
        return true;
    const QFileInfo after(path);
    *taken = after.exists() || after.isSymLink();
    return false;
}

bool LogFile::open(const QList<QDir>& directories, const QDateTime& created) {
    if (file.isOpen())
        return true;
    faultReported = false;
    atLineStart = true;
    firstError.clear();
    QString error;
    for (int d = 0; d < directories.size(); ++d) {
        const QDir& dir = directories[d];
        if (d > 0 && !dir.exists())
            QDir().mkpath(dir.absolutePath());
        const QString base = LogFileFormat::fileName(dir, created);
        for (int n = 1; n <= MaxNames; ++n) {
            name = n == 1 ? base : base.chopped(4) + QStringLiteral("_%1.txt").arg(n);
            bool taken = false;
            if (create(name, &taken)) {
                usedDirectory = d;
                qCDebug(dk61Files) << "created" << absolutePath();
                return true;
            }
            if (!taken)
                break;
        }
        error = file.errorString();
        qCDebug(dk61Files) << "not created:" << name << error;
        if (d == 0)
            firstError = error;
    }
    fault();
    return false;
}

void LogFile::close() {
    if (file.isOpen())
        file.close();
}

QString LogFile::absolutePath() const {
    return QFileInfo(name).absoluteFilePath();
}

bool LogFile::append(const QByteArray& bytes) {
    if (!file.isOpen())
        return false;
    // What was cut short stays a line of its own.
    const QByteArray data = atLineStart ? bytes : '\n' + bytes;
    qint64 done = 0;
    while (done < data.size()) {
        // A short write is followed by another for the rest: that one fails with the reason.
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done > 0)
        atLineStart = data.at(int(done) - 1) == '\n';
    if (done == data.size()) {
        if (faultReported) {
            faultReported = false;
            if (onFault)
                onFault(name, QString());
        }
        return true;
    }
    fault();
    return false;
}

bool LogFile::appendLines(const QStringList& lines) {
    if (lines.isEmpty())
        return true;
    QByteArray bytes;
    int size = 0;
    for (const QString& line : lines)
        size += line.size() + 1;
    bytes.reserve(size);
    for (const QString& line : lines) {
        bytes.append(line.toLatin1());
        bytes.append('\n');
    }
    return append(bytes);
}

void LogFile::fault() {
    if (faultReported)
        return;
    faultReported = true;
    if (onFault)
        onFault(name, file.errorString());
}
