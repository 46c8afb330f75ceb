#ifndef E2EHARNESS_H
#define E2EHARNESS_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// What the end-to-end tests share: where the executables are, waiting with a deadline, the CPU
// time of a process, and the two text forms an operator finds in the files.
class E2eHarness {
public:
    // An executable of the build: $DK61_BIN_DIR/<name>.
    static QString binary(const QString& name);
    // Polls `done` (events processed in between) until it holds or `timeoutMs` passed.
    static bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    // User plus system CPU time of a running process in seconds; negative if unknown.
    static double cpuSeconds(qint64 pid);

    // The five counts of a CFLAG frame (0xC6 or 0xA9, 8 or 14 bytes) as the flag file prints
    // them, signed 16-bit; empty for any other frame.
    static QList<int> recordCounts(const QByteArray& frame);
    // A flag-file row "hh:mm:ss,\t<c1>,\t<c1u>,\t<c2>,\t<c2u>,\t<interp>" split into its time
    // stamp and counts; false if the row has another form.
    static bool parseFlagRow(const QString& row, QString* stamp, QList<int>* counts);
    // A log-file line "[hh:mm:ss]PC-Tool: " or "[hh:mm:ss]DK-61  : " followed by every byte as
    // two hex digits and two blanks; `sent` tells which. False if the line has another form.
    static bool parseLogLine(const QString& line, QString* stamp, bool* sent, QByteArray* bytes);
    // Upper-case hexadecimal with blanks, for messages.
    static QString hex(const QByteArray& bytes);
    // Whether pdftotext (poppler-utils, installed by scripts/deps.sh test) is there to read
    // reports; a test of a report's text is skipped only without it (SKIP_WITHOUT_PDFTOTEXT).
    static bool readsPdf();
    // The text pdftotext reads from a PDF, blanks simplified (empty when it reads none).
    static QString pdfText(const QString& pdf);
};

// Skips the rest of a test that reads a report's text where pdftotext is not installed; with it,
// a report without text fails the checks that follow.
#define SKIP_WITHOUT_PDFTOTEXT()                                                                   \
    do {                                                                                           \
        if (!E2eHarness::readsPdf())                                                               \
            QSKIP("pdftotext (poppler-utils) is not installed: the report's text is not read");    \
    } while (false)

#endif // E2EHARNESS_H
