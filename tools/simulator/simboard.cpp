#include "simboard.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

FlagStream::Config flagConfig(const SimOptions& o) {
    FlagStream::Config c;
    c.c1 = o.c1;
    c.c1u = o.c1u;
    c.c2 = o.c2;
    c.c2u = o.c2u;
    c.interp = o.interp;
    c.exact = o.exactCounts;
    c.timeLapse = o.timeLapse;
    c.error = o.flagError;
    c.fw = static_cast<uint8_t>(o.flagFw);
    c.frame8 = o.frame8;
    c.a9 = o.a9;
    return c;
}

uint16_t address(const Bytes& c) {
    return static_cast<uint16_t>((c[2] << 8) | c[3]);
}

// Largest block that fits one reply: the length byte (count + 3) must stay below 0x80.
constexpr int MaxBlock = 124;

} // namespace

SimBoard::SimBoard(const SimOptions& options, const EepromImage& eeprom, uint64_t seed)
    : m_options(options), m_eeprom(eeprom), m_random(seed), m_flags(flagConfig(options)) {
    m_loaderInUse = m_eeprom.at(EepromImage::LoaderCodeAddress);
}

bool SimBoard::isRejectedCode(uint8_t b) {
    if (b == 0xCC)
        return false;
    if (b == 0x98 || b == 0x99)
        return false;
    if (b >= 0xA0 && b <= 0xAF)
        return false;
    if (b >= 0xB1 && b <= 0xB8)
        return false;
    if (b >= 0xBA && b <= 0xBE)
        return false;
    if (b >= 0xC0 && b <= 0xCB)
        return false;
    if (b == 0xCD)
        return false;
    return true;
}

void SimBoard::start(int64_t nowMs) {
    powerOn(nowMs);
    if (m_options.inBootloader)
        enterBootloader(nowMs);
}

void SimBoard::powerOn(int64_t nowMs) {
    m_lastUpdateMs = nowMs;
    m_loaderInUse = m_eeprom.at(EepromImage::LoaderCodeAddress);
    if (m_options.streamsFlags() && m_options.startInterval > 0)
        m_flags.setInterval(m_options.startInterval, nowMs);
    if (m_options.isDk61()) {
        if (m_options.playing)
            startPlay(nowMs);
        if (m_options.pll)
            m_pllDueMs = nowMs + PllMs;
        if (m_options.wrongBoard)
            m_wrongBoardDueMs = nowMs + WrongBoardMs;
    }
    if (m_options.debugText)
        m_debugDueMs = nowMs + DebugTextMs;
}

bool SimBoard::entersBootloaderOn(uint8_t byte) const {
    return byte == '?' && m_options.isp && !m_inBootloader;
}

void SimBoard::enterBootloader(int64_t nowMs) {
    updatePosition(nowMs);
    m_inBootloader = true;
    m_bootloader.restart();
    // The firmware stops where it is; a moving tray ends its travel.
    stopPlay();
    if (m_tray == Tray::Opening)
        m_tray = Tray::Open;
    if (m_tray == Tray::Closing) {
        m_tray = Tray::Closed;
        m_discReady = true;
    }
    m_serviceStep = 0;
    m_flags.setInterval(0, nowMs);
    m_trayDueMs = m_discReadyDueMs = m_pllDueMs = m_debugDueMs = INT64_MAX;
    m_wrongBoardDueMs = m_laserDueMs = INT64_MAX;
    m_delayed.clear();
}

size_t SimBoard::feedBootloader(const uint8_t* data, size_t size, int64_t nowMs) {
    if (!m_inBootloader)
        return 0;
    SimOutput out;
    out.kind = SimOutput::Kind::Bootloader;
    const size_t taken = m_bootloader.feed(data, size, out.bytes);
    if (!out.bytes.empty() && !m_options.silent)
        m_out.push_back(std::move(out));
    if (m_bootloader.running()) {
        // G: the board runs its (new) firmware, as after a power-on.
        m_inBootloader = false;
        m_flashChanged = true;
        powerOn(nowMs);
    }
    return taken;
}

