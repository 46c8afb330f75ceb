#ifndef TEXTSEARCH_H
#define TEXTSEARCH_H

#include <QString>
#include <QVector>

// Finding a text in the Data Log: where it occurs (ignoring case) and which occurrence Next and
// Previous go to. Pure functions of their arguments.
class TextSearch {
public:
    // The positions where `needle` starts in `text`, in order, at most `limit` of them (none for
    // an empty needle). Occurrences do not overlap.
    static QVector<int> matches(const QString& text, const QString& needle, int limit);
    // From position `at`: the first match after it, or going back the last one before it; past
    // either end the search wraps around. -1 without matches.
    static int step(const QVector<int>& matches, int at, bool backward);
};

#endif // TEXTSEARCH_H
