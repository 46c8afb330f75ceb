#include "logfileformat.h"

#include "cflags.h"
#include "trafficline.h"

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
    QString row = TrafficLine::stamp(elapsedMs);
    for (quint16 count : {c1, c1u, c2, c2u, interpolation}) {
        row.append(QLatin1String(",\t"));
        row.append(QString::number(static_cast<qint16>(count)));
    }
    return row;
}
