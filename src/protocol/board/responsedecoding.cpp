#include "board/responsedecoding.h"

QTime ResponseDecoding::playTime(int minutes, int seconds) {
    if (seconds < 0)
        seconds = 0;
    QTime time;
    // QTime rejects negative and out-of-range fields and stays invalid.
    time.setHMS(minutes / 60, minutes % 60, seconds);
    return time;
}

bool ResponseDecoding::decodeRuntime(const QByteArray& frame, Runtime* out) {
    if (frame.size() != 21)
        return false;
    // The low byte is the last of the run of consecutive values that starts at the first ring
    // byte; the comparison of the last ring byte wraps to the first. Bytes are compared as
    // signed values, so 0xFF -> 0x00 continues a run and 0x7F -> 0x80 ends it.
    int i = 5;
    while (i < 19) {
        const int next = ((i - 4) % 14) + 5;
        if ((signedAt(frame, next) - signedAt(frame, i)) % 255 != 1)
            break;
        ++i;
    }
    const quint64 c = static_cast<quint64>(byteAt(frame, i));
    const quint64 m = static_cast<quint64>(byteAt(frame, 19));
    const quint64 h = static_cast<quint64>(byteAt(frame, 20));
    out->seconds = (h * 65536 + m * 256 + c) * 7;
    out->last_index = static_cast<quint8>(((m * 16) ^ (c / 16)) % 256);
    out->low_position = i;
    return true;
}

bool ResponseDecoding::isHistoryRow(const QByteArray& frame) {
    return frame.size() == 21 && byteAt(frame, 4) == 16;
}

bool ResponseDecoding::decodeDiscId(const QByteArray& frame, quint32* id) {
    if (frame.size() != 6)
        return false;
    *id = (static_cast<quint32>(byteAt(frame, 2)) << 24) |
          (static_cast<quint32>(byteAt(frame, 3)) << 16) |
          (static_cast<quint32>(byteAt(frame, 4)) << 8) | static_cast<quint32>(byteAt(frame, 5));
    return true;
}

bool ResponseDecoding::decodeAdcValue(const QByteArray& frame, quint16* value) {
    if (frame.size() != 4)
        return false;
    *value = static_cast<quint16>(byteAt(frame, 2) * 256 + byteAt(frame, 3));
    return true;
}

bool ResponseDecoding::decodeCFlagFrame(const QByteArray& frame, CFlagFrame* out) {
    const int size = frame.size();
    if (size != 8 && size != 14)
        return false;
    // Up to 33 records a second: the bytes are read straight from the frame.
    const auto* d = reinterpret_cast<const quint8*>(frame.constData());
    CFlagFrame result;
    result.count = static_cast<quint16>(d[2] << 8 | d[3]);
    if (size == 8) {
        for (int k = 0; k < 4; ++k)
            result.f[k] = d[4 + k];
    } else {
        result.extended = true;
        for (int k = 0; k < 4; ++k)
            result.f[k] = static_cast<quint16>(d[4 + 2 * k] << 8 | d[5 + 2 * k]);
        result.status = d[12];
        result.fw_version = static_cast<qint8>(d[13]);
    }
    *out = result;
    return true;
}

QString ResponseDecoding::loaderEntryText(quint8 code) {
    // The high nibble names the loader (codes from 0x90 on name none), the low one the mechanism.
    static const char* const loaders[16] = {"Tray Loader", nullptr,        "Top Loader",
                                            nullptr,       "Slot Loader ", nullptr,
                                            nullptr,       nullptr,        "DK-Tria Tray"};
    static const char* const mechanisms[16] = {nullptr, " + Sony KHM", " + Sanyo HD850", nullptr,
                                               " + Sanyo DA11"};
    QString text;
    if (code < 0x90 && loaders[code >> 4])
        text = QLatin1String(loaders[code >> 4]);
    if (mechanisms[code & 0x0F])
        text += QLatin1String(mechanisms[code & 0x0F]);
    return text;
}

QString ResponseDecoding::loaderMechanismName(quint8 code) {
    switch (code >> 4) {
    case 0x0:
        return QStringLiteral("Tray Loader");
    case 0x2:
        return QStringLiteral("Top Loader");
    case 0x4:
        return QStringLiteral("Slot Loader");
    case 0x8:
        return QStringLiteral("Tray Loader DK-Tria");
    default:
        return QString();
    }
}
