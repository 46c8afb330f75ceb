#ifndef BOARDEVENTS_H
#define BOARDEVENTS_H

#include "flags/cflags.h"
#include "production/eepromlayout.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <variant>
#include <vector>

class MemorySequence;

// What a frame (or the start of an exchange) led to, besides the board state it changed: small
// event records the board turns into its signals and the window's updates.
namespace BoardEvent {
struct WriteRefused {}; // 0x98: the board refused an EEPROM write
struct PllState {       // 0xAA
    int state;
};
struct DiscCleared {};       // the disc went away: identifier and track cleared
struct FirmwareVersion {     // 0xA3
    bool identified = false; // the first since the link opened: the board named itself anew
};
struct LaserReading { // 0xB3 while no calibration point samples
    quint16 value;
};
struct SamplesSufficient { // a calibration point has its 1000 readings
    int point;
};
struct ModuleOff {}; // 0xB5
struct ServiceStep { // 0xC0, or -1 when service mode ended
    int step;
};
struct DiscId {};   // 0xC5
struct FlagStatus { // a 14-byte CFLAG record's status byte
    int error;
    bool fromFlagBoard;
};
struct FlagFirmware { // the flag board's firmware, shown once
    int version;
};
struct FlagRecord { // a new record; whoever applies it takes it over
    std::unique_ptr<CFlags> record;
    bool fromFlagBoard;
};
struct LoaderList {};       // 0xC7: possible_loaders replaced
struct LoaderFromEeprom {}; // the list arrived after the EEPROM named a loader
struct LoaderSelected {     // the announced loader is in the list
    quint8 code;
};
struct LoaderLabel { // the status bar's loader text
    QString text;
};
struct LoaderTypeOk {};   // 0xBD
struct LaserHistoryRead { // the history read is complete
    int runtime;
    int last_index;
};
struct ZeroByteRead { // the zero-hour byte arrived
    int value;
};
struct ZeroByteWritten { // the board showed the zero-hour byte it holds after a write
    bool written;        // it is the byte written
    QString text;
};
struct EepromStepConfirmed { // the programming run moved on: the number of its next step (9:
    int state;               // all verified); Failed: it ended without success, its text says why
    static constexpr int Failed = -1;
};
struct EepromBlockRead { // a block of the parameter image was read
    EepromLayout::Block block;
};
// The running memory exchange ended; `failure` says why when without its result.
struct MemoryExchangeOver {
    QString failure;
    const MemorySequence* sequence = nullptr;
};
struct TagPollDue {};         // ask for the tag of the current track soon
struct DisplayInfoChanged {}; // the board state the displays show may have changed
} // namespace BoardEvent

using BoardEventRecord = std::variant<
    BoardEvent::WriteRefused, BoardEvent::PllState, BoardEvent::DiscCleared,
    BoardEvent::FirmwareVersion, BoardEvent::LaserReading, BoardEvent::SamplesSufficient,
    BoardEvent::ModuleOff, BoardEvent::ServiceStep, BoardEvent::DiscId, BoardEvent::FlagStatus,
    BoardEvent::FlagFirmware, BoardEvent::FlagRecord, BoardEvent::LoaderList,
    BoardEvent::LoaderFromEeprom, BoardEvent::LoaderSelected, BoardEvent::LoaderLabel,
    BoardEvent::LoaderTypeOk, BoardEvent::LaserHistoryRead, BoardEvent::ZeroByteRead,
    BoardEvent::ZeroByteWritten, BoardEvent::EepromStepConfirmed, BoardEvent::EepromBlockRead,
    BoardEvent::MemoryExchangeOver, BoardEvent::TagPollDue, BoardEvent::DisplayInfoChanged>;

// What the decoder hands back for one frame: the requests to send, in order, and the events.
struct DecodeOutcome {
    QList<QByteArray> requests;
    std::vector<BoardEventRecord> events;

    void send(const QByteArray& request) { requests.append(request); }
    template <typename Event> void add(Event&& event) {
        events.emplace_back(std::forward<Event>(event));
    }
    // Records nobody took over are freed with their events.
    void clear() {
        if (!requests.isEmpty()) // clearing an empty QList still builds and drops one
            requests.clear();
        events.clear();
    }
    bool isEmpty() const { return requests.isEmpty() && events.empty(); }
};

#endif // BOARDEVENTS_H
