#include "production/productionrecord.h"

#include <QLocale>

QString ProductionRecord::dateText(quint16 day) {
    // the same English form whatever the machine's language
    return QLocale::c().toString(date(day), QStringLiteral("ddd MMM d yyyy"));
}

bool ProductionRecord::fromPage(const QString& serial, const QString& flashedBy,
                                const QString& customer, const QDate& date, EepromParameters* image,
                                QString* why) {
    quint16 words[3] = {};
    const QString texts[3] = {serial, flashedBy, customer};
    const char* captions[3] = {"Serial Number", "Flashed by", "Customer ID"};
    for (int n = 0; n < 3; ++n) {
        bool ok = false;
        const uint value = texts[n].trimmed().toUInt(&ok);
        if (!ok || value > 0xFFFF) {
            *why = QStringLiteral("%1 must be a whole number from 0 to 65535!").arg(captions[n]);
            return false;
        }
        words[n] = static_cast<quint16>(value);
    }
    const qint64 day = firstDay().daysTo(date);
    if (!date.isValid() || day < 0 || day > 0xFFFF) {
        *why = QStringLiteral("Flash Date must lie between %1 and %2!")
                   .arg(dateText(0), dateText(0xFFFF));
        return false;
    }
    image->serial_number = words[0];
    image->flashed_by = words[1];
    image->customer_id = words[2];
    image->production_day = static_cast<quint16>(day);
    return true;
}
