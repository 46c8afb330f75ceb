#include "simrunner.h"

#include "e2eharness.h"

#include <QElapsedTimer>
#include <QFile>

SimRunner::SimRunner(const QString& linkPath, const QString& logPath)
    : link(linkPath), logPath(logPath) {}

SimRunner::~SimRunner() {
    if (isRunning())
        stop();
}

bool SimRunner::start(const QStringList& args, int seed) {
    QFile::remove(logPath);
    const QString program = E2eHarness::binary(QStringLiteral("dk61-sim"));
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, QStringList{QStringLiteral("--link"), link, QStringLiteral("--log"),
                                       logPath, QStringLiteral("--seed"), QString::number(seed)} +
                               args);
    if (!process.waitForStarted(5000)) {
        lastError = program + ": " + process.errorString();
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    while (!process.canReadLine()) {
        const int left = int(5000 - timer.elapsed());
        if (left <= 0 || !process.waitForReadyRead(left)) {
            lastError = QStringLiteral("no link line: ") +
                        QString::fromLocal8Bit(process.readAllStandardError());
            return false;
        }
    }
    const QString printed = QString::fromLocal8Bit(process.readLine()).trimmed();
    if (printed != link) {
        lastError = QStringLiteral("printed %1 instead of %2").arg(printed, link);
        return false;
    }
    return true;
}

bool SimRunner::stop() {
    if (!isRunning())
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(2000);
        lastError = QStringLiteral("did not stop on SIGTERM");
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool SimRunner::waitForExit(int timeoutMs) {
    if (isRunning() && !process.waitForFinished(timeoutMs))
        return false;
    return process.exitStatus() == QProcess::NormalExit;
}

QList<SimEvent> SimRunner::events(const QString& tag) const {
    QFile file(logPath);
    QList<SimEvent> result;
    if (!file.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw);
        const int first = line.indexOf(QLatin1Char(' '));
        if (first < 0)
            continue; // an unfinished last line
        SimEvent e;
        e.ms = qint64(line.left(first).toDouble() * 1000.0 + 0.5);
        e.tag = line.section(QLatin1Char(' '), 1, 1);
        e.text = line.section(QLatin1Char(' '), 2);
        if (!tag.isEmpty() && e.tag != tag)
            continue;
        if (e.tag != QLatin1String("INFO") && e.tag != QLatin1String("TEXT"))
            e.bytes = QByteArray::fromHex(e.text.toLatin1());
        result.append(e);
    }
    return result;
}

QList<QByteArray> SimRunner::framesSent() const {
    // The reader's session starts at the "peer open" before its first command; frames sent
    // to someone who only looked at the line briefly (a probe for a busy port) do not count.
    const QList<SimEvent> all = events();
    int from = 0;
    for (int i = 0; i < all.size(); ++i) {
        if (all[i].tag == QLatin1String("RX"))
            break;
        if (all[i].tag == QLatin1String("INFO") && all[i].text == QLatin1String("peer open"))
            from = i;
    }
    QList<QByteArray> frames;
    for (int i = from; i < all.size(); ++i) {
        if (all[i].tag == QLatin1String("TX"))
            frames.append(all[i].bytes);
    }
    return frames;
}

QList<QByteArray> SimRunner::commandsReceived() const {
    QList<QByteArray> commands;
    for (const SimEvent& e : events(QStringLiteral("RX")))
        commands.append(e.bytes);
    return commands;
}

QList<QByteArray> SimRunner::recordsSent() const {
    QList<QByteArray> records;
    for (const QByteArray& frame : framesSent()) {
        if (!E2eHarness::recordCounts(frame).isEmpty())
            records.append(frame);
    }
    return records;
}

long SimRunner::speedAtFirstCommand() const {
    long speed = -1;
    for (const SimEvent& e : events()) {
        if (e.tag == QLatin1String("RX"))
            return speed;
        if (e.tag == QLatin1String("INFO") && e.text.startsWith(QLatin1String("speed ")))
            speed = e.text.mid(6).toLong();
    }
    return -1;
}
