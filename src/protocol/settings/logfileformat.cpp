#include "settings/logfileformat.h"

#include "console/trafficline.h"
#include "flags/cflags.h"

QString LogFileFormat::fileName(const QDir& directory, const QDateTime& created) {
    return directory.absolutePath() + QLatin1Char('/') +
           created.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".txt");
}

QString LogFileFormat::flagRow(qint64 elapsedMs, const CFlags& record) {
    return flagRow(elapsedMs, record.getC1Flags(), record.getC1Uncorrectable(), record.getC2Flags(),
                   record.getC2Uncorrectable(), record.getInterpolationFlags());
}

QString LogFileFormat::flagRow(qint64 elapsedMs, quint16 c1, quint16 c1u, quint16 c2, quint16 c2u,
                               quint16 interpolation) {
    QByteArray row;
    appendFlagRow(row, elapsedMs, c1, c1u, c2, c2u, interpolation);
    row.chop(1);
    return QString::fromLatin1(row);
}

void LogFileFormat::appendFlagRow(QByteArray& out, qint64 elapsedMs, const CFlags& record) {
    appendFlagRow(out, elapsedMs, record.getC1Flags(), record.getC1Uncorrectable(),
                  record.getC2Flags(), record.getC2Uncorrectable(), record.getInterpolationFlags());
}

// Written in place: a row is made for every record, thousands a second in a flood.
void LogFileFormat::appendFlagRow(QByteArray& out, qint64 elapsedMs, quint16 c1, quint16 c1u,
                                  quint16 c2, quint16 c2u, quint16 interpolation) {
    char row[TrafficLine::MaxStamp + 5 * 8 + 1];
    char* at = row + TrafficLine::writeStamp(row, elapsedMs);
    for (quint16 count : {c1, c1u, c2, c2u, interpolation}) {
        *at++ = ',';
        *at++ = '\t';
        int value = static_cast<qint16>(count);
        if (value < 0) {
            *at++ = '-';
            value = -value;
        }
        char digits[6];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (n > 0)
            *at++ = digits[--n];
    }
    *at++ = '\n';
    out.append(row, static_cast<int>(at - row));
}
