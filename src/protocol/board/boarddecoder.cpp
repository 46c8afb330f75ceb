#include "board/boarddecoder.h"

#include "board/requestframe.h"
#include "board/responsedecoding.h"
#include "flags/cflags.h"
#include "shell/logging.h"

using RD = ResponseDecoding;

BoardDecoder::BoardDecoder() {
    memoryTimer.setSingleShot(true);
    memoryTimer.setInterval(MemorySequence::TimeoutMs);
}

QByteArray BoardDecoder::begin(MemorySequence& sequence, const QByteArray& request) {
    if (running && running != &sequence)
        running->cancel();
    running = &sequence;
    memoryTimer.start();
    return request;
}

void BoardDecoder::cancelSequences() {
    memoryTimer.stop();
    for (MemorySequence* sequence : std::initializer_list<MemorySequence*>{
             &historyRead, &zeroByteRead, &historyErase, &zeroByteWrite})
        sequence->cancel();
    running = nullptr;
}

void BoardDecoder::memoryTimedOut(DecodeOutcome& out) {
    const MemorySequence* sequence = running;
    out.add(BoardEvent::MemoryExchangeOver{stopSequence(MemorySequence::Stop::NoAnswer), sequence});
}

void BoardDecoder::linkClosed(DecodeOutcome& out) {
    const MemorySequence* sequence = running;
    out.add(
        BoardEvent::MemoryExchangeOver{stopSequence(MemorySequence::Stop::LinkClosed), sequence});
    EepromState& eeprom = state.eeprom;
    eeprom.settings_read = eeprom.focus_read = eeprom.production_read = eeprom.laser_read = false;
    eepromRun.stop(MemorySequence::Stop::LinkClosed, out);
    state.laser.calibration.stop();
    state.link.has_FW_Version = false;
}

QString BoardDecoder::stopSequence(MemorySequence::Stop reason) {
    if (!running)
        return QString();
    const QString text = running->stoppedText(reason);
    qCDebug(dk61Laser) << text;
    cancelSequences();
    return text;
}

// ---------------------------------------------------------------------------------------------
// One frame

void BoardDecoder::decode(const QByteArray& frame, DecodeOutcome& out) {
    PlayerState& player = state.player;
    LinkWatch& link = state.link;
    player.time_received = false;
    player.track_received = false;
    link.wrong_board = false;
    link.board_answered = true;
    link.noBoard = false;
    link.noBoardReported = false;
    dispatch(frame, out);
    followUps(out);
    out.add(BoardEvent::DisplayInfoChanged{});
}

void BoardDecoder::followUps(DecodeOutcome& out) {
    PlayerState& player = state.player;
    if (player.track_change_pending && player.time_received) {
        out.send(RequestFrame::of({0x27, 0x00}));
        player.track_change_pending = false;
    }
    if (player.tick_pending) {
        out.send(RequestFrame::of({0x28, 0x01, 0x00}));
        out.send(RequestFrame::of({0x28, 0x01, 0x01}));
        out.send(RequestFrame::of({0x54, 0x00}));
        // The measurement clock keeps counting past midnight; the clock only shows its time of
        // day.
        FlagBoardState& flags = state.flags;
        ++flags.flag_seconds;
        flags.flag_clock = QTime(0, 0, 0).addSecs(static_cast<int>(flags.flag_seconds % 86400));
        player.tick_pending = false;
        if (player.current_track == 0)
            out.send(RequestFrame::of({0x27, 0x00}));
        if (!player.disc_id_known)
            out.send(RequestFrame::of({0x24, 0x00}));
    }
    if (!player.tag_complete && player.disc_state == 4 && player.current_track > 0 &&
        player.track_received)
        out.add(BoardEvent::TagPollDue{});
}

