#include "portenumerator.h"

#include "shell/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

const char* const PortEnumerator::BridgeDescription = "Silicon Labs CP210x USB to UART Bridge";

namespace {

const quint16 SiliconLabsVendor = 0x10C4;
const quint16 Cp210xProducts[] = {0xEA60, 0xEA61, 0xEA63, 0xEA70, 0xEA71, 0xEA80};

#ifdef Q_OS_WIN
const bool OnWindows = true;
#else
const bool OnWindows = false;
#endif

// Whether the lock file names a process that is still alive.
bool lockHeld(const QString& lockPath) {
    QFile lock(lockPath);
    if (!lock.open(QIODevice::ReadOnly))
        return false;
    const QByteArray firstLine = lock.readLine(64).trimmed();
    bool ok = false;
    const qint64 pid = firstLine.toLongLong(&ok);
    if (!ok || pid <= 0)
        return false;
#ifdef Q_OS_UNIX
    if (::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH)
        return false;
#endif
    return true;
}

} // namespace

PortEnumerator::PortEnumerator(SystemPorts systemPorts) : systemPorts(std::move(systemPorts)) {}

bool PortEnumerator::isBridge(const QString& description, bool hasIds, quint16 vendorId,
                              quint16 productId, bool windows) {
    if (description.compare(QLatin1String(BridgeDescription), Qt::CaseInsensitive) == 0)
        return true;
    if (windows || !hasIds || vendorId != SiliconLabsVendor)
        return false;
    for (quint16 product : Cp210xProducts) {
        if (product == productId)
            return true;
    }
    return false;
}

bool PortEnumerator::isBridge(const QSerialPortInfo& info) {
    const bool hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
    return isBridge(info.description(), hasIds, info.vendorIdentifier(), info.productIdentifier(),
                    OnWindows);
}

QStringList PortEnumerator::lockFileNames(const QString& path) {
    QStringList names;
    QStringList sources{path};
    const QString target = QFileInfo(path).canonicalFilePath();
    if (!target.isEmpty() && target != path)
        sources.append(target);
    for (QString name : sources) {
        if (name.startsWith(QLatin1String("/dev/")))
            name = name.mid(5);
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        names.append(QLatin1String("LCK..") + name);
    }
    return names;
}

bool PortEnumerator::isPathBusy(const QString& path) {
    static const QStringList lockDirectories = {
        QStringLiteral("/var/lock"),
        QStringLiteral("/run/lock"),
        QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),
        QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    const QStringList names = lockFileNames(path);
    for (const QString& directory : lockDirectories) {
        for (const QString& name : names) {
            if (lockHeld(directory + QLatin1Char('/') + name)) {
                qCDebug(dk61Link) << path << "locked:" << directory << name;
                return true;
            }
        }
    }
#ifdef Q_OS_UNIX
    // A holder that set TIOCEXCL refuses every further open with EBUSY.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY;
    ::close(fd);
#endif
    return false;
}

QList<PortCandidate> PortEnumerator::scan() const {
    QList<PortCandidate> result;
    const QList<QSerialPortInfo> system =
        systemPorts ? systemPorts() : QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : system) {
        PortCandidate candidate;
        candidate.info = info;
        candidate.name = info.portName();
        candidate.bridge = isBridge(info);
        candidate.busy = (heldHere && heldHere(candidate.name)) || info.isBusy();
        result.append(candidate);
    }
    for (const QString& path : virtualPaths) {
        if (!QFileInfo::exists(path))
            continue;
        PortCandidate candidate;
        candidate.name = path;
        candidate.bridge = true;
        candidate.busy = (heldHere && heldHere(path)) || isPathBusy(path);
        result.append(candidate);
    }
    qCDebug(dk61Link) << "ports present:" << result.size();
    return result;
}
