#include "flags/flagfilereader.h"

#include "flags/flaginterval.h"
#include "flags/runfilereader.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

const qint64 GapSeconds = 2;
const qint64 Day = 86400;
// A second with this many rows is counted at the shortest interval, whatever its neighbours.
const qint64 ShortestRows = 12;

// The interval setting a second with `rows` rows is counted at, when it is fully measured.
int settingOfSecond(qint64 rows) {
    if (rows >= ShortestRows)
        return 3;
    if (rows >= 3)
        return 2;
    return 1;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Two digits, the first of them 0 to 5: minutes or seconds.
bool sixtieth(const char*& p, const char* end, qint64* value) {
    if (end - p < 2 || p[0] < '0' || p[0] > '5' || !isDigit(p[1]))
        return false;
    *value = (p[0] - '0') * 10 + (p[1] - '0');
    p += 2;
    return true;
}

// A count as the file prints it (a signed 16-bit decimal, blanks around it allowed), up to the
// next comma or the end; taken back as the unsigned count it stands for.
bool count(const char*& p, const char* end, quint16* value) {
    while (p < end && isBlank(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    const char* digits = p;
    qint32 v = 0;
    while (p < end && isDigit(*p)) {
        v = v * 10 + (*p - '0');
        if (v > 65535)
            return false;
        ++p;
    }
    if (p == digits || (negative && v > 32768))
        return false;
    while (p < end && isBlank(*p))
        ++p;
    if (p < end && *p != ',')
        return false;
    *value = quint16(negative ? -v : v);
    return true;
}

} // namespace

bool FlagFileReader::parseRow(const char* p, int size, qint64* seconds, RunStore::Counts* counts) {
    const char* end = p + size;
    if (end > p && end[-1] == '\n')
        --end;
    if (end > p && end[-1] == '\r')
        --end;
    const char* hourDigits = p;
    qint64 hours = 0;
    while (p < end && isDigit(*p)) {
        if (p - hourDigits == MaxHourDigits)
            return false;
        hours = hours * 10 + (*p - '0');
        ++p;
    }
    qint64 minutes = 0;
    qint64 secs = 0;
    if (p - hourDigits < 2 || p == end || *p++ != ':' || !sixtieth(p, end, &minutes) || p == end ||
        *p++ != ':' || !sixtieth(p, end, &secs))
        return false;
    for (quint16& c : *counts) {
        if (end - p < 2 || p[0] != ',' || p[1] != '\t')
            return false;
        p += 2;
        if (!count(p, end, &c))
            return false;
    }
    if (p != end)
        return false;
    *seconds = hours * 3600 + minutes * 60 + secs;
    return true;
}

QDateTime FlagFileReader::created(const QString& fileName) {
    static const QRegularExpression name(QStringLiteral("^(\\d{14})(_\\d+)?\\.txt$"));
    const QRegularExpressionMatch m = name.match(QFileInfo(fileName).fileName());
    return m.hasMatch() ? QDateTime::fromString(m.captured(1), QStringLiteral("yyyyMMddHHmmss"))
                        : QDateTime();
}

FlagFileReader::Result FlagFileReader::read(QIODevice& in, RunStore* store) {
    RunFileReader reader(in, store, RunFileReader::Format::FlagFile);
    reader.readAll();
    return Result{reader.rows(), reader.skipped()};
}

// ---------------------------------------------------------------------------------------------
// Line by line

bool FlagFileReader::Second::ownKnown() const {
    return closed || rows >= ShortestRows;
}

int FlagFileReader::Second::own() const {
    return settingOfSecond(rows);
}

FlagFileReader::FlagFileReader(RunStore* store) : run(store) {
    run->clear();
    seconds.reserve(4);
    held.reserve(2 * ShortestRows + 2);
}

void FlagFileReader::skipLine() {
    totals.skipped += emptyLines + 1;
    emptyLines = 0;
}

void FlagFileReader::addLine(const char* line, int size) {
    if (size == 0) {
        ++emptyLines;
        return;
    }
    Row row;
    if (!parseRow(line, size, &row.second, &row.counts)) {
        skipLine();
        return;
    }
    totals.skipped += emptyLines;
    emptyLines = 0;
    ++totals.rows;
    // A clock that went round midnight carries on counting.
    if (previousSecond >= 0 && row.second + wraps * Day < previousSecond - Day / 2)
        ++wraps;
    row.second += wraps * Day;
    previousSecond = row.second;

    if (!seconds.empty() && seconds.back().second == row.second) {
        Second& s = seconds.back();
        ++s.rows;
        // A settled second is the oldest one held: its rows go straight on.
        if (s.settled) {
            storeRow(row, s.setting);
            return;
        }
        held.push_back(row);
        ++s.held;
    } else {
        if (!seconds.empty())
            seconds.back().closed = true;
        seconds.push_back(Second{row.second, 1, 1, false, false, 0});
        held.push_back(row);
    }
    settle();
}

void FlagFileReader::finish() {
    if (!seconds.empty())
        seconds.back().closed = true;
    settle();
    totals.skipped += std::max<qint64>(0, emptyLines - 1);
    emptyLines = 0;
}

void FlagFileReader::settle() {
    size_t done = 0;
    while (!seconds.empty()) {
        Second& s = seconds.front();
        if (!s.settled) {
            if (!s.ownKnown())
                break;
            int setting = s.own();
            // A neighbour one second away with a shorter interval: this second is an edge of it.
            if (setting < 3 && hadSecond && qAbs(lastSecond - s.second) == 1)
                setting = std::max(setting, lastOwn);
            if (setting < 3 && seconds.size() > 1 && qAbs(seconds[1].second - s.second) == 1) {
                if (!seconds[1].ownKnown())
                    break;
                setting = std::max(setting, seconds[1].own());
            }
            for (int k = 0; k < s.held; ++k)
                storeRow(held[done + size_t(k)], setting);
            done += size_t(s.held);
            s.held = 0;
            s.settled = true;
            s.setting = setting;
        }
        if (!s.closed)
            break;
        hadSecond = true;
        lastSecond = s.second;
        lastOwn = s.own();
        seconds.erase(seconds.begin());
    }
    held.erase(held.begin(), held.begin() + qint64(done));
}

void FlagFileReader::storeRow(const Row& row, int setting) {
    if (!stored) {
        stored = true;
        origin = row.second;
        storedMs = 0;
    } else {
        const qint64 secondMs = (row.second - origin) * 1000;
        if (row.second - storedSecond > GapSeconds) {
            run->markGap();
            storedMs = secondMs;
        } else {
            storedMs = std::max(secondMs, storedMs + FlagInterval::milliseconds(setting));
        }
    }
    storedSecond = row.second;
    run->append(storedMs, row.counts, setting);
}
