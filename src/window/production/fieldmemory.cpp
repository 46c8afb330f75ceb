#include "production/fieldmemory.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

bool FieldMemory::take(const QWidget* field, const QString& showing, const QString& fromBoard) {
    const auto last = shown.constFind(field);
    const bool untouched = last == shown.constEnd() || *last == showing;
    shown.insert(field, fromBoard);
    return untouched;
}

bool FieldMemory::refresh(QLineEdit* field, const QString& fromBoard) {
    const bool untouched = take(field, field->text(), fromBoard);
    if (untouched)
        field->setText(fromBoard);
    return untouched;
}

bool FieldMemory::refresh(QComboBox* field, const QString& fromBoard) {
    const bool untouched = take(field, QString::number(field->currentIndex()), fromBoard);
    if (untouched)
        field->setCurrentIndex(fromBoard.toInt());
    return untouched;
}

bool FieldMemory::refresh(QDateEdit* field, const QString& fromBoard) {
    const bool untouched = take(field, field->date().toString(Qt::ISODate), fromBoard);
    if (untouched)
        field->setDate(QDate::fromString(fromBoard, Qt::ISODate));
    return untouched;
}
