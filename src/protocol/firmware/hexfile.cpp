#include "firmware/hexfile.h"

#include <QFile>

namespace {

enum Record { Data = 0, End = 1, SegmentAddress = 2, LinearAddress = 4 };
constexpr int LastRecordType = 5;

QString damaged(qint64 line, const char* why) {
    return QStringLiteral("Error: The hex-file is damaged (line %1: %2), nothing was flashed")
        .arg(line)
        .arg(QLatin1String(why));
}

} // namespace

QString HexFile::check(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Error: Cannot read the hex-file: ") + file.errorString();
    return check(file);
}

QString HexFile::check(QIODevice& file) {
    qint64 line = 0;
    quint64 base = 0;
    bool data = false;
    bool ended = false;
    while (!file.atEnd()) {
        const QByteArray text = file.readLine().trimmed();
        ++line;
        if (text.isEmpty())
            continue;
        if (ended)
            return damaged(line, "records after the end record");
        const QByteArray bytes = QByteArray::fromHex(text.mid(1));
        // fromHex skips what is not a digit: the record must be digits only, two a byte
        if (text.at(0) != ':' || bytes.toHex() != text.mid(1).toLower())
            return damaged(line, "not a hex record");
        if (bytes.size() < 5 || bytes.size() != 5 + static_cast<quint8>(bytes.at(0)))
            return damaged(line, "record length wrong");
        quint8 sum = 0;
        for (char byte : bytes)
            sum += static_cast<quint8>(byte);
        if (sum != 0)
            return damaged(line, "checksum wrong");
        const int type = static_cast<quint8>(bytes.at(3));
        const auto word = [&bytes](int at) {
            return quint64(quint8(bytes.at(at))) << 8 | quint8(bytes.at(at + 1));
        };
        if ((type == SegmentAddress || type == LinearAddress) && bytes.size() != 7)
            return damaged(line, "record length wrong");
        switch (type) {
        case Data:
            if (base + word(1) + quint8(bytes.at(0)) > FlashBytes)
                return damaged(line, "data beyond the flash");
            data = data || bytes.at(0) != 0;
            break;
        case End:
            ended = true;
            break;
        case SegmentAddress:
            base = word(4) << 4;
            break;
        case LinearAddress:
            base = word(4) << 16;
            break;
        default:
            if (type > LastRecordType)
                return damaged(line, "unknown record type");
        }
    }
    if (!ended)
        return QStringLiteral("Error: The hex-file ends without its end record (cut short?), "
                              "nothing was flashed");
    if (!data)
        return QStringLiteral("Error: The hex-file holds no data, nothing was flashed");
    return QString();
}
