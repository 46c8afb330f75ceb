#ifndef ISPOUTPUTPARSER_H
#define ISPOUTPUTPARSER_H

#include <QByteArray>
#include <QString>
#include <QVector>

// Follows the standard output of the ISP tool (lpc21isp) line by line and turns what it reports
// into values for the flash page's progress bar (0 to 8) and texts for its status label.
// Lines end in "\n" or "\r\n"; a line cut between two chunks is kept until the rest arrives.
// A line is judged by its start as soon as that start is complete: the tool prints
// "Sector 3: " and only ends the line when the sector is written.
class IspOutputParser {
public:
    struct Update {
        int progress = -1; // new bar value; -1 leaves the bar as it is
        QString label;     // new status text; empty leaves the label as it is
    };

    static constexpr int ProgressMaximum = 8;

    // Takes the next chunk of output and returns what it changes, in order.
    QVector<Update> feed(const QByteArray& chunk);
    // Whether the tool has reported a complete, verified download.
    bool downloadVerified() const { return verified; }
    void reset();

private:
    // A sector being written: the tool writes sector 0 last, so it stands just before the end.
    static Update sectorUpdate(quint64 sector, const QString& number);
    void judgeLine(bool complete, QVector<Update>& updates);

    QByteArray line;         // the start of the line being received, without its end
    bool lineJudged = false; // the current line has given its update already
    bool verified = false;
};

#endif // ISPOUTPUTPARSER_H
