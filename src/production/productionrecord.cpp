#include "productionrecord.h"

#include <QLocale>

QString ProductionRecord::dateText(quint16 day) {
    // the same English form whatever the machine's language
    return QLocale::c().toString(date(day), QStringLiteral("ddd MMM d yyyy"));
}

quint16 ProductionRecord::nextSerialNumber(const QString& text) {
    bool ok = false;
    const qulonglong number = text.trimmed().toULongLong(&ok);
    return static_cast<quint16>((ok ? number : 0) + 1);
}
