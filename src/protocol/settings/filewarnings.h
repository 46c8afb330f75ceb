#ifndef FILEWARNINGS_H
#define FILEWARNINGS_H

#include <QMap>
#include <QString>

class LogFile;

// What the flag page says about the log file and the flag file: for each, why it cannot be
// written, or that it went to the fallback directory because the configured one could not take
// it. A problem stays until the file works again.
class FileWarnings {
public:
    struct Report {
        QString message; // for the status bar: a write failed just now (empty otherwise)
        QString text;    // every problem, one a line (empty: none)
    };

    // `what` is "Log file" or "Flag file"; `error` the system's reason a write to `fileName`
    // failed, empty when `file` works. `configuredDirectory` is where the file should be.
    Report report(const QString& what, const LogFile& file, const QString& configuredDirectory,
                  const QString& fileName, const QString& error);

private:
    QMap<QString, QString> problems;
};

#endif // FILEWARNINGS_H
