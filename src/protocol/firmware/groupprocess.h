#ifndef GROUPPROCESS_H
#define GROUPPROCESS_H

#include <QProcess>

// A child process that leads a process group of its own, so that ending it ends every process it
// started as well (a shell's background jobs, helpers it runs). On Windows only the process
// itself is ended.
class GroupProcess : public QProcess {
public:
    using QProcess::QProcess;

    // Kills the process and the rest of its group, then waits up to waitMs for its end;
    // finished() comes from within. Does nothing when the process is not running.
    void killGroup(int waitMs);

protected:
    void setupChildProcess() override;
};

#endif // GROUPPROCESS_H
