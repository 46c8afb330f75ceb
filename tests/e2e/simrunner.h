#ifndef SIMRUNNER_H
#define SIMRUNNER_H

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// One line of the simulator's log: "<seconds.millis> <TAG> <hex bytes or text>".
struct SimEvent {
    qint64 ms = 0;
    QString tag;
    QString text;
    QByteArray bytes; // the hex of TX, RX, GARBAGE, DROP and RXBAD lines
};

// The board simulator dk61-sim as a child process on a fixed link path, with its log.
class SimRunner {
public:
    SimRunner(const QString& linkPath, const QString& logPath);
    ~SimRunner();
    SimRunner(const SimRunner&) = delete;
    SimRunner& operator=(const SimRunner&) = delete;

    // Starts `dk61-sim --link <link> --log <log> --seed <seed> <args>` and waits until it
    // printed the link path (the line is ready). The log starts empty.
    bool start(const QStringList& args, int seed = 1);
    // SIGTERM, then waits for the exit; true when it ended normally with status 0.
    bool stop();
    // Waits for an exit the simulator makes itself (--hangup-after, --duration).
    bool waitForExit(int timeoutMs);
    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    int exitCode() const { return process.exitCode(); }
    QString error() const { return lastError; }

    // The log so far; `tag` selects one kind of line.
    QList<SimEvent> events(const QString& tag = QString()) const;
    // Frames sent (TX) to the reader that sent the first command, and commands received (RX),
    // in order.
    QList<QByteArray> framesSent() const;
    QList<QByteArray> commandsReceived() const;
    // The CFLAG frames among the frames sent.
    QList<QByteArray> recordsSent() const;
    // The bit rate the line had when the first command arrived (the last "speed" report before
    // it); -1 if none.
    long speedAtFirstCommand() const;

private:
    QString link;
    QString logPath;
    QProcess process;
    QString lastError;
};

#endif // SIMRUNNER_H