void SimBoard::lineClosed() {
    if (m_inBootloader)
        m_bootloader.restart();
}

bool SimBoard::takeFlashChanged() {
    const bool changed = m_flashChanged;
    m_flashChanged = false;
    return changed;
}

int SimBoard::laserAdc() const {
    const std::vector<int>& values = m_options.laserAdcValues;
    if (values.empty())
        return m_options.laserAdc;
    const int index = std::max(m_laserOnCount - 1, 0) % static_cast<int>(values.size());
    return values[static_cast<size_t>(index)];
}

void SimBoard::emitRaw(SimOutput::Kind kind, const Bytes& bytes) {
    if (m_options.silent)
        return;
    // Garbage goes between frames only; debug text must begin its own transmission.
    if (kind == SimOutput::Kind::Frame && m_options.garbageRate > 0.0 &&
        m_random.chance(m_options.garbageRate)) {
        SimOutput garbage;
        garbage.kind = SimOutput::Kind::Garbage;
        const int n = m_random.range(1, m_options.garbageMax);
        while (static_cast<int>(garbage.bytes.size()) < n) {
            const auto b = static_cast<uint8_t>(m_random.range(0, 255));
            if (isRejectedCode(b))
                garbage.bytes.push_back(b);
        }
        m_out.push_back(std::move(garbage));
    }
    m_out.push_back({kind, bytes});
}

void SimBoard::emit(const Bytes& frame) {
    emitRaw(SimOutput::Kind::Frame, frame);
}

void SimBoard::emitMemoryReply(const Bytes& frame, int64_t nowMs) {
    if (m_options.memoryDelayMs > 0)
        m_delayed.emplace_back(nowMs + m_options.memoryDelayMs, frame);
    else
        emit(frame);
}

std::vector<SimOutput> SimBoard::takeOutput() {
    std::vector<SimOutput> out;
    out.swap(m_out);
    return out;
}

bool SimBoard::takeEepromChanged() {
    const bool changed = m_eepromChanged;
    m_eepromChanged = false;
    return changed;
}

int SimBoard::discSeconds() const {
    return (m_track - 1) * m_options.trackSeconds + static_cast<int>(m_positionMs / 1000);
}

void SimBoard::updatePosition(int64_t nowMs) {
    if (m_play == Play::Playing && nowMs > m_lastUpdateMs) {
        m_positionMs += nowMs - m_lastUpdateMs;
        const int64_t trackMs = static_cast<int64_t>(m_options.trackSeconds) * 1000;
        while (m_play == Play::Playing && m_positionMs >= trackMs) {
            if (m_track >= m_options.tracks) {
                stopPlay(); // end of the disc
                break;
            }
            m_positionMs -= trackMs;
            ++m_track;
            emit(FrameBuilder::statusEvent(0x02));
        }
    }
    m_lastUpdateMs = nowMs;
}

void SimBoard::startPlay(int64_t nowMs) {
    if (!m_discReady || m_tray != Tray::Closed || m_serviceStep != 0)
        return;
    if (m_play == Play::Playing)
        return;
    const bool fresh = m_play == Play::Stopped;
    m_play = Play::Playing;
    m_lastUpdateMs = nowMs;
    m_tickDueMs = nowMs + TickMs;
    if (fresh)
        emit(FrameBuilder::statusEvent(0x02)); // playback starts on a track
}

void SimBoard::stopPlay() {
    m_play = Play::Stopped;
    m_positionMs = 0;
    m_tickDueMs = INT64_MAX;
}

void SimBoard::changeTrack(int track) {
    m_track = std::clamp(track, 1, m_options.tracks);
    m_positionMs = 0;
    emit(FrameBuilder::statusEvent(0x02));
}

