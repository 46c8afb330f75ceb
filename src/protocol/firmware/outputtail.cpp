#include "firmware/outputtail.h"

OutputTail::OutputTail(int maxLines, int lineLength) : maxLines(maxLines), lineLength(lineLength) {}

void OutputTail::append(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char('\r'))
            continue;
        const bool lineEnd = c == QLatin1Char('\n');
        if (!lineEnd && column == lineLength) {
            pending += QLatin1Char('\n');
            ++lineEnds;
            column = 0;
        }
        pending += c;
        lineEnds += lineEnd ? 1 : 0;
        column = lineEnd ? 0 : column + 1;
    }
    // Trimmed in steps rather than at every chunk: a flood costs one copy per maxLines lines.
    if (lineEnds > 2 * maxLines)
        dropOldLines();
}

QString OutputTail::take() {
    dropOldLines();
    QString text;
    text.swap(pending);
    lineEnds = 0;
    return text;
}

void OutputTail::clear() {
    pending.clear();
    lineEnds = 0;
    column = 0;
}

void OutputTail::dropOldLines() {
    if (lineEnds <= maxLines)
        return;
    int at = -1;
    for (int drop = lineEnds - maxLines; drop > 0; --drop)
        at = pending.indexOf(QLatin1Char('\n'), at + 1);
    pending.remove(0, at + 1);
    lineEnds = maxLines;
}
