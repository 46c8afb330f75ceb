// dk61-sim: the DK-61 board and the flag board at the far end of a serial line, served on
// a pseudo-terminal.

#include "commandcutter.h"
#include "eepromimage.h"
#include "framebuilder.h"
#include "linespeed.h"
#include "simboard.h"
#include "simlog.h"
#include "simoptions.h"
#include "simport.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t g_stopSignal = 0;

void onSignal(int signal) {
    g_stopSignal = signal;
}

int64_t monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int64_t deadlineMs(double seconds) {
    return seconds > 0.0 ? static_cast<int64_t>(std::llround(seconds * 1000.0)) : INT64_MAX;
}

// Points `link` at `target`; an existing symlink is replaced, anything else is left alone.
bool makeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = link + " exists and is not a symbolic link";
        return false;
    }
    const std::string tmp = link + ".tmp" + std::to_string(getpid());
    unlink(tmp.c_str());
    if (symlink(target.c_str(), tmp.c_str()) != 0) {
        error = tmp + ": " + std::strerror(errno);
        return false;
    }
    if (rename(tmp.c_str(), link.c_str()) != 0) {
        error = link + ": " + std::strerror(errno);
        unlink(tmp.c_str());
        return false;
    }
    return true;
}

// Removes `link` if it still points at `target` (another simulator may have taken it over).
void removeLink(const std::string& link, const std::string& target) {
    char buf[4096];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
    if (n < 0)
        return;
    buf[n] = '\0';
    if (target == buf)
        unlink(link.c_str());
}

const char* sendTag(SimOutput::Kind kind) {
    switch (kind) {
    case SimOutput::Kind::Garbage:
        return "GARBAGE";
    case SimOutput::Kind::DebugText:
        return "TEXT";
    case SimOutput::Kind::Bootloader:
        return "ISPTX";
    case SimOutput::Kind::Frame:
        break;
    }
    return "TX";
}

// The bootloader's text as one log line: printable characters as they are, others (CR, LF)
// as \xNN.
std::string printable(const uint8_t* data, size_t size) {
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            out += static_cast<char>(b);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", b);
            out += buf;
        }
    }
    return out;
}

