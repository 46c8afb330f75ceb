#include "flags/unitidentity.h"

#include "production/productionrecord.h"

#include <QHash>
#include <QVector>

UnitIdentity UnitIdentity::board(quint8 firmware, quint16 serialNumber, quint16 customerId,
                                 quint16 productionDay, quint16 flashedBy) {
    UnitIdentity unit;
    unit.fromBoard = true;
    unit.firmware = firmware;
    unit.serialNumber = serialNumber;
    unit.customerId = customerId;
    unit.flashDate = ProductionRecord::date(productionDay);
    unit.flashedBy = flashedBy;
    return unit;
}

UnitIdentity UnitIdentity::typedId(const QString& text) {
    // One line: it ends up in the log file, in the head of exported runs and in reports. Format
    // characters (a right-to-left override, zero-width or tag characters) would show it as
    // something it is not, so they go.
    QVector<uint> line;
    for (const uint c : text.left(4 * TypedLength).toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Format)
            continue;
        line << (category == QChar::Other_Control || category == QChar::Separator_Line ||
                         category == QChar::Separator_Paragraph
                     ? uint(' ')
                     : c);
    }
    UnitIdentity unit;
    unit.typed =
        QString::fromUcs4(line.constData(), line.size()).simplified().left(TypedLength).trimmed();
    return unit;
}

QString UnitIdentity::unit() const {
    if (fromBoard)
        return QString::number(serialNumber);
    return typed.isEmpty() ? QStringLiteral("not identified") : typed;
}

QString UnitIdentity::details() const {
    // A unit read back from the results database has no production record but its numbers.
    if (fromBoard && !flashDate.isValid())
        return QStringLiteral("%1 (customer %2, firmware %3)")
            .arg(unit())
            .arg(customerId)
            .arg(firmware);
    if (fromBoard)
        return QStringLiteral("%1 (customer %2, firmware %3, flashed %4 by %5)")
            .arg(unit())
            .arg(customerId)
            .arg(firmware)
            .arg(flashDate.toString(Qt::ISODate))
            .arg(flashedBy);
    if (!typed.isEmpty())
        return typed + QStringLiteral(" (typed)");
    return unit();
}

QString UnitIdentity::text() const {
    return QStringLiteral("unit ") + details();
}

QString UnitIdentity::runStartedLine() const {
    return QStringLiteral("Run started: ") + text();
}

QList<QPair<QString, QString>> UnitIdentity::fields() const {
    if (!fromBoard)
        return {{QStringLiteral("Unit"), details()}};
    QList<QPair<QString, QString>> all{{QStringLiteral("Unit"), unit()},
                                       {QStringLiteral("Customer ID"), QString::number(customerId)},
                                       {QStringLiteral("Firmware"), QString::number(firmware)}};
    if (flashDate.isValid())
        all << qMakePair(QStringLiteral("Flash date"), flashDate.toString(Qt::ISODate))
            << qMakePair(QStringLiteral("Flashed by"), QString::number(flashedBy));
    return all;
}

UnitIdentity UnitIdentity::fromFields(const QList<QPair<QString, QString>>& fields) {
    QHash<QString, QString> value;
    for (const auto& field : fields)
        value.insert(field.first, field.second);
    const QString unitText = value.value(QStringLiteral("Unit"));
    if (!value.contains(QStringLiteral("Customer ID"))) {
        const QString typedSuffix = QStringLiteral(" (typed)");
        return typedId(unitText.endsWith(typedSuffix) ? unitText.chopped(typedSuffix.size())
                                                      : unitText);
    }
    bool serialOk = false;
    UnitIdentity unit;
    unit.fromBoard = true;
    unit.serialNumber = unitText.toUShort(&serialOk);
    unit.customerId = value.value(QStringLiteral("Customer ID")).toUShort();
    unit.firmware = value.value(QStringLiteral("Firmware")).toInt();
    unit.flashDate = QDate::fromString(value.value(QStringLiteral("Flash date")), Qt::ISODate);
    unit.flashedBy = value.value(QStringLiteral("Flashed by")).toUShort();
    // A serial number that is no number (changed by hand) is kept as the unit's name.
    return serialOk ? unit : typedId(unitText);
}
