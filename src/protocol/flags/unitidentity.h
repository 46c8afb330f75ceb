#ifndef UNITIDENTITY_H
#define UNITIDENTITY_H

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

// The mechanism a run measured. When a DK-61 answered at start-up it names itself: its firmware
// version and the production record of its EEPROM (serial number, customer ID, flash date and the
// operator who flashed it). Without a board the operator types a unit ID instead.
struct UnitIdentity {
    bool fromBoard = false;
    int firmware = 0;
    quint16 serialNumber = 0;
    quint16 customerId = 0;
    QDate flashDate;
    quint16 flashedBy = 0;
    // The typed unit ID (only without a board).
    QString typed;

    // Longest typed unit ID kept.
    static constexpr int TypedLength = 64;

    // From the board's start-up reads: the firmware version byte and the production record's
    // four words (the date as days after 22 September 2017).
    static UnitIdentity board(quint8 firmware, quint16 serialNumber, quint16 customerId,
                              quint16 productionDay, quint16 flashedBy);
    // A unit ID as typed: one line of at most TypedLength characters (line breaks and other
    // control characters become blanks, format characters such as U+202E go); blank: no
    // identity.
    static UnitIdentity typedId(const QString& text);

    bool isKnown() const { return fromBoard || !typed.isEmpty(); }
    // "12345", the typed ID, or "not identified".
    QString unit() const;
    // "12345 (customer 7, firmware 60, flashed 2023-03-15 by 9)", "12345 (customer 7, firmware
    // 60)" without a flash date, "AB-17 (typed)", "not identified".
    QString details() const;
    // "unit " + details().
    QString text() const;
    // The log file's line when a run starts (after its time stamp): "Run started: " + text().
    QString runStartedLine() const;
    // Caption and value of each part, for reports and exported runs: "Unit", "Customer ID",
    // "Firmware", "Flash date", "Flashed by" from a board (the last two when the flash date is
    // known); "Unit" alone otherwise.
    QList<QPair<QString, QString>> fields() const;
    // The identity such fields name (as read back from an exported run); captions it does not
    // know are passed over, and without a "Unit" there is no identity.
    static UnitIdentity fromFields(const QList<QPair<QString, QString>>& fields);
};

#endif // UNITIDENTITY_H
