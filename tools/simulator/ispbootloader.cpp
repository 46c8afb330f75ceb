#include "ispbootloader.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

constexpr size_t MaxLine = 256;

void append(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

void answer(Bytes& out, int code) {
    append(out, std::to_string(code) + "\r\n");
}

bool number(const std::string& text, uint32_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0 || v > 0xFFFFFFFFull)
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

// One value of a UU-encoded character ('`' stands for 0).
uint32_t sixBits(const std::string& line, size_t pos) {
    return pos < line.size() ? static_cast<uint32_t>(line[pos] - 0x20) & 0x3F : 0;
}

} // namespace

IspBootloader::IspBootloader() : m_flash(FlashSize, 0xFF), m_ram(RamSize, 0x00) {}

uint32_t IspBootloader::sectorSize(int sector) {
    return sector >= 8 && sector < 22 ? 32768 : 4096;
}

uint32_t IspBootloader::sectorStart(int sector) {
    uint32_t start = 0;
    for (int s = 0; s < sector; ++s)
        start += sectorSize(s);
    return start;
}

int IspBootloader::sectorOf(uint32_t address) {
    for (int s = 0; s < SectorCount; ++s)
        if (address < sectorStart(s) + sectorSize(s))
            return s;
    return -1;
}

void IspBootloader::restart() {
    m_step = Step::AwaitSync;
    m_echo = true;
    m_unlocked = false;
    m_prepared.fill(false);
    m_line.clear();
    m_writeLeft = 0;
}

size_t IspBootloader::feed(const uint8_t* data, size_t size, Bytes& reply) {
    size_t i = 0;
    while (i < size && m_step != Step::Running) {
        const uint8_t b = data[i++];
        const bool resync = m_step == Step::AwaitSyncLine && m_line.empty();
        if (m_step == Step::AwaitSync || (resync && b == '?')) {
            // Autobaud: only "?" is understood, and it is not echoed.
            if (b == '?') {
                append(reply, "Synchronized\r\n");
                m_step = Step::AwaitSyncLine;
                m_line.clear();
            }
            continue;
        }
        if (b == 0x11 || b == 0x13)
            continue; // XON/XOFF from the host's line discipline
        if (m_echo)
            reply.push_back(b);
        if (b == '\n') {
            std::string line;
            line.swap(m_line);
            onLine(line, reply);
        } else if (b != '\r' && m_line.size() < MaxLine) {
            m_line.push_back(static_cast<char>(b));
        }
    }
    return i;
}

void IspBootloader::onLine(const std::string& line, Bytes& reply) {
    switch (m_step) {
    case Step::AwaitSyncLine:
        if (line == "Synchronized") {
            append(reply, "OK\r\n");
            m_step = Step::AwaitCrystal;
        } else {
            m_step = Step::AwaitSync;
        }
        return;
    case Step::AwaitCrystal: {
        uint32_t kHz = 0;
        if (number(line, kHz) && kHz > 0) {
            append(reply, "OK\r\n");
            m_step = Step::Command;
        } else {
            m_step = Step::AwaitSync;
        }
        return;
    }
    case Step::Command: {
        std::vector<std::string> args;
        std::istringstream words(line);
        for (std::string w; words >> w;)
            args.push_back(w);
        if (!args.empty())
            onCommand(args, reply);
        return;
    }
    case Step::Data:
        onDataLine(line);
        return;
    case Step::Checksum:
        onChecksum(line, reply);
        return;
    case Step::AwaitSync:
    case Step::Running:
        return;
    }
}

void IspBootloader::onCommand(const std::vector<std::string>& args, Bytes& reply) {
    const std::string& c = args[0];
    uint32_t value = 0;
    if (c == "U") {
        if (args.size() != 2 || !number(args[1], value))
            return answer(reply, ParamError);
        m_unlocked = value == UnlockCode;
        return answer(reply, m_unlocked ? Success : InvalidCode);
    }
    if (c == "A") {
        if (args.size() != 2 || !number(args[1], value) || value > 1)
            return answer(reply, ParamError);
        m_echo = value == 1;
        return answer(reply, Success);
    }
    if (c == "J" && args.size() == 1) {
        answer(reply, Success);
        append(reply, std::to_string(PartId) + "\r\n");
        return;
    }
    if (c == "K" && args.size() == 1) {
        answer(reply, Success);
        append(reply, "2\r\n12\r\n"); // boot code 2.12
        return;
    }
    if (c == "P" || c == "E")
        return answer(reply, prepareOrErase(args, c == "E"));
    if (c == "W")
        return answer(reply, startWrite(args));
    if (c == "C")
        return answer(reply, copyToFlash(args));
    if (c == "M") {
        uint32_t mismatch = 0;
        const int code = compare(args, mismatch);
        answer(reply, code);
        if (code == CompareError)
            append(reply, std::to_string(mismatch) + "\r\n");
        return;
    }
    if (c == "G") {
        if (args.size() != 3 || !number(args[1], value) || (args[2] != "A" && args[2] != "T"))
            return answer(reply, ParamError);
        if (!m_unlocked)
            return answer(reply, CmdLocked);
        answer(reply, Success);
        m_step = Step::Running;
        return;
    }
    answer(reply, InvalidCommand);
}

