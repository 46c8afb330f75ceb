#include "simport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

SimPort::~SimPort() {
    close();
}

bool SimPort::open(std::string& error) {
    close();
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("grantpt/unlockpt: ") + std::strerror(errno);
        ::close(master);
        return false;
    }
    const char* name = ptsname(master);
    if (!name) {
        error = std::string("ptsname: ") + std::strerror(errno);
        ::close(master);
        return false;
    }
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);

    m_master = master;
    m_slavePath = name;
    if (!resetLine()) {
        error = m_slavePath + ": " + std::strerror(errno);
        close();
        return false;
    }
    return true;
}

bool SimPort::resetLine() {
    if (m_master < 0)
        return false;
    // Only an open slave can drop what it holds for its reader; the master's flush does not
    // reach bytes the line discipline already took.
    const int slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return false;
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        tcsetattr(slave, TCSANOW, &tio);
    }
    tcflush(slave, TCIFLUSH);
    ::close(slave);
    return true;
}

void SimPort::close() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    dropPending();
}

bool SimPort::peerConnected() const {
    if (m_master < 0)
        return false;
    pollfd p{m_master, POLLIN, 0};
    const int r = poll(&p, 1, 0);
    return r >= 0 && !(p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

SimPort::SendResult SimPort::send(const std::vector<uint8_t>& bytes) {
    if (!peerConnected())
        return SendResult::NoPeer;
    if (m_pendingBytes + bytes.size() > MaxBacklog)
        return SendResult::Backlog;
    const size_t step = m_chunkSize ? m_chunkSize : std::max<size_t>(bytes.size(), 1);
    for (size_t pos = 0; pos < bytes.size(); pos += step) {
        Chunk c;
        c.bytes.assign(bytes.begin() + static_cast<long>(pos),
                       bytes.begin() + static_cast<long>(std::min(bytes.size(), pos + step)));
        c.pauseBefore = m_chunkSize != 0;
        m_chunks.push_back(std::move(c));
    }
    m_pendingBytes += bytes.size();
    return SendResult::Queued;
}

int64_t SimPort::nextWriteMs() const {
    if (m_chunks.empty())
        return INT64_MAX;
    return m_chunks.front().pauseBefore ? m_lastWriteMs + ChunkPauseMs : INT64_MIN;
}

bool SimPort::flush(int64_t nowMs) {
    if (!m_chunks.empty() && !peerConnected()) {
        // Writes to a master whose slave is closed are kept for the next reader; drop them.
        dropPending();
        return false;
    }
    while (!m_chunks.empty()) {
        Chunk& c = m_chunks.front();
        if (c.pauseBefore && nowMs < m_lastWriteMs + ChunkPauseMs)
            return true;
        const ssize_t n = ::write(m_master, c.bytes.data(), c.bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return true; // the reader is behind; try again when writable
            dropPending();   // EIO: the peer is gone
            return false;
        }
        m_lastWriteMs = nowMs;
        m_pendingBytes -= static_cast<size_t>(n);
        if (static_cast<size_t>(n) < c.bytes.size()) {
            c.bytes.erase(c.bytes.begin(), c.bytes.begin() + n);
            c.pauseBefore = false; // the rest of this piece follows as soon as possible
            return true;
        }
        m_chunks.pop_front();
    }
    return true;
}

void SimPort::dropPending() {
    m_chunks.clear();
    m_pendingBytes = 0;
}

std::vector<uint8_t> SimPort::read() {
    std::vector<uint8_t> out;
    if (m_master < 0)
        return out;
    uint8_t buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            out.insert(out.end(), buf, buf + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: nothing more; EIO: no peer
    }
    return out;
}
