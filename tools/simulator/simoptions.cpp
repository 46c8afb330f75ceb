#include "simoptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>

namespace {

bool toLong(const std::string& text, long long min, long long max, long long& value) {
    if (text.empty())
        return false;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.c_str() + (hex ? 2 : 0);
    if (*begin == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(begin, &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || v < min || v > max)
        return false;
    value = v;
    return true;
}

bool toHexByte(const std::string& text, uint8_t& value) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 2)
        return false;
    char* end = nullptr;
    const long v = std::strtol(digits.c_str(), &end, 16);
    if (*end != '\0')
        return false;
    value = static_cast<uint8_t>(v);
    return true;
}

// An EEPROM address: one to four hexadecimal digits, 0x allowed.
bool toAddress(const std::string& text, int& value) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 4 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = static_cast<int>(std::strtol(digits.c_str(), nullptr, 16));
    return true;
}

bool toDouble(const std::string& text, double min, double max, double& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(v >= min && v <= max))
        return false;
    value = v;
    return true;
}

} // namespace

SimOptions::ParseResult SimOptions::parse(int argc, const char* const* argv, SimOptions& out,
                                          std::string& error) {
    using Setter = std::function<bool(const std::string&)>;
    auto intOpt = [](int& target, long long min, long long max) {
        return Setter([&target, min, max](const std::string& v) {
            long long n = 0;
            if (!toLong(v, min, max, n))
                return false;
            target = static_cast<int>(n);
            return true;
        });
    };
    auto doubleOpt = [](double& target, double min, double max) {
        return Setter(
            [&target, min, max](const std::string& v) { return toDouble(v, min, max, target); });
    };
    auto stringOpt = [](std::string& target) {
        return Setter([&target](const std::string& v) {
            target = v;
            return !v.empty();
        });
    };

    const std::map<std::string, Setter> valued{
        {"--link", stringOpt(out.linkPath)},
        {"--log", stringOpt(out.logPath)},
        {"--eeprom", stringOpt(out.eepromPath)},
        {"--board",
         [&out](const std::string& v) {
             if (v == "flag")
                 out.board = Board::Flag;
             else if (v == "dk61")
                 out.board = Board::Dk61;
             else if (v == "both")
                 out.board = Board::Both;
             else
                 return false;
             return true;
         }},
        {"--c1", doubleOpt(out.c1, 0, 65535)},
        {"--c1u", doubleOpt(out.c1u, 0, 65535)},
        {"--c2", doubleOpt(out.c2, 0, 65535)},
        {"--c2u", doubleOpt(out.c2u, 0, 65535)},
        {"--interp", doubleOpt(out.interp, 0, 65535)},
        {"--time-lapse", doubleOpt(out.timeLapse, 1, 1000)},
        {"--seed",
         [&out](const std::string& v) {
             long long n = 0;
             if (!toLong(v, 0, INT64_MAX, n))
                 return false;
             out.seed = static_cast<uint64_t>(n);
             out.seedGiven = true;
             return true;
         }},
        {"--flag-error", intOpt(out.flagError, 0, 2)},
        {"--flag-fw", intOpt(out.flagFw, 0, 255)},
        {"--start-interval", intOpt(out.startInterval, 1, 3)},
        {"--fw", intOpt(out.fw, 0, 255)},
        {"--baud-flag",
         [&out](const std::string& v) {
             long long n = 0;
             if (!toLong(v, 0, 255, n))
                 return false;
             out.baudFlag = static_cast<int>(n);
             out.baudFlagGiven = true;
             return true;
         }},
        {"--loaders",
         [&out](const std::string& v) {
             std::vector<uint8_t> codes;
             size_t pos = 0;
             while (pos <= v.size() && !v.empty()) {
                 const size_t comma = v.find(',', pos);
                 const std::string item =
                     v.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
                 uint8_t code = 0;
                 if (!toHexByte(item, code))
                     return false;
                 codes.push_back(code);
                 if (comma == std::string::npos)
                     break;
                 pos = comma + 1;
             }
             if (codes.size() > 127)
                 return false;
             out.loaders = codes;
             out.loadersGiven = true;
             return true;
         }},
        {"--loader",
         [&out](const std::string& v) {
             uint8_t code = 0;
             if (!toHexByte(v, code))
                 return false;
             out.loader = code;
             out.loaderGiven = true;
             return true;
         }},
        {"--laser-adc",
         [&out](const std::string& v) {
             std::vector<int> values;
             size_t pos = 0;
             for (;;) {
                 const size_t comma = v.find(',', pos);
                 long long n = 0;
                 if (!toLong(v.substr(pos,
                                      comma == std::string::npos ? std::string::npos : comma - pos),
                             0, 65535, n))
                     return false;
                 values.push_back(static_cast<int>(n));
                 if (comma == std::string::npos)
                     break;
                 pos = comma + 1;
             }
             out.laserAdcValues = values;
             out.laserAdc = values.front();
             return true;
         }},
        {"--laser-stream", intOpt(out.laserStreamMs, 0, 60000)},
        {"--memory-delay", intOpt(out.memoryDelayMs, 0, 60000)},
        {"--refuse-write", intOpt(out.refuseWrite, 1, 1000000)},
        {"--corrupt-readback", intOpt(out.corruptReadback, 1, 1000000)},
        {"--unanswered-read",
         [&out](const std::string& v) { return toAddress(v, out.unansweredRead); }},
        {"--corrupt-address",
         [&out](const std::string& v) { return toAddress(v, out.corruptAddress); }},
        {"--flash-out", stringOpt(out.flashOutPath)},
        {"--tracks", intOpt(out.tracks, 1, 99)},
        {"--track-seconds", intOpt(out.trackSeconds, 1, 3600)},
        {"--disc-id",
         [&out](const std::string& v) {
             std::string digits = v;
             if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
                 digits = digits.substr(2);
             if (digits.empty() || digits.size() > 8)
                 return false;
             char* end = nullptr;
             const unsigned long id = std::strtoul(digits.c_str(), &end, 16);
             if (*end != '\0')
                 return false;
             out.discId = static_cast<uint32_t>(id);
             return true;
         }},
        {"--garbage", doubleOpt(out.garbageRate, 0, 1)},
        {"--garbage-max", intOpt(out.garbageMax, 1, 64)},
        {"--chunk", intOpt(out.chunk, 1, 4096)},
        {"--hangup-after", doubleOpt(out.hangupAfter, 0.001, 1e7)},
        {"--duration", doubleOpt(out.duration, 0.001, 1e7)},
    };
    const std::map<std::string, bool*> flags{
        {"--frame8", &out.frame8},
        {"--exact", &out.exactCounts},
        {"--a9", &out.a9},
        {"--refuse-writes", &out.refuseWrites},
        {"--playing", &out.playing},
        {"--pll", &out.pll},
        {"--debug-text", &out.debugText},
        {"--hold-interval", &out.holdInterval},
        {"--silent", &out.silent},
        {"--wrong-board", &out.wrongBoard},
        {"--isp", &out.isp},
        {"--in-bootloader", &out.inBootloader},
        {"--unerasable-history", &out.unerasableHistory},
    };

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return ParseResult::Help;
        if (arg == "--version")
            return ParseResult::Version;
        std::string value;
        bool hasValue = false;
        const size_t eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        const auto flag = flags.find(arg);
        if (flag != flags.end()) {
            if (hasValue) {
                error = "option " + arg + " takes no value";
                return ParseResult::Error;
            }
            *flag->second = true;
            continue;
        }
        const auto setter = valued.find(arg);
        if (setter == valued.end()) {
            error = "unknown option " + arg;
            return ParseResult::Error;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = "option " + arg + " needs a value";
                return ParseResult::Error;
            }
            value = argv[++i];
        }
        if (!setter->second(value)) {
            error = "bad value '" + value + "' for " + arg;
            return ParseResult::Error;
        }
    }

    out.isp = out.isp || out.inBootloader;
    if ((out.isp || !out.flashOutPath.empty()) && !out.isDk61()) {
        error = "the bootloader is the DK-61 board's: --isp, --in-bootloader and --flash-out "
                "need --board dk61 or both";
        return ParseResult::Error;
    }
    // The loader in use is one the board supports, unless the list was given.
    if (out.loaderGiven && !out.loadersGiven &&
        std::find(out.loaders.begin(), out.loaders.end(), out.loader) == out.loaders.end())
        out.loaders.push_back(static_cast<uint8_t>(out.loader));
    return ParseResult::Ok;
}