int IspBootloader::prepareOrErase(const std::vector<std::string>& args, bool erase) {
    uint32_t first = 0, last = 0;
    if (args.size() != 3 || !number(args[1], first) || !number(args[2], last))
        return ParamError;
    if (first > last || last >= static_cast<uint32_t>(SectorCount))
        return InvalidSector;
    if (!erase) {
        for (uint32_t s = first; s <= last; ++s)
            m_prepared[s] = true;
        return Success;
    }
    if (!m_unlocked)
        return CmdLocked;
    for (uint32_t s = first; s <= last; ++s)
        if (!m_prepared[s])
            return SectorNotPrepared;
    const uint32_t begin = sectorStart(static_cast<int>(first));
    const uint32_t end = sectorStart(static_cast<int>(last)) + sectorSize(static_cast<int>(last));
    std::fill(m_flash.begin() + begin, m_flash.begin() + end, 0xFF);
    m_prepared.fill(false); // every erase locks the sectors again
    return Success;
}

int IspBootloader::startWrite(const std::vector<std::string>& args) {
    uint32_t address = 0, count = 0;
    if (args.size() != 3 || !number(args[1], address) || !number(args[2], count))
        return ParamError;
    if (address % 4 != 0)
        return AddrError;
    if (count % 4 != 0)
        return CountError;
    if (address < RamUserStart || address >= RamStart + RamSize ||
        count > RamStart + RamSize - address)
        return AddrNotMapped;
    m_writeAddress = m_blockAddress = address;
    m_writeLeft = m_blockLeft = count;
    m_blockSum = 0;
    m_blockLines = 0;
    if (count > 0)
        m_step = Step::Data;
    return Success;
}

void IspBootloader::onDataLine(const std::string& line) {
    const int count = line.empty() ? 0 : static_cast<int>(sixBits(line, 0));
    for (int k = 0; k < count; ++k) {
        const size_t pos = 1 + static_cast<size_t>(k / 3) * 4;
        const uint32_t group = sixBits(line, pos) << 18 | sixBits(line, pos + 1) << 12 |
                               sixBits(line, pos + 2) << 6 | sixBits(line, pos + 3);
        const auto byte = static_cast<uint8_t>(group >> (16 - 8 * (k % 3)));
        m_blockSum += byte;
        if (m_writeLeft > 0) {
            m_ram[m_writeAddress - RamStart] = byte;
            ++m_writeAddress;
            --m_writeLeft;
        }
    }
    if (++m_blockLines == LinesPerChecksum || m_writeLeft == 0)
        m_step = Step::Checksum;
}

void IspBootloader::onChecksum(const std::string& line, Bytes& reply) {
    uint32_t sum = 0;
    if (number(line, sum) && sum == m_blockSum) {
        append(reply, "OK\r\n");
        m_blockAddress = m_writeAddress;
        m_blockLeft = m_writeLeft;
        m_step = m_writeLeft == 0 ? Step::Command : Step::Data;
    } else {
        append(reply, "RESEND\r\n");
        m_writeAddress = m_blockAddress;
        m_writeLeft = m_blockLeft;
        m_step = Step::Data;
    }
    m_blockSum = 0;
    m_blockLines = 0;
}

int IspBootloader::copyToFlash(const std::vector<std::string>& args) {
    uint32_t dst = 0, src = 0, count = 0;
    if (args.size() != 4 || !number(args[1], dst) || !number(args[2], src) ||
        !number(args[3], count))
        return ParamError;
    if (!m_unlocked)
        return CmdLocked;
    if (dst % 256 != 0)
        return DstAddrError;
    if (src % 4 != 0)
        return SrcAddrError;
    if (count != 256 && count != 512 && count != 1024 && count != 4096)
        return CountError;
    if (dst >= FlashSize || count > FlashSize - dst)
        return DstAddrNotMapped;
    if (src < RamStart || src >= RamStart + RamSize || count > RamStart + RamSize - src)
        return SrcAddrNotMapped;
    for (int s = sectorOf(dst); s <= sectorOf(dst + count - 1); ++s)
        if (!m_prepared[static_cast<size_t>(s)])
            return SectorNotPrepared;
    // Programming can only clear bits: a cell that was not erased keeps its zeros.
    for (uint32_t i = 0; i < count; ++i)
        m_flash[dst + i] &= m_ram[src - RamStart + i];
    m_prepared.fill(false);
    return Success;
}

const uint8_t* IspBootloader::memory(uint32_t address, uint32_t count) const {
    if (address < FlashSize && count <= FlashSize - address)
        return m_flash.data() + address;
    if (address >= RamStart && address < RamStart + RamSize &&
        count <= RamStart + RamSize - address)
        return m_ram.data() + (address - RamStart);
    return nullptr;
}

int IspBootloader::compare(const std::vector<std::string>& args, uint32_t& mismatch) const {
    uint32_t a = 0, b = 0, count = 0;
    if (args.size() != 4 || !number(args[1], a) || !number(args[2], b) || !number(args[3], count))
        return ParamError;
    if (a % 4 != 0 || b % 4 != 0)
        return AddrError;
    if (count % 4 != 0)
        return CountError;
    const uint8_t* first = memory(a, count);
    const uint8_t* second = memory(b, count);
    if (!first || !second)
        return AddrNotMapped;
    const auto diff = std::mismatch(first, first + count, second);
    if (diff.first == first + count)
        return Success;
    mismatch = static_cast<uint32_t>(diff.first - first);
    return CompareError;
}
