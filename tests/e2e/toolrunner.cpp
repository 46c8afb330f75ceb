#include "toolrunner.h"

#include "e2eharness.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QSettings>

ToolRunner::ToolRunner(const QString& root) : root(root) {
    for (const char* sub : {"home", "config/Orvalta", "logs", "flags", "runtime"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setSetting(QStringLiteral("storeLogFile"), true);
    setSetting(QStringLiteral("storeFlagFile_csv"), true);
    setSetting(QStringLiteral("logFileDirectory"), logDirectory());
    setSetting(QStringLiteral("flagFileDirectory"), flagDirectory());
}

ToolRunner::~ToolRunner() {
    if (isRunning())
        stop();
}

void ToolRunner::setSetting(const QString& key, const QVariant& value) {
    // The store the tool reads on Linux: $XDG_CONFIG_HOME/<organisation>/<application>.conf.
    QSettings store(root + QStringLiteral("/config/Orvalta/DK-61 PC-Tool.conf"),
                    QSettings::IniFormat);
    store.setValue(key, value);
    store.sync();
}

bool ToolRunner::start(const QStringList& ports) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), root + QStringLiteral("/data"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DK61_VIRTUAL_PORTS"), ports.join(QLatin1Char(':')));
    for (auto it = extraEnv.cbegin(); it != extraEnv.cend(); ++it)
        env.insert(it.key(), it.value());
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardOutputFile(root + QStringLiteral("/tool.out"));
    process.start(E2eHarness::binary(QStringLiteral("dk61-pc-tool")), QStringList());
    return process.waitForStarted(5000);
}

bool ToolRunner::stop() {
    if (!isRunning())
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString ToolRunner::output() const {
    QFile file(root + QStringLiteral("/tool.out"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(file.readAll().right(4000));
}

QStringList ToolRunner::files(const QString& directory) {
    QStringList paths;
    const QDir dir(directory);
    for (const QString& name : dir.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        paths.append(dir.filePath(name));
    return paths;
}

QStringList ToolRunner::logFiles() const {
    return files(logDirectory());
}

QStringList ToolRunner::flagFiles() const {
    return files(flagDirectory());
}

QStringList ToolRunner::lines(const QStringList& files) {
    if (files.size() != 1)
        return QStringList();
    QFile file(files.first());
    if (!file.open(QIODevice::ReadOnly))
        return QStringList();
    QStringList result;
    const QList<QByteArray> pieces = file.readAll().split('\n');
    // The piece after the last line feed is empty, or a line still being written.
    for (int i = 0; i + 1 < pieces.size(); ++i)
        result.append(QString::fromLatin1(pieces.at(i)));
    return result;
}

QStringList ToolRunner::logLines() const {
    return lines(logFiles());
}

QStringList ToolRunner::flagRows() const {
    return lines(flagFiles());
}