void BoardDecoder::dispatch(const QByteArray& b, DecodeOutcome& out) {
    const int size = b.size();
    if (size < 2)
        return;
    PlayerState& player = state.player;
    switch (RD::byteAt(b, 0)) {
    case 0x98:
        // A refused write ends a writing exchange: its next write would only be refused as well.
        if (running == &historyErase || running == &zeroByteWrite) {
            const MemorySequence* refused = running;
            out.add(BoardEvent::MemoryExchangeOver{stopSequence(MemorySequence::Stop::Refused),
                                                   refused});
        }
        eepromRun.stop(MemorySequence::Stop::Refused, out);
        state.eeprom.eeprom_write_denied = true;
        out.add(BoardEvent::WriteRefused{});
        break;
    case 0x99:
        memoryReply(b, out);
        break;
    case 0xA0:
        if (size == 3) {
            const int bits = RD::byteAt(b, 2);
            if (bits & 0x01)
                player.tick_pending = true;
            if (bits & 0x02) {
                player.tag_complete = false;
                player.track_change_pending = true;
            }
        }
        break;
    case 0xA1:
        if (size == 3) {
            const int event = RD::signedAt(b, 2);
            if (!state.toc.read && event == 4) {
                out.send(RequestFrame::of({0x21, 0x00}));
                qCDebug(dk61Decode) << "TOC READY";
            }
            if (event == 3)
                discStateReset(out);
            else if (event == 4 || event == 5)
                player.disc_state = static_cast<quint8>(event);
        }
        break;
    case 0xA3:
        if (size == 3)
            firmwareVersion(b, out);
        break;
    case 0xA4:
        if (size >= 7 && RD::signedAt(b, 5) == 1)
            player.tag_complete = true;
        break;
    case 0xA9:
        cflags(b, false, out);
        break;
    case 0xAA:
        if (size == 3)
            out.add(BoardEvent::PllState{RD::signedAt(b, 2)});
        break;
    case 0xAB:
        if (size == 6) {
            player.current_track = RD::signedAt(b, 3);
            player.track_received = true;
        }
        break;
    case 0xAC:
        if (size == 5) {
            player.current_time = RD::playTime(RD::signedAt(b, 3), RD::signedAt(b, 4));
            player.time_received = true;
            // The board answers "Get Current Time" 01 with the time on the disc.
            if (RD::signedAt(b, 2) == 1)
                player.disc_time = player.current_time;
        }
        break;
    case 0xAD:
        if (size == 11) {
            Toc& toc = state.toc;
            const int flags = RD::byteAt(b, 2);
            if (flags & 0x01)
                toc.flag_a = true;
            if (flags & 0x08)
                toc.flag_b = true;
            toc.value_1 = RD::signedAt(b, 3);
            toc.tracks = RD::signedAt(b, 5);
            toc.value_5 = RD::signedAt(b, 7);
            toc.value_6 = RD::signedAt(b, 8);
            toc.value_7 = RD::signedAt(b, 9);
            toc.value_8 = RD::signedAt(b, 10);
            qCDebug(dk61Decode) << toc.tracks << "TRACKS";
            toc.read = true;
            if (!player.disc_id_known)
                out.send(RequestFrame::of({0x24, 0x00}));
        }
        break;
    case 0xB1:
        player.tray_state = 1;
        break;
    case 0xB2:
        player.tray_state = 2;
        break;
    case 0xB3:
        state.link.wrong_board = true;
        adcReading(b, out);
        break;
    case 0xB4:
        state.link.wrong_board = true;
        break;
    case 0xB5:
        qCDebug(dk61Decode) << "moduel off";
        out.add(BoardEvent::ModuleOff{});
        break;
    case 0xB7:
        player.tray_state = 0;
        break;
    case 0xBB:
        player.tray_state = 3;
        break;
    case 0xBC:
        player.tray_state = 4;
        break;
    case 0xBD:
        loaderType(b, out);
        break;
    case 0xC0:
        if (size >= 3) {
            state.service.service_step = RD::signedAt(b, 2);
            out.add(BoardEvent::ServiceStep{state.service.service_step});
        }
        break;
    case 0xC5: {
        // Only a frame with exactly four parameters carries an identifier.
        quint32 id = 0;
        if (RD::decodeDiscId(b, &id)) {
            for (int k = 0; k < 4; ++k)
                player.disc_id_bytes[k] = static_cast<quint8>(RD::byteAt(b, 2 + k));
            player.disc_id = id;
            player.disc_id_known = true;
            out.add(BoardEvent::DiscId{});
        }
        break;
    }
    case 0xC6:
        cflags(b, true, out);
        break;
    case 0xC7:
        loaderList(b, out);
        break;
    case 0xC8:
        if (state.service.last_custom_command == 0x5A)
            out.add(BoardEvent::ServiceStep{-1});
        break;
    default:
        qCDebug(dk61Decode) << "skipped" << Qt::hex << RD::byteAt(b, 0) << "size" << size;
        break;
    }
}

void BoardDecoder::discStateReset(DecodeOutcome& out) {
    PlayerState& player = state.player;
    player.current_track = 0;
    player.disc_time = QTime();
    player.tick_pending = false;
    player.track_change_pending = false;
    state.link.wrong_board = false;
    state.link.board_answered = false;
    player.disc_id = 0;
    for (quint8& byte : player.disc_id_bytes)
        byte = 0;
    player.disc_id_known = false;
    out.add(BoardEvent::DiscCleared{});
}