void SimBoard::handleCommand(const Bytes& c, int64_t nowMs) {
    if (c.empty() || m_inBootloader)
        return;
    updatePosition(nowMs);
    if (m_options.wrongBoard)
        return; // not the DK-61: it does not know these commands
    const uint8_t code = c[0];
    if (code >= 0xA0 && code <= 0xAF) {
        const int n = code & 0x0F;
        if (m_options.isDk61() && n == 1)
            emit(FrameBuilder::fwVersion(static_cast<uint8_t>(m_options.fw)));
        if (m_options.streamsFlags() && n >= 1 && n <= 3 && !m_options.holdInterval)
            m_flags.setInterval(n, nowMs);
        return;
    }
    if (m_options.isDk61())
        handleDk61(c, nowMs);
}

void SimBoard::handleDk61(const Bytes& c, int64_t nowMs) {
    const uint8_t code = c[0];
    const size_t n = c.size();
    switch (code) {
    case 0x62:
        handleMemoryRead(c, nowMs);
        break;
    case 0x60:
        handleMemoryWrite(c, nowMs);
        break;
    case 0x70:
        emit(FrameBuilder::loaderList(m_options.loaders));
        emit(FrameBuilder::loaderInUse(m_loaderInUse));
        break;
    case 0x65:
        if (n >= 3) {
            m_loaderInUse = c[2];
            emit(FrameBuilder::loaderInUse(m_loaderInUse));
        }
        break;
    case 0x2D:
        emit(FrameBuilder::fwVersion(static_cast<uint8_t>(m_options.fw)));
        break;
    case 0x27:
        emit(FrameBuilder::currentTrack(0x01, static_cast<uint8_t>(m_discReady ? m_track : 0)));
        break;
    case 0x28: {
        const uint8_t which = n >= 3 ? c[2] : 0x00;
        const int seconds = which == 0x01 ? discSeconds() : static_cast<int>(m_positionMs / 1000);
        emit(FrameBuilder::currentTime(which, seconds / 60, seconds % 60));
        break;
    }
    case 0x54: {
        const int value = laserAdc() + m_random.range(-AdcNoise, AdcNoise);
        emit(FrameBuilder::adcReading(static_cast<unsigned>(std::clamp(value, 0, 0xFFFF))));
        break;
    }
    case 0x24:
        emit(FrameBuilder::discId(m_discReady ? m_options.discId : 0u));
        break;
    case 0x21:
        emit(FrameBuilder::discContents(m_discReady ? m_options.tracks : 0,
                                        m_discReady ? m_options.tracks * m_options.trackSeconds
                                                    : 0));
        break;
    case 0x11:
        startPlay(nowMs);
        break;
    case 0x12:
        // 12 04 folder track FF mode
        if (n >= 4 && m_discReady && m_tray == Tray::Closed && m_serviceStep == 0 && c[3] >= 1 &&
            c[3] <= m_options.tracks) {
            if (m_play != Play::Playing)
                startPlay(nowMs);
            if (c[3] != m_track || m_positionMs != 0)
                changeTrack(c[3]);
        }
        break;
    case 0x13:
        if (m_play == Play::Playing) {
            m_play = Play::Paused;
            m_tickDueMs = INT64_MAX;
        }
        break;
    case 0x14:
        stopPlay();
        break;
    case 0x15:
        if (m_discReady && m_track < m_options.tracks)
            changeTrack(m_track + 1);
        break;
    case 0x16:
        if (m_discReady)
            changeTrack(m_track - 1);
        break;
    case 0x31:
        handleTray(true, nowMs);
        break;
    case 0x32:
        handleTray(false, nowMs);
        break;
    case 0x57:
    case 0x58:
    case 0x59:
    case 0x5A:
        handleService(c, nowMs);
        break;
    case 0x71:
        // 71 02 sub value: 00 reset, 01 brake distance, 02 timing
        if (n >= 4 && c[2] <= 0x02)
            m_calibration[c[2]] = c[3];
        break;
    default:
        break; // not answered
    }
}

