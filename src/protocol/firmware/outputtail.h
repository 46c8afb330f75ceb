#ifndef OUTPUTTAIL_H
#define OUTPUTTAIL_H

#include <QString>

// The recent output of a child process for a view an operator reads. Lines longer than
// lineLength characters are broken into several; of the text appended since the last take()
// only the last maxLines lines (and the line still being written) are kept, however much the
// process prints. Carriage returns are dropped, so "\r\n" ends a line like "\n".
class OutputTail {
public:
    OutputTail(int maxLines, int lineLength);

    void append(const QString& text);
    // The text kept since the last take(); its last line may go on in the next one.
    QString take();
    bool isEmpty() const { return pending.isEmpty(); }
    void clear();

private:
    void dropOldLines();

    const int maxLines;
    const int lineLength;
    QString pending;
    int lineEnds = 0; // the "\n" in pending
    int column = 0;   // characters of the line being written, those already taken included
};

#endif // OUTPUTTAIL_H
