#pragma once

#include "eepromimage.h"
#include "flagstream.h"
#include "framebuilder.h"
#include "ispbootloader.h"
#include "simoptions.h"
#include "simrandom.h"

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

// What the board hands to the line, in order.
struct SimOutput {
    enum class Kind { Frame, Garbage, DebugText, Bootloader };
    Kind kind = Kind::Frame;
    Bytes bytes;
};

// The simulated board(s): reacts to commands and to time, without any I/O. Times are
// milliseconds of one monotonic clock chosen by the caller.
class SimBoard {
public:
    enum class Play { Stopped, Playing, Paused };
    enum class Tray { Closed, Opening, Open, Closing };

    static constexpr int TrayTravelMs = 1000;
    static constexpr int DiscReadyMs = 1500;
    static constexpr int TickMs = 1000;
    static constexpr int PllMs = 1000;
    static constexpr int DebugTextMs = 5000;
    static constexpr int AdcNoise = 2;
    static constexpr int ServiceSteps = 14;
    static constexpr int WrongBoardMs = 500;

    SimBoard(const SimOptions& options, const EepromImage& eeprom, uint64_t seed);

    void start(int64_t nowMs);
    void handleCommand(const Bytes& command, int64_t nowMs);
    void advance(int64_t nowMs);
    int64_t nextDueMs() const; // INT64_MAX when nothing is scheduled
    std::vector<SimOutput> takeOutput();

    // The LPC bootloader: while the board is in it, received bytes go to feedBootloader
    // instead of the command cutter, and the firmware sends nothing.
    bool inBootloader() const { return m_inBootloader; }
    // A "?" that reaches the running firmware between commands restarts the board into its
    // bootloader (--isp); the "?" itself is not answered.
    bool entersBootloaderOn(uint8_t byte) const;
    void enterBootloader(int64_t nowMs);
    // Returns the bytes taken; after an accepted G the firmware restarts and takes the rest.
    size_t feedBootloader(const uint8_t* data, size_t size, int64_t nowMs);
    // The reader closed the line: a bootloader waits for "?" again.
    void lineClosed();
    const IspBootloader& bootloader() const { return m_bootloader; }
    bool takeFlashChanged();

    const EepromImage& eeprom() const { return m_eeprom; }
    bool takeEepromChanged();

    Play play() const { return m_play; }
    Tray tray() const { return m_tray; }
    bool discReady() const { return m_discReady; }
    int track() const { return m_track; }
    int64_t trackPositionMs() const { return m_positionMs; }
    int serviceStep() const { return m_serviceStep; }
    int flagInterval() const { return m_flags.interval(); }
    uint8_t loaderInUse() const { return m_loaderInUse; }
    int laserAdc() const; // the laser ADC value in use
    const Bytes& calibration() const { return m_calibration; }

    // Bytes that cannot start a frame the PC accepts (and are not debug text).
    static bool isRejectedCode(uint8_t byte);

private:
    void powerOn(int64_t nowMs);
    void emit(const Bytes& frame);
    void emitMemoryReply(const Bytes& frame, int64_t nowMs);
    void emitRaw(SimOutput::Kind kind, const Bytes& bytes);
    void updatePosition(int64_t nowMs);
    void startPlay(int64_t nowMs);
    void stopPlay();
    void changeTrack(int track);
    void handleDk61(const Bytes& c, int64_t nowMs);
    void handleMemoryRead(const Bytes& c, int64_t nowMs);
    void handleMemoryWrite(const Bytes& c, int64_t nowMs);
    void handleTray(bool open, int64_t nowMs);
    void handleService(const Bytes& c, int64_t nowMs);
    void setServiceStep(int step, int64_t nowMs);
    int discSeconds() const;

    SimOptions m_options;
    EepromImage m_eeprom;
    SimRandom m_random;
    FlagStream m_flags;
    std::vector<SimOutput> m_out;
    bool m_eepromChanged = false;

    Play m_play = Play::Stopped;
    Tray m_tray = Tray::Closed;
    bool m_discReady = true;
    int m_track = 1;
    int64_t m_positionMs = 0;
    int64_t m_lastUpdateMs = 0;
    int64_t m_tickDueMs = INT64_MAX;
    int64_t m_trayDueMs = INT64_MAX;
    int64_t m_discReadyDueMs = INT64_MAX;
    int64_t m_pllDueMs = INT64_MAX;
    int64_t m_debugDueMs = INT64_MAX;
    int64_t m_wrongBoardDueMs = INT64_MAX;
    int64_t m_laserDueMs = INT64_MAX;                // laser ADC stream at service step 1
    std::deque<std::pair<int64_t, Bytes>> m_delayed; // memory replies held back, in order
    int m_serviceStep = 0;                           // 0: not in service mode
    int m_laserOnCount = 0;                          // times service step 1 was entered
    int m_memoryWrites = 0;
    IspBootloader m_bootloader;
    bool m_inBootloader = false;
    bool m_flashChanged = false;
    uint8_t m_loaderInUse = 0;
    Bytes m_calibration = Bytes(3, 0x00); // reset, distance, timing values of 71 02
};