void SimBoard::handleMemoryRead(const Bytes& c, int64_t nowMs) {
    const int count = c[1];
    const int addr = address(c);
    if (count == 0 || count > MaxBlock || !m_eeprom.contains(addr, count))
        return;
    const int lost = m_options.unansweredRead;
    if (lost >= addr && lost < addr + count)
        return;
    emitMemoryReply(
        FrameBuilder::memoryReply(static_cast<uint16_t>(addr), m_eeprom.read(addr, count)), nowMs);
}

void SimBoard::handleMemoryWrite(const Bytes& c, int64_t nowMs) {
    const int count = c[1];
    const int addr = address(c);
    const int nth = ++m_memoryWrites;
    if (m_options.refuseWrites || nth == m_options.refuseWrite || count == 0 || count > MaxBlock ||
        !m_eeprom.contains(addr, count)) {
        emitMemoryReply(FrameBuilder::writeRefused(), nowMs);
        return;
    }
    Bytes data(c.begin() + 4, c.end());
    if (nth == m_options.corruptReadback)
        data[0] = static_cast<uint8_t>(~data[0]); // a cell that did not take the value
    const int bad = m_options.corruptAddress - addr;
    if (bad >= 0 && bad < static_cast<int>(data.size()))
        data[static_cast<size_t>(bad)] = static_cast<uint8_t>(~data[static_cast<size_t>(bad)]);
    const int page = addr >> 8;
    if (!m_options.unerasableHistory || page < EepromImage::FirstHistoryPage ||
        page > EepromImage::LastHistoryPage) {
        m_eeprom.write(addr, data);
        m_eepromChanged = true;
    }
    emitMemoryReply(
        FrameBuilder::memoryReply(static_cast<uint16_t>(addr), m_eeprom.read(addr, count)), nowMs);
}

void SimBoard::handleTray(bool open, int64_t nowMs) {
    if (m_serviceStep != 0) {
        emit(FrameBuilder::trayState(0xB7)); // mechanism busy: state unknown
        return;
    }
    if (open) {
        switch (m_tray) {
        case Tray::Open:
            emit(FrameBuilder::trayState(0xB1));
            return;
        case Tray::Opening:
            return;
        case Tray::Closed:
        case Tray::Closing:
            stopPlay();
            m_discReady = false;
            m_discReadyDueMs = INT64_MAX;
            m_track = 1;
            emit(FrameBuilder::discEvent(0x03));
            m_tray = Tray::Opening;
            m_trayDueMs = nowMs + TrayTravelMs;
            emit(FrameBuilder::trayState(0xBB));
            return;
        }
    } else {
        switch (m_tray) {
        case Tray::Closed:
            emit(FrameBuilder::trayState(0xB2));
            return;
        case Tray::Closing:
            return;
        case Tray::Open:
        case Tray::Opening:
            m_tray = Tray::Closing;
            m_trayDueMs = nowMs + TrayTravelMs;
            emit(FrameBuilder::trayState(0xBC));
            return;
        }
    }
}

void SimBoard::handleService(const Bytes& c, int64_t nowMs) {
    switch (c[0]) {
    case 0x57:
        stopPlay();
        setServiceStep(1, nowMs);
        break;
    case 0x58:
        if (m_serviceStep == 0)
            return;
        setServiceStep(m_serviceStep % ServiceSteps + 1, nowMs);
        break;
    case 0x59:
        if (m_serviceStep == 0)
            return;
        setServiceStep(c.size() >= 3 && c[2] >= 1 && c[2] <= ServiceSteps ? c[2] : m_serviceStep,
                       nowMs);
        break;
    default: // 0x5A
        setServiceStep(0, nowMs);
        emit(FrameBuilder::serviceEnd());
        return;
    }
    emit(FrameBuilder::serviceStep(static_cast<uint8_t>(m_serviceStep)));
    if (m_serviceStep == 2)
        emit(FrameBuilder::frame(0xB5, {})); // step 2 switches the laser module off
}