void BoardDecoder::firmwareVersion(const QByteArray& b, DecodeOutcome& out) {
    LinkWatch& link = state.link;
    link.fw_version = static_cast<quint8>(RD::byteAt(b, 2));
    const bool identified = !link.has_FW_Version;
    if (!link.has_FW_Version) {
        link.has_FW_Version = true;
        // The start-up reads of the EEPROM image and of the loader list; until their replies
        // are in, the image must not be written back.
        EepromState& eeprom = state.eeprom;
        eeprom.settings_read = eeprom.focus_read = eeprom.production_read = eeprom.laser_read =
            false;
        out.send(EepromLayout::memoryRead(9, 0x21, 0x00));
        out.send(EepromLayout::memoryRead(8, 0x10, 0x00));
        out.send(EepromLayout::memoryRead(16, 0x00, 0x00));
        out.send(EepromLayout::memoryRead(8, 0x0F, 0x08));
        state.loader.loader_list_complete = false;
        out.send(RequestFrame::of({0x70, 0x00}));
        out.send(EepromLayout::memoryRead(1, 0x11, 0x00));
    }
    out.add(BoardEvent::FirmwareVersion{identified});
}

// ---------------------------------------------------------------------------------------------
// Memory replies: to the exchange that runs, else to the programming run or the image

void BoardDecoder::memoryReply(const QByteArray& b, DecodeOutcome& out) {
    if (running) {
        MemorySequence* sequence = running;
        const int sent = out.requests.size();
        if (!sequence->onReply(b, out)) {
            if (out.requests.size() > sent)
                memoryTimer.start();
            return;
        }
        running = nullptr;
        memoryTimer.stop();
        out.add(BoardEvent::MemoryExchangeOver{});
        return;
    }
    if (eepromRun.isRunning()) {
        eepromRun.onReply(b, out);
        if (eepromRun.step() == EepromRun::Step::Done)
            takeVerifiedImage(out);
        return;
    }
    parseEepromParameters(b, out);
    qCDebug(dk61Eeprom) << "parseEepromParameters();";
}

void BoardDecoder::parseEepromParameters(const QByteArray& b, DecodeOutcome& out) {
    qCDebug(dk61Eeprom) << "in Functio parseEepromParameters command length:" << b.size();
    qCDebug(dk61Eeprom) << "Full command:" << b.toHex(' ');
    EepromState& eeprom = state.eeprom;
    const EepromParameters& image = eeprom.image;
    const EepromLayout::Block block = EepromLayout::parseReply(b, &eeprom.image);
    switch (block) {
    case EepromLayout::Block::LoaderByte:
        loaderFromEeprom(QString(), out);
        return;
    case EepromLayout::Block::AudioByte:
    case EepromLayout::Block::None:
        return;
    case EepromLayout::Block::Settings:
        eeprom.settings_read = true;
        qCDebug(dk61Eeprom) << "AUDIO BYTE IS:" << image.audio_byte;
        loaderFromEeprom(QStringLiteral("Loader Type: "), out);
        break;
    case EepromLayout::Block::Production:
        eeprom.production_read = true;
        break;
    case EepromLayout::Block::Runtime:
        break;
    case EepromLayout::Block::Laser:
        // the line of the live current is the one the board keeps
        state.laser.laser_slope = image.laser_slope;
        state.laser.laser_offset = image.laser_offset;
        eeprom.laser_read = true;
        qCDebug(dk61Eeprom) << "has Laser Parameters";
        break;
    case EepromLayout::Block::Focus:
        eeprom.focus_read = true;
        qCDebug(dk61Eeprom) << "has focus gain setting";
        break;
    }
    out.add(BoardEvent::EepromBlockRead{block});
}

// The blocks a run has verified are what the board holds now: they count as read.
void BoardDecoder::takeVerifiedImage(DecodeOutcome& out) {
    using B = EepromLayout::Block;
    const EepromParameters& written = eepromRun.image();
    state.eeprom.image = written;
    state.loader.eeprom_loader_code = written.loader_code;
    QList<B> blocks{B::Settings, B::Focus};
    if (eepromRun.kind() == EepromRun::Kind::Full) {
        state.laser.laser_slope = written.laser_slope;
        state.laser.laser_offset = written.laser_offset;
        blocks << B::Runtime << B::Laser << B::Production;
    }
    for (B block : blocks)
        out.add(BoardEvent::EepromBlockRead{block});
}

void BoardDecoder::loaderFromEeprom(const QString& prefix, DecodeOutcome& out) {
    LoaderState& loader = state.loader;
    loader.eeprom_loader_code = state.eeprom.image.loader_code;
    loader.loader_from_eeprom = true;
    if (loader.eeprom_loader_code < 0x90)
        loaderLabel(loader.eeprom_loader_code, prefix, out);
    qCDebug(dk61Eeprom) << "Loader Type from EEPROM =" << loader.eeprom_loader_code;
}

