#include "settings/programfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>

namespace {

QStringList& configuredFolders() {
    static QStringList folders;
    return folders;
}

QMap<QString, QStringList>& filesInUse() {
    static QMap<QString, QStringList> files;
    return files;
}

QString cleaned(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

#ifdef Q_OS_WIN
const Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
const Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

// Whether `folder` is `path` or lies below it.
bool at(const QString& path, const QString& folder) {
    const QString below = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    return folder.compare(path, PathCase) == 0 || folder.startsWith(below, PathCase);
}

} // namespace

namespace ProgramFolders {

QStringList kinds() {
    return {QStringLiteral("Logs"), QStringLiteral("Flags"), QStringLiteral("Reports")};
}

QString standard(const QString& kind) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QString() : documents + QStringLiteral("/DK-61 PC-Tool/") + kind;
}

QString spare(const QString& kind) {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
           QLatin1Char('/') + kind;
}

QStringList all() {
    QStringList folders;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty())
        folders << documents << documents + QStringLiteral("/DK-61 PC-Tool");
    for (const QString& kind : kinds())
        folders << standard(kind) << spare(kind);
    folders << configuredFolders();
    folders.removeAll(QString());
    return folders;
}

void setConfigured(const QStringList& folders) {
    configuredFolders() = folders;
}

void setInUse(const QString& owner, const QStringList& files) {
    filesInUse()[owner] = files;
}

QString fileInTheWay(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return QString();
    QString path = cleaned(folder);
    for (;;) {
        const QFileInfo info(path);
        if (info.exists())
            return info.isDir() ? QString() : path;
        const QString up = info.absolutePath();
        if (up == path)
            return QString();
        path = up;
    }
}

QString usable(const QString& kind, const QString& preferred) {
    if (!preferred.trimmed().isEmpty() && QFileInfo(preferred).isDir())
        return cleaned(preferred);
    for (const QString& folder : {standard(kind), spare(kind)}) {
        if (!folder.isEmpty() && QDir().mkpath(folder))
            return cleaned(folder);
    }
    return QString();
}

QString refusal(const QString& path, const QStringList& folders) {
    const QString target = cleaned(path);
    for (const QStringList& files : filesInUse()) {
        for (const QString& file : files) {
            if (!file.isEmpty() && cleaned(file).compare(target, PathCase) == 0)
                return QStringLiteral("%1 is in use by the tool")
                    .arg(QDir::toNativeSeparators(target));
        }
    }
    for (const QString& folder : folders) {
        if (folder.trimmed().isEmpty())
            continue;
        const QString kept = cleaned(folder);
        if (at(target, kept))
            return QStringLiteral("%1 is kept for the folder %2")
                .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(kept));
    }
    return QString();
}

} // namespace ProgramFolders
