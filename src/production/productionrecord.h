#ifndef PRODUCTIONRECORD_H
#define PRODUCTIONRECORD_H

#include <QDate>
#include <QString>

// How the EEPROM page shows the production record: the production date counts days after
// 22 September 2017, and the serial number may step on after a programming run.
class ProductionRecord {
public:
    static QDate firstDay() { return QDate(2017, 9, 22); }
    static QDate date(quint16 day) { return firstDay().addDays(day); }
    // The date as text, weekday, month, day and year in English: day 0 is "Fri Sep 22 2017".
    static QString dateText(quint16 day);
    // The serial number after the one shown: the text in decimal plus 1, kept to 16 bits
    // (65535 is followed by 0); an unreadable text counts as 0.
    static quint16 nextSerialNumber(const QString& text);
};

#endif // PRODUCTIONRECORD_H