bool saveFlash(const std::string& path, const Bytes& image, std::string& error) {
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f || std::fwrite(image.data(), 1, image.size(), f) != image.size() ||
        std::fclose(f) != 0 || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    switch (SimOptions::parse(argc, argv, options, error)) {
    case SimOptions::ParseResult::Help:
        std::fputs(SimOptions::usage().c_str(), stdout);
        return 0;
    case SimOptions::ParseResult::Version:
        std::printf("dk61-sim %s\n", DK61_SIM_VERSION);
        return 0;
    case SimOptions::ParseResult::Error:
        std::fprintf(stderr, "dk61-sim: %s (--help lists the options)\n", error.c_str());
        return 2;
    case SimOptions::ParseResult::Ok:
        break;
    }

    const uint64_t seed = options.seedGiven ? options.seed : std::random_device{}();
    EepromImage image =
        EepromImage::makeDefault(static_cast<uint8_t>(options.loader),
                                 static_cast<uint8_t>(options.baudFlag), options.laserAdc);
    if (!options.eepromPath.empty() && access(options.eepromPath.c_str(), F_OK) == 0) {
        if (!image.load(options.eepromPath, error)) {
            std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
            return 1;
        }
        if (options.loaderGiven)
            image.write(EepromImage::LoaderCodeAddress, {static_cast<uint8_t>(options.loader)});
        if (options.baudFlagGiven)
            image.write(EepromImage::BaudFlagAddress, {static_cast<uint8_t>(options.baudFlag)});
    }

    SimLog log;
    if (!options.logPath.empty() && !log.open(options.logPath, error)) {
        std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
        return 1;
    }

    // SIGINT and SIGTERM are delivered only while waiting in ppoll().
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimPort port;
    if (!port.open(error)) {
        std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
        return 1;
    }
    port.setChunkSize(options.chunk);

    std::string path = port.slavePath();
    if (!options.linkPath.empty()) {
        if (!makeLink(options.linkPath, port.slavePath(), error)) {
            std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
            return 1;
        }
        path = options.linkPath;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    const int64_t startMs = monotonicMs();
    auto now = [startMs] { return monotonicMs() - startMs; };
    log.text(0, "INFO", "start slave " + port.slavePath() + " seed " + std::to_string(seed));

    SimBoard board(options, image, seed);
    board.start(0);
    CommandCutter cutter;
    bool peer = false;
    long speed = -1;
    const int64_t hangupMs = deadlineMs(options.hangupAfter);
    const int64_t endMs = deadlineMs(options.duration);
    auto handleCommands = [&](int64_t t) {
        for (const CommandCutter::Command& c : cutter.take(t)) {
            log.bytes(t, c.complete ? "RX" : "RXBAD", c.bytes);
            if (c.complete)
                board.handleCommand(c.bytes, t);
        }
    };

    for (;;) {
        int64_t t = now();
        if (g_stopSignal) {
            log.text(t, "INFO", g_stopSignal == SIGINT ? "stop SIGINT" : "stop SIGTERM");
            break;
        }
        if (t >= hangupMs) {
            log.text(t, "INFO", "hangup");
            break;
        }
        if (t >= endMs) {
            log.text(t, "INFO", "end");
            break;
        }

        // What a reader wrote before it closed the line is still read. While the board is in
        // its bootloader the bytes go there instead of the command cutter.
        const std::vector<uint8_t> input = port.read();
        bool firmwareStarted = false;
        for (size_t pos = 0; pos < input.size();) {
            if (board.inBootloader()) {
                const size_t n = board.feedBootloader(input.data() + pos, input.size() - pos, t);
                log.text(t, "ISPRX", printable(input.data() + pos, n));
                pos += n;
                firmwareStarted = !board.inBootloader();
            } else if (board.entersBootloaderOn(input[pos]) && cutter.idle(t)) {
                handleCommands(t); // what came before the "?" reached the firmware
                log.text(t, "INFO", "bootloader entered");
                board.enterBootloader(t);
                ++pos;
            } else {
                cutter.feed(&input[pos], 1, t);
                ++pos;
            }
        }
        const bool connected = port.peerConnected();
        if (connected != peer) {
            peer = connected;
            if (!peer) {
                port.dropPending();
                port.resetLine();
                board.lineClosed();
            }
            log.text(t, "INFO", peer ? "peer open" : "peer closed");
            speed = -1;
        }
        if (peer) {
            // The bit rate the reader chose (after every open and at every change).
            const long current = lineSpeed(port.masterFd());
            if (current != speed && current >= 0)
                log.text(t, "INFO", "speed " + std::to_string(current));
            speed = current;
        }
        handleCommands(t);
        board.advance(t);
        for (const SimOutput& out : board.takeOutput()) {
            const SimPort::SendResult r = port.send(out.bytes);
            if (out.kind == SimOutput::Kind::Bootloader && r == SimPort::SendResult::Queued)
                log.text(t, sendTag(out.kind), printable(out.bytes.data(), out.bytes.size()));
            else
                log.bytes(t, r == SimPort::SendResult::Queued ? sendTag(out.kind) : "DROP",
                          out.bytes);
        }
        if (firmwareStarted)
            log.text(t, "INFO", "firmware started");
        if (board.takeFlashChanged() && !options.flashOutPath.empty() &&
            !saveFlash(options.flashOutPath, board.bootloader().flash(), error)) {
            log.text(t, "INFO", "flash not saved: " + error);
            std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
        }
        if (board.takeEepromChanged() && !options.eepromPath.empty() &&
            !board.eeprom().save(options.eepromPath, error)) {
            log.text(t, "INFO", "eeprom not saved: " + error);
            std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
        }
        port.flush(t);

        // Wait for input, writability, the next timed event or a signal.
        t = now();
        int64_t next = std::min({board.nextDueMs(), cutter.nextDeadlineMs(), hangupMs, endMs});
        pollfd pfd{peer ? port.masterFd() : -1, POLLIN, 0};
        if (port.hasPending()) {
            if (port.nextWriteMs() <= t)
                pfd.events |= POLLOUT;
            else
                next = std::min(next, port.nextWriteMs());
        }
        int64_t waitMs = std::clamp<int64_t>(next - t, 0, 1000);
        if (!peer)
            waitMs = std::min<int64_t>(waitMs, 20); // look for a new reader
        timespec ts{static_cast<time_t>(waitMs / 1000), static_cast<long>(waitMs % 1000) * 1000000};
        ppoll(&pfd, 1, &ts, &waitMask);
    }

    if (!options.linkPath.empty())
        removeLink(options.linkPath, port.slavePath());
    port.close();
    if (!options.eepromPath.empty() && !board.eeprom().save(options.eepromPath, error))
        std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
    if (!options.flashOutPath.empty() &&
        !saveFlash(options.flashOutPath, board.bootloader().flash(), error))
        std::fprintf(stderr, "dk61-sim: %s\n", error.c_str());
    return 0;
}
