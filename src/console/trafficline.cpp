#include "trafficline.h"

const char* const TrafficLine::SentTag = "PC-Tool: ";
const char* const TrafficLine::ReceivedTag = "DK-61  : ";

namespace {

void appendTwoDigits(QString& out, qint64 value) {
    out.append(QLatin1Char(static_cast<char>('0' + value / 10)));
    out.append(QLatin1Char(static_cast<char>('0' + value % 10)));
}

void appendHex(QString& out, const char* bytes, int count) {
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        const auto byte = static_cast<quint8>(bytes[i]);
        out.append(QLatin1Char(digits[byte >> 4]));
        out.append(QLatin1Char(digits[byte & 0x0F]));
        out.append(QLatin1String("  "));
    }
}

QString line(qint64 elapsedMs, const char* tag, const char* bytes, int count) {
    QString out;
    out.reserve(20 + 4 * count);
    out.append(QLatin1Char('['));
    out.append(TrafficLine::stamp(elapsedMs));
    out.append(QLatin1Char(']'));
    out.append(QLatin1String(tag));
    appendHex(out, bytes, count);
    return out;
}

} // namespace

QString TrafficLine::stamp(qint64 elapsedMs) {
    const qint64 e = elapsedMs < 0 ? 0 : elapsedMs;
    const qint64 hours = e / 3600000;
    const qint64 minutes = (e / 60000) % 60;
    const qint64 seconds = e / 1000 - (e / 60000) * 60;
    QString out;
    out.reserve(8);
    if (hours < 100)
        appendTwoDigits(out, hours);
    else
        out.append(QString::number(hours));
    out.append(QLatin1Char(':'));
    appendTwoDigits(out, minutes);
    out.append(QLatin1Char(':'));
    appendTwoDigits(out, seconds);
    return out;
}

QString TrafficLine::hexBytes(const QByteArray& bytes) {
    QString out;
    out.reserve(4 * bytes.size());
    appendHex(out, bytes.constData(), bytes.size());
    return out;
}

QString TrafficLine::sent(qint64 elapsedMs, const QByteArray& frame, int length) {
    const int count = qBound(0, length, frame.size());
    return line(elapsedMs, SentTag, frame.constData(), count);
}

QString TrafficLine::received(qint64 elapsedMs, const QByteArray& bytes) {
    return line(elapsedMs, ReceivedTag, bytes.constData(), bytes.size());
}

bool TrafficLine::isFlagRecord(const QString& line) {
    const int tag = line.indexOf(QLatin1Char(']')) + 1;
    if (tag <= 0 || !line.midRef(tag).startsWith(QLatin1String(ReceivedTag)))
        return false;
    const QStringRef code = line.midRef(tag + int(qstrlen(ReceivedTag)), 2);
    return code == QLatin1String("C6") || code == QLatin1String("A9");
}
