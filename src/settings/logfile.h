#ifndef LOGFILE_H
#define LOGFILE_H

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

#include <functional>

// A text file the tool appends lines to: the log file or the flag file. Opened in a directory at
// a moment, named by that moment; every write reaches the file at once; a failure is told to the
// fault handler once, until the file is opened again.
class LogFile {
public:
    using FaultHandler = std::function<void(const QString& fileName, const QString& error)>;

    explicit LogFile(FaultHandler onFault = FaultHandler()) : onFault(std::move(onFault)) {}
    void setFaultHandler(FaultHandler handler) { onFault = std::move(handler); }

    // Opens (or keeps) the file of `directory` named after `created` for appending; a file of
    // that name keeps what it holds. A failure goes to the fault handler.
    bool open(const QDir& directory, const QDateTime& created);
    void close();
    bool isOpen() const { return file.isOpen(); }
    QString fileName() const { return name; }
    QString absolutePath() const;
    QString errorString() const { return file.errorString(); }

    // Appends the bytes; false when they did not all reach the file.
    bool append(const QByteArray& bytes);

private:
    void fault();

    QFile file;
    QString name;
    bool faultReported = false;
    FaultHandler onFault;
};

#endif // LOGFILE_H
