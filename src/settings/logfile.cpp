#include "logfile.h"

#include "logfileformat.h"
#include "logging.h"

#include <QFileInfo>

bool LogFile::open(const QDir& directory, const QDateTime& created) {
    if (file.isOpen())
        return true;
    name = LogFileFormat::fileName(directory, created);
    file.setFileName(name);
    // Only ever appended to: a second creation within the same second (or any file of that name
    // already there) keeps what it holds. Unbuffered: every write reaches the file at once, and a
    // write the disk refuses is dropped instead of piling up in memory.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text |
                   QIODevice::Unbuffered)) {
        qCDebug(dk61Files) << "not created:" << name << file.errorString();
        faultReported = false;
        fault();
        return false;
    }
    qCDebug(dk61Files) << "created" << absolutePath();
    faultReported = false;
    return true;
}

void LogFile::close() {
    if (file.isOpen())
        file.close();
}

QString LogFile::absolutePath() const {
    return QFileInfo(file).absoluteFilePath();
}

bool LogFile::append(const QByteArray& bytes) {
    if (!file.isOpen())
        return false;
    if (file.write(bytes) == bytes.size())
        return true;
    fault();
    return false;
}

void LogFile::fault() {
    if (faultReported)
        return;
    faultReported = true;
    if (onFault)
        onFault(name, file.errorString());
}
