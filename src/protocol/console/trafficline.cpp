#include "console/trafficline.h"

const char* const TrafficLine::SentTag = "PC-Tool: ";
const char* const TrafficLine::ReceivedTag = "DK-61  : ";

namespace {

char* twoDigits(char* out, qint64 value) {
    *out++ = static_cast<char>('0' + value / 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
}

const char HexDigits[] = "0123456789ABCDEF";

// Each byte as two digits and two blanks into `out` (4 characters a byte).
void fillHex(QChar* out, const char* bytes, int count) {
    for (int i = 0; i < count; ++i) {
        const auto byte = static_cast<quint8>(bytes[i]);
        *out++ = QLatin1Char(HexDigits[byte >> 4]);
        *out++ = QLatin1Char(HexDigits[byte & 0x0F]);
        *out++ = QLatin1Char(' ');
        *out++ = QLatin1Char(' ');
    }
}

// Written in place: a line is made for every frame, thousands a second in a flood.
QString line(qint64 elapsedMs, const char* tag, const char* bytes, int count) {
    char head[TrafficLine::MaxStamp + 12];
    char* end = head;
    *end++ = '[';
    end += TrafficLine::writeStamp(end, elapsedMs);
    *end++ = ']';
    for (const char* t = tag; *t; ++t)
        *end++ = *t;
    const int headSize = static_cast<int>(end - head);
    QString out(headSize + 4 * count, Qt::Uninitialized);
    QChar* data = out.data();
    for (int i = 0; i < headSize; ++i)
        data[i] = QLatin1Char(head[i]);
    fillHex(data + headSize, bytes, count);
    return out;
}

} // namespace

int TrafficLine::writeStamp(char* out, qint64 elapsedMs) {
    const qint64 e = elapsedMs < 0 ? 0 : elapsedMs;
    const qint64 hours = e / 3600000;
    const qint64 minutes = (e / 60000) % 60;
    const qint64 seconds = e / 1000 - (e / 60000) * 60;
    char* at = out;
    if (hours < 100) {
        at = twoDigits(at, hours);
    } else {
        const QByteArray digits = QByteArray::number(hours);
        for (char c : digits)
            *at++ = c;
    }
    *at++ = ':';
    at = twoDigits(at, minutes);
    *at++ = ':';
    at = twoDigits(at, seconds);
    return static_cast<int>(at - out);
}

QString TrafficLine::stamp(qint64 elapsedMs) {
    char text[MaxStamp];
    return QString::fromLatin1(text, writeStamp(text, elapsedMs));
}

QString TrafficLine::hexBytes(const QByteArray& bytes) {
    QString out(4 * bytes.size(), Qt::Uninitialized);
    fillHex(out.data(), bytes.constData(), bytes.size());
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
