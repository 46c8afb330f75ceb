#ifndef TOOLRUNNER_H
#define TOOLRUNNER_H

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariant>

// The real dk61-pc-tool as a child process: offscreen, with its own home and settings store
// (log and flag files switched on, in directories of their own), attached to virtual bridges.
class ToolRunner {
public:
    // Lays out home/, config/, logs/ and flags/ below `root`.
    explicit ToolRunner(const QString& root);
    ~ToolRunner();
    ToolRunner(const ToolRunner&) = delete;
    ToolRunner& operator=(const ToolRunner&) = delete;

    // Adds a key to the settings store before start().
    void setSetting(const QString& key, const QVariant& value);
    // An environment variable for the tool (before start()).
    void setEnvironment(const QString& name, const QString& value) { extraEnv[name] = value; }
    // Starts the tool with DK61_VIRTUAL_PORTS = `ports`.
    bool start(const QStringList& ports);
    // SIGTERM, then waits for the exit; true when it ended normally with status 0.
    bool stop();
    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    qint64 pid() const { return process.processId(); }
    // What the tool wrote to stdout/stderr, for failure messages.
    QString output() const;

    QString logDirectory() const { return root + QStringLiteral("/logs"); }
    QString flagDirectory() const { return root + QStringLiteral("/flags"); }
    // The files the tool created in each directory.
    QStringList logFiles() const;
    QStringList flagFiles() const;
    // The complete lines of the one log / flag file (empty while there is none).
    QStringList logLines() const;
    QStringList flagRows() const;

private:
    static QStringList files(const QString& directory);
    static QStringList lines(const QStringList& files);

    QString root;
    QProcess process;
    QMap<QString, QString> extraEnv;
};

#endif // TOOLRUNNER_H