// ---------------------------------------------------------------------------------------------
// Laser ADC readings

void BoardDecoder::adcReading(const QByteArray& b, DecodeOutcome& out) {
    quint16 value = 0;
    if (!RD::decodeAdcValue(b, &value))
        return;
    LaserState& laser = state.laser;
    // A calibration point that samples takes the reading; its last one completes the point,
    // which stops sampling, so later readings reach the ring and the live current again.
    const LaserCalibration::Reading reading = laser.calibration.take(value);
    if (reading.completed)
        out.add(BoardEvent::SamplesSufficient{reading.point});
    qCDebug(dk61Decode) << "awaitsLaser?";
    if (reading.point != 0)
        return;
    laser.laser_current_mA =
        static_cast<double>(laser.laser_slope) * value + static_cast<double>(laser.laser_offset);
    out.add(BoardEvent::LaserReading{value});
}

// ---------------------------------------------------------------------------------------------
// CFLAG frames

void BoardDecoder::cflags(const QByteArray& b, bool fromFlagBoard, DecodeOutcome& out) {
    qCDebug(dk61Flags) << "Parse Command CFlags" << b.size();
    RD::CFlagFrame f;
    if (!RD::decodeCFlagFrame(b, &f))
        return;
    FlagBoardState& flags = state.flags;
    if (f.extended) {
        state.link.wrong_board = false;
        state.link.board_answered = true;
        flags.flag_sub_status = f.subStatus();
        flags.flag_error = f.errorCode();
        flags.flag_data_seen = true;
        flags.flag_fw_version = f.fw_version;
        if (flags.flag_fw_version > 0 && !flags.flag_fw_shown) {
            flags.flag_fw_shown = true;
            out.add(BoardEvent::FlagFirmware{flags.flag_fw_version});
        }
        out.add(BoardEvent::FlagStatus{flags.flag_error, fromFlagBoard});
    }
    if (flags.flag_error != 0)
        return;
    const PlayerState& player = state.player;
    out.add(BoardEvent::FlagRecord{
        std::make_unique<CFlags>(f.count, f.f[0], f.f[1], f.f[2], f.f[3],
                                 static_cast<quint16>(player.current_track & 0xFFFF),
                                 player.track_clock, player.current_time,
                                 static_cast<quint16>(flags.flag_seconds & 0xFFFF)),
        fromFlagBoard});
}

// ---------------------------------------------------------------------------------------------
// Loader codes

void BoardDecoder::loaderLabel(quint8 code, const QString& prefix, DecodeOutcome& out) {
    const QString name = RD::loaderMechanismName(code);
    if (!name.isNull())
        out.add(BoardEvent::LoaderLabel{prefix + name});
}

void BoardDecoder::loaderList(const QByteArray& b, DecodeOutcome& out) {
    LoaderState& loader = state.loader;
    loader.possible_loaders.clear();
    // Only the parameter bytes really present, whatever the length byte says.
    const int count = qMin(RD::byteAt(b, 1), RD::parameterCount(b));
    for (int k = 0; k < count; ++k) {
        const quint8 code = static_cast<quint8>(RD::byteAt(b, 2 + k));
        loader.possible_loaders.append(code);
        qCDebug(dk61Decode) << "Appended " << Qt::hex << code
                            << " to List of possible loader types";
    }
    out.add(BoardEvent::LoaderList{});
    loader.loader_list_complete = true;
    if (loader.loader_from_eeprom) {
        qCDebug(dk61Decode) << "EMITTING RETRIEVED LOADER TYPE FROM EEPROM";
        out.add(BoardEvent::LoaderFromEeprom{});
    }
    if (loader.possible_loaders.contains(loader.pending_loader_type)) {
        loader.loader_type = loader.pending_loader_type;
        loader.loader_type_known = true;
        out.add(BoardEvent::LoaderSelected{loader.pending_loader_type});
        qCDebug(dk61Decode) << "selected" << Qt::hex << loader.pending_loader_type
                            << " as loader type";
    }
}

void BoardDecoder::loaderType(const QByteArray& b, DecodeOutcome& out) {
    if (b.size() < 3)
        return;
    qCDebug(dk61Decode) << "EV Loader Type OK";
    LoaderState& loader = state.loader;
    const quint8 code = static_cast<quint8>(RD::byteAt(b, 2));
    loader.loader_type = code;
    loader.loader_type_known = true;
    loaderLabel(code, QStringLiteral("Loader Type: "), out);
    if (!(loader.loader_list_complete && loader.possible_loaders.contains(code))) {
        loader.pending_loader_type = code;
        qCDebug(dk61Decode) << Qt::hex << code << "added to buffer";
    }
    out.add(BoardEvent::LoaderTypeOk{});
}
