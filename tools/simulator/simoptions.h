#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Command-line configuration of the board simulator.
struct SimOptions {
    enum class Board { Flag, Dk61, Both };
    enum class ParseResult { Ok, Help, Error };

    Board board = Board::Flag;
    std::string linkPath;
    std::string logPath;
    std::string eepromPath;

    // Flag board: mean counts per record.
    double c1 = 12.0;
    double c1u = 1.0;
    double c2 = 2.0;
    double c2u = 0.0;
    double interp = 0.0;
    uint64_t seed = 0;
    bool seedGiven = false;
    int flagError = 0;
    int flagFw = 3;
    bool frame8 = false;
    bool a9 = false;
    int startInterval = 0;     // 0: wait for A1..A3
    bool holdInterval = false; // A1..A3 do not change the interval

    // DK-61 board.
    int fw = 60;
    bool refuseWrites = false;
    int baudFlag = 0xFF;
    bool baudFlagGiven = false;
    std::vector<uint8_t> loaders{0x01, 0x02, 0x42, 0x82};
    int loader = 0x42;
    bool loaderGiven = false;
    int laserAdc = 500;
    int tracks = 12;
    int trackSeconds = 240;
    uint32_t discId = 0x1234ABCDu;
    bool playing = false;
    bool pll = false;

    // Faults.
    double garbageRate = 0.0;
    int garbageMax = 4;
    int chunk = 0;
    bool debugText = false;
    double hangupAfter = 0.0; // seconds, 0: never
    double duration = 0.0;    // seconds, 0: until stopped

    bool streamsFlags() const { return board != Board::Dk61; }
    bool isDk61() const { return board != Board::Flag; }

    // Fills `out` from the arguments (argv[0] is skipped). On Error, `error` names the problem.
    static ParseResult parse(int argc, const char* const* argv, SimOptions& out,
                             std::string& error);
    static std::string usage();
};
