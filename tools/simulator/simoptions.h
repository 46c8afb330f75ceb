#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Command-line configuration of the board simulator.
struct SimOptions {
    enum class Board { Flag, Dk61, Both };
    enum class ParseResult { Ok, Help, Version, Error };

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
    bool exactCounts = false; // the counts as given in every record, no Poisson variation
    double timeLapse = 1.0;   // records this many times as often as their interval
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
    bool loadersGiven = false;
    int loader = 0x42;
    bool loaderGiven = false;
    int laserAdc = 500;                   // the first of laserAdcValues
    std::vector<int> laserAdcValues{500}; // the next one each time service step 1 is entered again
    int laserStreamMs = 20;               // 0xB3 interval at service step 1 (laser on); 0: none
    int tracks = 12;
    int trackSeconds = 240;
    uint32_t discId = 0x1234ABCDu;
    bool playing = false;
    bool pll = false;

    // Bootloader.
    bool isp = false;          // a "?" between commands restarts the board into its bootloader
    bool inBootloader = false; // start in the bootloader
    std::string flashOutPath;

    // Faults.
    bool silent = false;            // nothing is ever sent
    bool wrongBoard = false;        // another board: no A3, only B3/B4 every WrongBoardMs
    int memoryDelayMs = 0;          // memory replies (99, 98) come this late
    int refuseWrite = 0;            // the n-th memory write is answered with 98 00 (0: none)
    int corruptReadback = 0;        // the n-th memory write reads back with its first byte inverted
    int unansweredRead = -1;        // memory reads whose block holds this address go unanswered
    int corruptAddress = -1;        // the cell at this address stores every byte written inverted
    bool unerasableHistory = false; // writes to the laser history rows are answered, not stored
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
