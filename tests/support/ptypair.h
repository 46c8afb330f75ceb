#ifndef PTYPAIR_H
#define PTYPAIR_H

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair in raw mode. The tool opens the slave end (by its path, or through a
// symlink) as a serial port; the test plays the board on the master end.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return masterFd >= 0; }
    // Path of the slave device, e.g. /dev/pts/7.
    QString slavePath() const { return slave; }
    int master() const { return masterFd; }

    // Writes bytes to the master end (what the board sends).
    bool write(const QByteArray& bytes);
    // Reads what is available on the master end without blocking (what the tool sent).
    QByteArray readAvailable();
    // Reads until `count` bytes arrived or `timeoutMs` passed; processes Qt events meanwhile.
    QByteArray readAtLeast(int count, int timeoutMs);
    // Closes the master end: the other side sees the device go away.
    void closeMaster();

private:
    int masterFd = -1;
    QString slave;
};

#endif // PTYPAIR_H
