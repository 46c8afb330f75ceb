#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The board's end of the serial line: the master of a pseudo-terminal.
//
// No slave descriptor is held open. The slave is opened briefly, put into raw mode (the
// setting stays with the terminal while the master lives) and closed again; from then on
// the master reports a hang-up whenever no one has the slave open. Output produced while
// no one listens is discarded, as bytes sent into an unplugged adapter are: holding the
// slave open would let them pile up in the terminal and reach the next reader as stale
// backlog. The master is non-blocking, so a reader that stops reading never blocks the
// board; its backlog is bounded.
class SimPort {
public:
    enum class SendResult { Queued, NoPeer, Backlog };

    static constexpr size_t MaxBacklog = 64 * 1024;
    static constexpr int64_t ChunkPauseMs = 1;

    SimPort() = default;
    ~SimPort();
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    bool open(std::string& error);
    void close();
    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

    // Whether someone has the slave open (the master shows no hang-up).
    bool peerConnected() const;

    void setChunkSize(int bytes) { m_chunkSize = bytes > 0 ? static_cast<size_t>(bytes) : 0; }
    // Queues one transmission; with a chunk size it goes out in pieces ChunkPauseMs apart.
    SendResult send(const std::vector<uint8_t>& bytes);
    // Writes what is due and what the terminal takes. Returns false if output was discarded
    // because the peer went away.
    bool flush(int64_t nowMs);
    bool hasPending() const { return !m_chunks.empty(); }
    // When the next chunk may be written (INT64_MAX: nothing pending).
    int64_t nextWriteMs() const;
    size_t pendingBytes() const { return m_pendingBytes; }
    void dropPending();
    // Throws away what was written to the slave but not read and puts the line back into raw
    // mode (call when the reader has gone, so the next one starts clean).
    bool resetLine();

    // Reads what the peer wrote; empty if nothing (or no peer).
    std::vector<uint8_t> read();

private:
    struct Chunk {
        std::vector<uint8_t> bytes;
        bool pauseBefore = false;
    };

    int m_master = -1;
    std::string m_slavePath;
    size_t m_chunkSize = 0;
    std::deque<Chunk> m_chunks;
    size_t m_pendingBytes = 0;
    int64_t m_lastWriteMs = INT64_MIN / 2;
};
