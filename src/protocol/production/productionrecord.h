#ifndef PRODUCTIONRECORD_H
#define PRODUCTIONRECORD_H

#include "production/eepromlayout.h"

#include <QDate>
#include <QString>

// The production record on the EEPROM page: the production date counts days after
// 22 September 2017; the operator types the record a full programming run writes.
class ProductionRecord {
public:
    static QDate firstDay() { return QDate(2017, 9, 22); }
    static QDate date(quint16 day) { return firstDay().addDays(day); }
    // The date as text, weekday, month, day and year in English: day 0 is "Fri Sep 22 2017".
    static QString dateText(quint16 day);
    // The record as typed on the page into `image`: serial number, "Flashed by" and customer ID
    // each a whole number from 0 to 65535, the date at most 65535 days after the first day.
    // False (and `image` unchanged) otherwise, with *why naming the field.
    static bool fromPage(const QString& serial, const QString& flashedBy, const QString& customer,
                         const QDate& date, EepromParameters* image, QString* why);
};

#endif // PRODUCTIONRECORD_H