std::string SimOptions::usage() {
    return R"(Usage: dk61-sim [options]

Simulates the DK-61 board and/or the flag board at the far end of a serial line.
Opens a pseudo-terminal, prints the path of its slave (or of --link) on stdout and
serves it until SIGINT/SIGTERM, --duration or --hangup-after. The tool takes the
line for a USB-UART bridge when DK61_VIRTUAL_PORTS names it (several paths are
separated by colons):

  dk61-sim --link /tmp/dk61 &
  DK61_VIRTUAL_PORTS=/tmp/dk61 dk61-pc-tool

General:
  --link PATH          create a symlink PATH to the slave (an existing symlink is replaced)
  --board KIND         flag (default), dk61, or both (DK-61 that also streams CFLAG frames)
  --log FILE           one line per frame sent ("<s.ms> TX C6 0C ..") and command received
                       ("<s.ms> RX A1"); also GARBAGE, TEXT, DROP, RXBAD and INFO lines
  --seed N             seed of the random numbers (default: random)
  --help               this text
  --version            the version of the simulator (that of the tool it comes with)

Flag board:
  --c1 X --c1u X --c2 X --c2u X --interp X
                       mean flag counts per second (Poisson variation; defaults 12 1 2 0 0);
                       a record of 170 ms or 30 ms carries that share of them
  --exact              no variation: whole counts that add up to the counts above in every
                       second (a fraction left in one record goes to the next)
  --time-lapse F       records come F times as often as their interval (1..1000; the frames
                       still name the interval): a 12 s run at 1 s in 0.6 s with F = 20
  --flag-error N       error nibble of the status byte: 0 none, 1 SPDIF, 2 CFLAG (default 0)
  --flag-fw N          firmware version byte of the 14-byte frame (default 3)
  --frame8             send 8-byte frames (8-bit counts, no status) instead of 14-byte ones
  --a9                 use code 0xA9 instead of 0xC6
  --start-interval N   stream with interval N (1: 1 s, 2: 170 ms, 3: 30 ms) without
                       waiting for A1/A2/A3
  --hold-interval      keep the interval: A1/A2/A3 do not change it (the tool asks for 1 s
                       when it connects; long runs at --start-interval 3 need this)

DK-61 board:
  --fw N               firmware version answered to A1 and 2D 00 (default 60)
  --eeprom FILE        load the 16 KiB EEPROM image from FILE if it exists, save it there
                       after every accepted write
  --refuse-writes      answer memory writes with 98 00
  --baud-flag N        baud-rate flag of the settings block (0x01: 115200, else 128000;
                       default 0xFF)
  --loaders LIST       loader codes answered to 70 00, hex, comma separated (default
                       01,02,42,82)
  --loader HEX         loader code in use: announced with BD and stored at EEPROM 0x2104
                       (also in an --eeprom file); added to the default list if missing
                       (default 42; 82 is the DK-Tria tray loader with the Sanyo HD850)
  --laser-adc N[,N..]  laser ADC value, +-2 noise, answered to 54 00 and streamed at
                       service step 1; with a list, every later entry into step 1 takes
                       the next value (default 500)
  --laser-stream MS    while service mode is at step 1 (laser on) send B3 02 hi lo every
                       MS ms (default 20; 0: only on request)
  --tracks N           number of tracks on the disc (default 12)
  --track-seconds N    length of every track (default 240)
  --disc-id HEX        disc identifier answered to 24 00 (default 1234ABCD)
  --playing            start in play (status tick A0 01 01 every second)
  --pll                send AA 01 01 every second

Bootloader (LPC2138, as Debian's lpc21isp speaks to it):
  --isp                a "?" reaching the running firmware between commands restarts the
                       board into its serial bootloader; G restarts the firmware
  --in-bootloader      start in the bootloader (implies --isp)
  --flash-out FILE     write the 512000-byte flash image to FILE after every G and at exit

Faults:
  --silent             nothing is ever sent (commands are still taken and logged)
  --wrong-board        not the DK-61: never answers; sends B3 02 hi lo and B4 00 every 500 ms
  --memory-delay MS    send memory replies (99, 98) MS ms late
  --refuse-write N     answer the N-th memory write (counted from the start) with 98 00
  --corrupt-readback N the N-th memory write stores and reads back its first byte inverted
  --unanswered-read HEX
                       do not answer memory reads whose block holds address HEX
  --corrupt-address HEX
                       the EEPROM cell at HEX stores every byte written to it inverted
  --unerasable-history writes to the laser history rows (0x2200..0x31FF) are answered as
                       usual but not stored: the rows read back as they were
  --garbage RATE       probability per frame of 1..--garbage-max (default 4) random bytes
                       that cannot start a frame, sent before it
  --chunk N            split every write into chunks of N bytes, 1 ms apart
  --debug-text         send a 0xCC debug text every 5 s
  --hangup-after S     after S seconds close the line and exit 0 (adapter unplugged)
  --duration S         stop after S seconds

Numbers are decimal or 0x-prefixed hexadecimal; loader codes and the disc id are hex.
)";
}
