#include "flagfilereader.h"

#include "flaginterval.h"

#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

struct Row {
    qint64 second;
    RunStore::Counts counts;
};

const qint64 GapSeconds = 2;
const qint64 Day = 86400;

// The interval setting a second with `rows` rows is counted at, when it is fully measured.
int settingOfSecond(qint64 rows) {
    if (rows >= 12)
        return 3;
    if (rows >= 3)
        return 2;
    return 1;
}

// Settings for one stretch of rows without a gap, one per row.
void settleStretch(const std::vector<Row>& rows, size_t begin, size_t end, std::vector<int>* out) {
    // Rows per second, in order of the seconds.
    std::vector<std::pair<qint64, qint64>> seconds; // (second, rows)
    for (size_t i = begin; i < end; ++i) {
        if (seconds.empty() || seconds.back().first != rows[i].second)
            seconds.emplace_back(rows[i].second, 0);
        ++seconds.back().second;
    }
    std::vector<int> own(seconds.size());
    for (size_t s = 0; s < seconds.size(); ++s)
        own[s] = settingOfSecond(seconds[s].second);
    std::vector<int> settled(own);
    for (size_t s = 0; s < seconds.size(); ++s) {
        // A neighbour one second away with a shorter interval: this second is an edge of it.
        for (size_t n : {s - 1, s + 1}) {
            if (n < seconds.size() && qAbs(seconds[n].first - seconds[s].first) == 1)
                settled[s] = std::max(settled[s], own[n]);
        }
    }
    size_t s = 0;
    for (size_t i = begin; i < end; ++i) {
        while (seconds[s].first != rows[i].second)
            ++s;
        out->push_back(settled[s]);
    }
}

} // namespace

bool FlagFileReader::parseRow(const QByteArray& raw, qint64* seconds, RunStore::Counts* counts) {
    QByteArray line = raw;
    if (line.endsWith('\r'))
        line.chop(1);
    const QList<QByteArray> fields = line.split(',');
    if (fields.size() != 6)
        return false;
    static const QRegularExpression stamp(QStringLiteral("^(\\d{2,}):([0-5]\\d):([0-5]\\d)$"));
    const QRegularExpressionMatch m = stamp.match(QString::fromLatin1(fields[0]));
    if (!m.hasMatch())
        return false;
    *seconds =
        m.captured(1).toLongLong() * 3600 + m.captured(2).toInt() * 60 + m.captured(3).toInt();
    for (int k = 0; k < 5; ++k) {
        const QByteArray& field = fields[k + 1];
        if (!field.startsWith('\t'))
            return false;
        bool ok = false;
        const int value = field.mid(1).toInt(&ok);
        if (!ok || value < -32768 || value > 65535)
            return false;
        (*counts)[k] = quint16(value);
    }
    return true;
}

QDateTime FlagFileReader::created(const QString& fileName) {
    static const QRegularExpression name(QStringLiteral("^(\\d{14})(_\\d+)?\\.txt$"));
    const QRegularExpressionMatch m = name.match(QFileInfo(fileName).fileName());
    return m.hasMatch() ? QDateTime::fromString(m.captured(1), QStringLiteral("yyyyMMddHHmmss"))
                        : QDateTime();
}

FlagFileReader::Result FlagFileReader::read(QIODevice& in, RunStore* store) {
    Result result;
    std::vector<Row> rows;
    qint64 previous = -1;
    qint64 wraps = 0;
    while (!in.atEnd()) {
        QByteArray line = in.readLine();
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.isEmpty() && in.atEnd())
            break;
        Row row;
        if (!parseRow(line, &row.second, &row.counts)) {
            ++result.skipped;
            continue;
        }
        // A clock that went round midnight carries on counting.
        if (previous >= 0 && row.second + wraps * Day < previous - Day / 2)
            ++wraps;
        row.second += wraps * Day;
        previous = row.second;
        rows.push_back(row);
    }
    result.rows = qint64(rows.size());

    std::vector<int> settings;
    settings.reserve(rows.size());
    size_t begin = 0;
    for (size_t i = 1; i <= rows.size(); ++i) {
        if (i == rows.size() || rows[i].second - rows[i - 1].second > GapSeconds) {
            settleStretch(rows, begin, i, &settings);
            begin = i;
        }
    }

    store->clear();
    const qint64 origin = rows.empty() ? 0 : rows.front().second;
    qint64 ms = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const qint64 secondMs = (rows[i].second - origin) * 1000;
        if (i > 0 && rows[i].second - rows[i - 1].second > GapSeconds) {
            store->markGap();
            ms = secondMs;
        } else if (i > 0) {
            ms = std::max(secondMs, ms + FlagInterval::milliseconds(settings[i]));
        }
        store->append(ms, rows[i].counts, settings[i]);
    }
    return result;
}
