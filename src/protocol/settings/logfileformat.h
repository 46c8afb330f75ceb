#ifndef LOGFILEFORMAT_H
#define LOGFILEFORMAT_H

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QString>

class CFlags;

// Names and rows of the log and flag files. Pure functions of their arguments.
class LogFileFormat {
public:
    // The directory's absolute path, "/", the local date and time as yyyyMMddhhmmss, ".txt"
    // (6 March 2025 09:04:07 gives ".../20250306090407.txt").
    static QString fileName(const QDir& directory, const QDateTime& created);
    // One flag-file row without its line feed: the time stamp, then C1, uncorrectable C1, C2,
    // uncorrectable C2 and interpolation counts as signed 16-bit decimals, separated by ",\t".
    static QString flagRow(qint64 elapsedMs, const CFlags& record);
    static QString flagRow(qint64 elapsedMs, quint16 c1, quint16 c1u, quint16 c2, quint16 c2u,
                           quint16 interpolation);
    // The row with its line feed, appended to `out`.
    static void appendFlagRow(QByteArray& out, qint64 elapsedMs, const CFlags& record);
    static void appendFlagRow(QByteArray& out, qint64 elapsedMs, quint16 c1, quint16 c1u,
                              quint16 c2, quint16 c2u, quint16 interpolation);
};

#endif // LOGFILEFORMAT_H
