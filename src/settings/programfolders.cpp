#include "programfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QStringList& configuredFolders() {
    static QStringList folders;
    return folders;
}

QString cleaned(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Whether `folder` is `path` or lies below it.
bool at(const QString& path, const QString& folder) {
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const QString below = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
    return folder.compare(path, cs) == 0 || folder.startsWith(below, cs);
}

} // namespace

namespace ProgramFolders {

QStringList kinds() {
    return {QStringLiteral("Logs"), QStringLiteral("Flags")};
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
