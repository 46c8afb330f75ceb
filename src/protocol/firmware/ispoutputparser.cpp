#include "firmware/ispoutputparser.h"

#include "shell/logging.h"

namespace {

const QByteArray SectorTag("Sector ");
const QByteArray SyncTag("Synchronizing");
const QByteArray DoneTag("Download Finished and Verified correct...");

// Only the start of a line matters; the rest (the tool's progress dots) is not kept.
constexpr int KeptLineLength = 64;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

QVector<IspOutputParser::Update> IspOutputParser::feed(const QByteArray& chunk) {
    QVector<Update> updates;
    int from = 0;
    while (from < chunk.size()) {
        const int end = chunk.indexOf('\n', from);
        const int stop = end < 0 ? chunk.size() : end;
        line.append(chunk.constData() + from, qMin(stop - from, KeptLineLength - line.size()));
        if (end < 0) {
            judgeLine(false, updates);
            break;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        judgeLine(true, updates);
        line.clear();
        lineJudged = false;
        from = end + 1;
    }
    return updates;
}

void IspOutputParser::reset() {
    line.clear();
    lineJudged = false;
    verified = false;
}

IspOutputParser::Update IspOutputParser::sectorUpdate(quint64 sector, const QString& number) {
    Update update;
    update.label = QStringLiteral("Writing Sector ") + number;
    if (sector == 0)
        update.progress = ProgressMaximum - 1;
    else if (sector <= quint64(ProgressMaximum))
        update.progress = int(sector) - 1;
    // Sectors beyond the bar's range leave it where it is.
    return update;
}

void IspOutputParser::judgeLine(bool complete, QVector<Update>& updates) {
    if (lineJudged)
        return;
    // A line counts once the part that decides it is in; until then more may come.
    const bool full = complete || line.size() >= KeptLineLength;
    if (line.startsWith(SectorTag)) {
        int end = SectorTag.size();
        while (end < line.size() && isDigit(line.at(end)))
            ++end;
        if (end == line.size() && !full)
            return; // the number may go on in the next chunk
        lineJudged = true;
        const QByteArray digits = line.mid(SectorTag.size(), end - SectorTag.size());
        if (digits.isEmpty())
            return;
        bool ok = false;
        const quint64 sector = digits.toULongLong(&ok);
        qCDebug(dk61Firmware) << "Sector" << digits;
        updates.append(sectorUpdate(ok ? sector : ~quint64(0), QString::fromLatin1(digits)));
    } else if (line.startsWith(DoneTag)) {
        lineJudged = true;
        verified = true;
        updates.append({ProgressMaximum, QStringLiteral("Flashing Complete and Successful!")});
    } else if (line.startsWith(SyncTag)) {
        lineJudged = true;
        updates.append({-1, QStringLiteral("Synchronising....")});
    }
}
