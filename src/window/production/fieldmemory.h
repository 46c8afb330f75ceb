#ifndef FIELDMEMORY_H
#define FIELDMEMORY_H

#include <QHash>
#include <QString>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QWidget;

// An editable field of the EEPROM page takes the board's value only while it still shows what
// the board last put there: what the operator changed survives a read of the board.
class FieldMemory {
public:
    // Shows `fromBoard` in the field unless the operator changed it since the board's last value;
    // true when shown. (A combo's value is its entry index, a date's its ISO text.)
    bool refresh(QLineEdit* field, const QString& fromBoard);
    bool refresh(QComboBox* field, const QString& fromBoard);
    bool refresh(QDateEdit* field, const QString& fromBoard);

private:
    // What the field shows now, and the board's new value; true when it is to be shown.
    bool take(const QWidget* field, const QString& showing, const QString& fromBoard);

    QHash<const QWidget*, QString> shown;
};

#endif // FIELDMEMORY_H
