#include "resultscsv.h"

#include <QIODevice>
#include <QStringList>

namespace {

QString field(const QVariant& v) {
    if (v.type() == QVariant::Double)
        return QString::number(v.toDouble(), 'g', 12);
    QString s = v.toString();
    if (v.type() != QVariant::String)
        return s;
    // A serial number read from a board could start a formula in the spreadsheet it lands in.
    if (!s.isEmpty() && QStringLiteral("=+-@\t\r").contains(s.at(0)))
        s.prepend(QLatin1Char('\''));
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) ||
        s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r')))
        s = QLatin1Char('"') + s.replace(QLatin1String("\""), QLatin1String("\"\"")) +
            QLatin1Char('"');
    return s;
}

} // namespace

bool ResultsCsv::write(QIODevice& out, const QVector<RunResult>& runs) {
    QStringList header;
    for (const RunResult::Column& c : RunResult::columns()) {
        if (c.exported)
            header << QLatin1String(c.name);
    }
    QByteArray text = header.join(QLatin1Char(',')).toUtf8() + "\r\n";
    for (const RunResult& run : runs) {
        QStringList line;
        for (const RunResult::Column& c : RunResult::columns()) {
            if (c.exported)
                line << field(c.get(run));
        }
        text += line.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return out.write(text) == text.size();
}
