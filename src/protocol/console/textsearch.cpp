#include "console/textsearch.h"

#include <algorithm>

QVector<int> TextSearch::matches(const QString& text, const QString& needle, int limit) {
    QVector<int> found;
    if (needle.isEmpty())
        return found;
    for (int at = text.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0 && found.size() < limit;
         at = text.indexOf(needle, at + needle.size(), Qt::CaseInsensitive))
        found.append(at);
    return found;
}

int TextSearch::step(const QVector<int>& matches, int at, bool backward) {
    if (matches.isEmpty())
        return -1;
    if (backward) {
        const auto before = std::lower_bound(matches.begin(), matches.end(), at);
        return before == matches.begin() ? matches.last() : *(before - 1);
    }
    const auto after = std::upper_bound(matches.begin(), matches.end(), at);
    return after == matches.end() ? matches.first() : *after;
}
