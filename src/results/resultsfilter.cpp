#include "resultsfilter.h"

#include <QStringList>

QString ResultsFilter::sqlTail(QVariantList* values) const {
    QStringList where;
    if (!unit.isEmpty()) {
        QString pattern = unit.toLower();
        pattern.replace(QLatin1String("\\"), QLatin1String("\\\\"))
            .replace(QLatin1String("%"), QLatin1String("\\%"))
            .replace(QLatin1String("_"), QLatin1String("\\_"));
        pattern = QLatin1Char('%') + pattern + QLatin1Char('%');
        where << QStringLiteral("(LOWER(serial_number) LIKE ? ESCAPE '\\' "
                                "OR LOWER(unit_id) LIKE ? ESCAPE '\\')");
        *values << pattern << pattern;
    }
    if (from.isValid()) {
        where << QStringLiteral("started_at >= ?");
        *values << from.toUTC().toString(Qt::ISODate);
    }
    if (to.isValid()) {
        where << QStringLiteral("started_at <= ?");
        *values << to.toUTC().toString(Qt::ISODate);
    }
    if (verdict == Verdict::Fail)
        where << QStringLiteral("(verdict_standard = 'FAIL' OR verdict_limits = 'FAIL')");
    else if (verdict == Verdict::Pass)
        where << QStringLiteral("(verdict_standard = 'PASS' AND verdict_limits <> 'FAIL')");
    if (!station.isEmpty()) {
        where << QStringLiteral("station = ?");
        *values << station;
    }
    QString sql;
    if (!where.isEmpty())
        sql = QStringLiteral(" WHERE ") + where.join(QLatin1String(" AND "));
    sql += QStringLiteral(" ORDER BY started_at DESC, run_id");
    if (limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(limit);
    return sql;
}
