#ifndef RUNJOURNAL_H
#define RUNJOURNAL_H

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Which runs this program has measured, kept on disk so that a later start can tell the runs of
// a program that ended without finishing them (killed, power lost) from those of a program that
// still measures. Each program holds a lock file and lists the ids of its runs beside it, in the
// first of the given folders that takes them; a list whose lock no living program holds is
// the list of a program that ended.
class RunJournal {
public:
    explicit RunJournal(const QStringList& folders);
    // Ends as close(true) would.
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // A run of this program (listed once, when first seen).
    void add(const QString& runId);
    // The runs listed by programs that have ended; their lists are held until released.
    QStringList claimEnded();
    // The runs claimed have been dealt with: their lists go.
    void releaseClaimed();
    // The program ends: its list goes unless `keepList` (a run may not have been written as
    // finished: the next start deals with it); claimed lists stay for the next start.
    void close(bool keepList);

private:
    struct List {
        std::unique_ptr<QLockFile> lock;
        QString path;
    };
    // A new list of this program in the first folder that has not failed; false when none
    // takes one.
    bool startList();

    QStringList folders;
    QStringList failed; // folders that took no list or no line
    // This program's lists (a folder that fills up mid-run moves it on to the next), the newest
    // last, and the lists of ended programs it has claimed.
    std::vector<List> own;
    std::vector<List> claimed;
    QStringList listed;
    bool toldNoFolder = false;
};

#endif // RUNJOURNAL_H
