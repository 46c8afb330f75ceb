#ifndef FRAMEHEX_H
#define FRAMEHEX_H

#include "framebuilder.h"

#include <QByteArray>
#include <QString>

// Frames as the tests write them: hexadecimal texts ("C6 0C 00 10 ..."), or the simulator's
// frame builders.
namespace FrameHex {
inline QByteArray bytes(const QString& hex) {
    return QByteArray::fromHex(hex.toLatin1());
}
inline QByteArray bytes(const Bytes& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<int>(frame.size()));
}
inline QString text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}
} // namespace FrameHex

#endif // FRAMEHEX_H
