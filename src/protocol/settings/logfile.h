#ifndef LOGFILE_H
#define LOGFILE_H

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A text file the tool appends lines to: the log file or the flag file. Created new in a
// directory at a moment and named by that moment; every write reaches the file at once.
//
// A file is only ever created, never taken over: a name that exists (a file of another stream
// or instance created in the same second, or a link someone put there) is passed by for the next
// free one, so no two streams share a file and the tool never writes through a link. A failed
// write is told to the fault handler once, with the system's reason, and the next write that
// succeeds tells it the file works again; after a write that was cut short the next line starts
// on a line of its own.
class LogFile {
public:
    // error: the system's reason; empty when the file works again.
    using FaultHandler = std::function<void(const QString& fileName, const QString& error)>;

    explicit LogFile(FaultHandler onFault = FaultHandler()) : onFault(std::move(onFault)) {}
    void setFaultHandler(FaultHandler handler) { onFault = std::move(handler); }

    // Where to try to create a file: the configured directory (the application's where none is
    // configured), then the per-user fallbacks, each once.
    static QList<QDir> candidates(const QString& configured, const QString& applicationDir,
                                  const QStringList& fallbackDirs);

    // Creates (or keeps) a file named after `created` in the first of `directories` where that
    // works: LogFileFormat::fileName, or with "_2", "_3", ... before ".txt" where that name is
    // taken. A missing fallback directory (any after the first) is created. A failure in every
    // directory goes to the fault handler.
    bool open(const QList<QDir>& directories, const QDateTime& created);
    bool open(const QDir& directory, const QDateTime& created) {
        return open(QList<QDir>{directory}, created);
    }
    void close();
    bool isOpen() const { return file.isOpen(); }
    QString fileName() const { return name; }
    QString absolutePath() const;
    QString errorString() const { return file.errorString(); }
    // Which of the directories given to open() holds the file (0: the first), and why the first
    // could not (empty when it could).
    int directoryIndex() const { return usedDirectory; }
    QString firstDirectoryError() const { return firstError; }

    // Appends whole lines (each ending in a line feed); false when they did not all reach the
    // file.
    bool append(const QByteArray& bytes);
    // Appends each text as a line of its own, in one write (nothing for no lines).
    bool appendLines(const QStringList& lines);

private:
    // Creates the file `path`; false with `taken` set when the name exists (as anything).
    bool create(const QString& path, bool* taken);
    void fault();

    QFile file;
    QString name;
    int usedDirectory = 0;
    QString firstError;
    bool faultReported = false;
    // The last write ended with a whole line (or nothing was written yet).
    bool atLineStart = true;
    FaultHandler onFault;
};

#endif // LOGFILE_H