void SimBoard::setServiceStep(int step, int64_t nowMs) {
    // Step 1 switches the laser on: it is measured continuously from then on.
    if (step == 1 && m_serviceStep != 1) {
        ++m_laserOnCount;
        if (m_options.laserStreamMs > 0)
            m_laserDueMs = nowMs + m_options.laserStreamMs;
    }
    if (step != 1)
        m_laserDueMs = INT64_MAX;
    m_serviceStep = step;
}

void SimBoard::advance(int64_t nowMs) {
    if (m_inBootloader) {
        m_lastUpdateMs = nowMs;
        return;
    }
    updatePosition(nowMs);

    while (!m_delayed.empty() && m_delayed.front().first <= nowMs) {
        emit(m_delayed.front().second);
        m_delayed.pop_front();
    }
    if (m_wrongBoardDueMs <= nowMs) {
        emit(FrameBuilder::adcReading(static_cast<unsigned>(laserAdc())));
        emit(FrameBuilder::frame(0xB4, {}));
        m_wrongBoardDueMs = nowMs + WrongBoardMs;
    }
    if (m_laserDueMs <= nowMs) {
        const int value = laserAdc() + m_random.range(-AdcNoise, AdcNoise);
        emit(FrameBuilder::adcReading(static_cast<unsigned>(std::clamp(value, 0, 0xFFFF))));
        m_laserDueMs += m_options.laserStreamMs;
        if (m_laserDueMs <= nowMs)
            m_laserDueMs = nowMs + m_options.laserStreamMs;
    }

    if (m_trayDueMs <= nowMs) {
        m_trayDueMs = INT64_MAX;
        if (m_tray == Tray::Opening) {
            m_tray = Tray::Open;
            emit(FrameBuilder::trayState(0xB1));
        } else if (m_tray == Tray::Closing) {
            m_tray = Tray::Closed;
            emit(FrameBuilder::trayState(0xB2));
            m_discReadyDueMs = nowMs + DiscReadyMs;
        }
    }
    if (m_discReadyDueMs <= nowMs) {
        m_discReadyDueMs = INT64_MAX;
        m_discReady = true;
        m_track = 1;
        m_positionMs = 0;
        emit(FrameBuilder::discEvent(0x04));
    }
    if (m_play == Play::Playing && m_tickDueMs <= nowMs) {
        emit(FrameBuilder::statusEvent(0x01));
        m_tickDueMs += TickMs;
        if (m_tickDueMs <= nowMs)
            m_tickDueMs = nowMs + TickMs;
    }
    if (m_pllDueMs <= nowMs) {
        emit(FrameBuilder::pllState(0x01));
        m_pllDueMs += PllMs;
        if (m_pllDueMs <= nowMs)
            m_pllDueMs = nowMs + PllMs;
    }
    std::vector<Bytes> records;
    m_flags.advance(nowMs, m_random, records);
    for (const Bytes& r : records)
        emit(r);
    if (m_debugDueMs <= nowMs) {
        char text[96];
        std::snprintf(text, sizeof text, "DK61 dbg: uptime %lld s, track %d, play %d",
                      static_cast<long long>(nowMs / 1000), m_track, static_cast<int>(m_play));
        emitRaw(SimOutput::Kind::DebugText, FrameBuilder::debugText(text));
        m_debugDueMs = nowMs + DebugTextMs;
    }
}

int64_t SimBoard::nextDueMs() const {
    if (m_inBootloader)
        return INT64_MAX;
    int64_t due = std::min({m_trayDueMs, m_discReadyDueMs, m_pllDueMs, m_debugDueMs,
                            m_flags.nextDueMs(), m_wrongBoardDueMs, m_laserDueMs,
                            m_delayed.empty() ? INT64_MAX : m_delayed.front().first});
    if (m_play == Play::Playing) {
        due = std::min(due, m_tickDueMs);
        const int64_t trackMs = static_cast<int64_t>(m_options.trackSeconds) * 1000;
        due = std::min(due, m_lastUpdateMs + (trackMs - m_positionMs));
    }
    return due;
}
