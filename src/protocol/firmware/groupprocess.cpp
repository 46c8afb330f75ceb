#include "firmware/groupprocess.h"

#ifdef Q_OS_UNIX
#include <signal.h>
#include <unistd.h>
#endif

void GroupProcess::killGroup(int waitMs) {
    if (state() == QProcess::NotRunning)
        return;
#ifdef Q_OS_UNIX
    // The group is named by the leader's process id, which stays taken until the leader is
    // reaped; that happens only in waitForFinished() or the event loop, both after this.
    const qint64 leader = processId();
    if (leader > 0)
        ::kill(-pid_t(leader), SIGKILL);
#endif
    kill();
    waitForFinished(waitMs);
}

void GroupProcess::setupChildProcess() {
#ifdef Q_OS_UNIX
    // In the child, before the program starts: a group of its own but no new session, so that a
    // serial port it opens does not become its controlling terminal.
    ::setpgid(0, 0);
#endif
}
