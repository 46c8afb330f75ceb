#include "common/segmentfont.h"

#include "shell/logging.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

QString family() {
    static QString registered;
    if (registered.isEmpty()) {
        const int id = QFontDatabase::addApplicationFont(":/fonts/INK.ttf");
        const QStringList families =
            id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        if (families.isEmpty())
            qCDebug(dk61App) << "no seven-segment face built in; the time displays use the "
                                "system font";
        registered = families.isEmpty() ? QStringLiteral("INK") : families.first();
    }
    return registered;
}

} // namespace

QFont SegmentFont::font(int pointSize) {
    return QFont(family(), pointSize, 1, false);
}
