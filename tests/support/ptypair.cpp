#include "ptypair.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (masterFd < 0)
        return;
    if (grantpt(masterFd) != 0 || unlockpt(masterFd) != 0) {
        ::close(masterFd);
        masterFd = -1;
        return;
    }
    slave = QString::fromLocal8Bit(ptsname(masterFd));
    // Raw mode on the master side as well, so no byte is translated on its way.
    termios tio{};
    if (tcgetattr(masterFd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(masterFd, TCSANOW, &tio);
    }
}

PtyPair::~PtyPair() {
    closeMaster();
}

bool PtyPair::write(const QByteArray& bytes) {
    if (masterFd < 0)
        return false;
    qint64 done = 0;
    QElapsedTimer timer;
    timer.start();
    while (done < bytes.size() && timer.elapsed() < 5000) {
        const ssize_t n = ::write(masterFd, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd pfd{masterFd, POLLOUT, 0};
            ::poll(&pfd, 1, 10);
        }
    }
    return done == bytes.size();
}

QByteArray PtyPair::readAvailable() {
    QByteArray out;
    if (masterFd < 0)
        return out;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(masterFd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        out.append(chunk, static_cast<int>(n));
    }
    return out;
}

QByteArray PtyPair::readAtLeast(int count, int timeoutMs) {
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (out.size() < count && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        out.append(readAvailable());
        if (out.size() < count) {
            pollfd pfd{masterFd, POLLIN, 0};
            ::poll(&pfd, 1, 5);
        }
    }
    return out;
}

void PtyPair::closeMaster() {
    if (masterFd >= 0) {
        ::close(masterFd);
        masterFd = -1;
    }
}
