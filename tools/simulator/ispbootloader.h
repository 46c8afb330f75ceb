#pragma once

#include "framebuilder.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The serial bootloader in the boot block of the board's LPC2138, as far as an ISP tool uses
// it: autobaud synchronisation ("?", "Synchronized", the crystal), echo, unlock, part and boot
// code identification, prepare, erase, write to RAM in UU-encoded lines with a checksum every
// 20 lines, copy RAM to flash, compare and go. Commands are lines ending in LF (a CR before it
// is dropped); every answer line ends in CR LF. No I/O: bytes in, bytes out.
class IspBootloader {
public:
    enum class Step { AwaitSync, AwaitSyncLine, AwaitCrystal, Command, Data, Checksum, Running };

    // Return codes of the bootloader.
    enum Code {
        Success = 0,
        InvalidCommand = 1,
        SrcAddrError = 2,
        DstAddrError = 3,
        SrcAddrNotMapped = 4,
        DstAddrNotMapped = 5,
        CountError = 6,
        InvalidSector = 7,
        SectorNotPrepared = 9,
        CompareError = 10,
        ParamError = 12,
        AddrError = 13,
        AddrNotMapped = 14,
        CmdLocked = 15,
        InvalidCode = 16,
    };

    static constexpr uint32_t PartId = 0x0002FF25; // LPC2138: 512 KiB flash, 32 KiB RAM
    static constexpr int SectorCount = 27;         // 8 x 4 KiB, 14 x 32 KiB, 5 x 4 KiB
    static constexpr uint32_t FlashSize = 512000;  // the sectors; the boot block lies above
    static constexpr uint32_t RamStart = 0x40000000;
    static constexpr uint32_t RamSize = 32 * 1024;
    static constexpr uint32_t RamUserStart = RamStart + 0x200; // below: the bootloader's own
    static constexpr uint32_t UnlockCode = 23130;
    static constexpr int LinesPerChecksum = 20;

    IspBootloader();

    // Back to waiting for "?", as after a reset into the bootloader: echo on, locked, nothing
    // prepared. Flash and RAM keep their contents.
    void restart();
    // Takes received bytes and appends what the bootloader sends to `reply`. Stops right after
    // an accepted G command (the board then runs its firmware); returns the bytes taken.
    size_t feed(const uint8_t* data, size_t size, Bytes& reply);
    Step step() const { return m_step; }
    bool running() const { return m_step == Step::Running; }
    const Bytes& flash() const { return m_flash; }

    static uint32_t sectorStart(int sector);
    static uint32_t sectorSize(int sector);
    static int sectorOf(uint32_t address); // -1 outside the flash

private:
    void onLine(const std::string& line, Bytes& reply);
    void onCommand(const std::vector<std::string>& args, Bytes& reply);
    void onDataLine(const std::string& line);
    void onChecksum(const std::string& line, Bytes& reply);
    int prepareOrErase(const std::vector<std::string>& args, bool erase);
    int copyToFlash(const std::vector<std::string>& args);
    int compare(const std::vector<std::string>& args, uint32_t& mismatch) const;
    int startWrite(const std::vector<std::string>& args);
    // The bytes of [address, address + count) in flash or RAM, or nullptr when not mapped.
    const uint8_t* memory(uint32_t address, uint32_t count) const;

    Step m_step = Step::AwaitSync;
    bool m_echo = true;
    bool m_unlocked = false;
    std::array<bool, SectorCount> m_prepared{};
    std::string m_line;
    Bytes m_flash;
    Bytes m_ram;

    // Write to RAM in progress; the block since the last checksum is resent after RESEND.
    uint32_t m_writeAddress = 0;
    uint32_t m_writeLeft = 0;
    uint32_t m_blockAddress = 0;
    uint32_t m_blockLeft = 0;
    uint32_t m_blockSum = 0;
    int m_blockLines = 0;
};
