// The response decoder: gives meaning to every frame the framing has cut, fills the board state
// and tells the window about it. Frames come from outside the program, so every handler checks
// a frame's size before it reads a parameter byte.
#include "cd_board.h"

#include "cflags.h"
#include "control_panel.h"
#include "eepromlayout.h"
#include "framecutter.h"
#include "laserlist.h"
#include "logging.h"
#include "responsedecoding.h"
#include "ui_control_panel.h"

#include <QLabel>

using RD = ResponseDecoding;

namespace {

const char* const GreenLabel = "QLabel {color: green}";
const char* const RedLabel = "QLabel {color: red}";

// Gives a label its text and, unless `style` is null, its style sheet; what is already so is left
// alone.
void showStatus(QLabel* label, const QString& text, const char* style) {
    if (label->text() != text)
        label->setText(text);
    if (style && label->styleSheet() != QLatin1String(style))
        label->setStyleSheet(QLatin1String(style));
}

QByteArray request(std::initializer_list<int> bytes) {
    QByteArray frame;
    for (int b : bytes)
        frame.append(static_cast<char>(b));
    return frame;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Bytes in, frames out

void CD_Board::receiveChunk(const QByteArray& chunk) {
    lastRead = chunk;
    lastReadCount = chunk.size();
    if (lastReadCount < 1)
        return;
    disconnect(readyReadConnection);
    FrameCutter cutter(receiveBuffer);
    cutter.append(lastRead);
    qCDebug(dk61Frame) << lastRead.toHex(' ') << receiveBuffer.size();
    if (cutter.startsWith(0xCC)) {
        debugText = receiveBuffer;
        emit show_debug_message();
    }
    QByteArray bytes;
    while (cutter.next(bytes) == FrameCutter::Step::Frame) {
        BoardFrame frame;
        frame.origin = this;
        frame.code = static_cast<quint8>(bytes.at(0));
        frame.length = static_cast<quint8>(bytes.at(1));
        frame.bytes = bytes;
        commands.append(std::move(frame));
        parseCommand();
    }
    cutter.compact();
    readyReadConnection = connect(&port, &QSerialPort::readyRead, this, &CD_Board::read_data);
    emit parse_complete();
}

void CD_Board::sendRequest(const QByteArray& frame) {
    sendBuffer = frame;
    send2(frame.size());
}

// ---------------------------------------------------------------------------------------------
// The batch

void CD_Board::parseCommand() {
    qCDebug(dk61Decode) << "in Function parseCommand()";
    time_received = false;
    track_received = false;
    wrong_board = false;
    board_answered = true;
    noBoard = false;
    noBoardReported = false;
    if (parse_index < commands.firstIndex())
        parse_index = commands.firstIndex();
    while (parse_index < commands.size()) {
        // The index moves on before the frame is handled, so a handler that ends up here again
        // cannot take the same frame twice.
        const BoardFrame frame = commands.at(parse_index);
        ++parse_index;
        qCDebug(dk61Decode) << "in loop in line " << __LINE__
                            << "commands.size() = " << commands.size() << Qt::hex << frame.code;
        dispatch(frame);
    }
    sendFollowUps();
    emit display_info_changed();
}

void CD_Board::sendFollowUps() {
    if (track_change_pending && time_received) {
        sendRequest(request({0x27, 0x00}));
        track_change_pending = false;
    }
    if (tick_pending) {
        sendRequest(request({0x28, 0x01, 0x00}));
        sendRequest(request({0x28, 0x01, 0x01}));
        sendRequest(request({0x54, 0x00}));
        // The measurement clock keeps counting past midnight; the clock only shows its time of
        // day.
        ++flag_seconds;
        flag_clock = QTime(0, 0, 0).addSecs(static_cast<int>(flag_seconds % 86400));
        tick_pending = false;
        if (current_track == 0)
            sendRequest(request({0x27, 0x00}));
        if (!disc_id_known)
            sendRequest(request({0x24, 0x00}));
    }
    if (!tag_complete && disc_state == 4 && current_track > 0 && track_received &&
        !tagTimer.isActive())
        tagTimer.start(120);
}

void CD_Board::dispatch(const BoardFrame& frame) {
    const QByteArray& b = frame.bytes;
    const int size = b.size();
    if (size < 2)
        return;
    switch (RD::byteAt(b, 0)) {
    case 0x98:
        eeprom_state = 255;
        eeprom_write_denied = true;
        if (window)
            window->handleEepromState();
        break;
    case 0x99:
        handleMemoryResult(frame);
        break;
    case 0xA0:
        if (size == 3) {
            const int bits = RD::byteAt(b, 2);
            if (bits & 0x01)
                tick_pending = true;
            if (bits & 0x02) {
                tag_complete = false;
                track_change_pending = true;
            }
        }
        break;
    case 0xA1:
        if (size == 3) {
            const int event = RD::signedAt(b, 2);
            if (!toc.read && event == 4) {
                sendRequest(request({0x21, 0x00}));
                qCDebug(dk61Decode) << "TOC READY";
            }
            if (event == 3)
                discStateReset();
            else if (event == 4 || event == 5)
                disc_state = static_cast<quint8>(event);
        }
        break;
    case 0xA3:
        if (size == 3)
            handleFirmwareVersion(b);
        break;
    case 0xA4:
        if (size >= 7 && RD::signedAt(b, 5) == 1)
            tag_complete = true;
        break;
    case 0xA9:
        handleCFlags(b, false);
        break;
    case 0xAA:
        if (size == 3 && window)
            window->showPllState(RD::signedAt(b, 2));
        break;
    case 0xAB:
        if (size == 6) {
            current_track = RD::signedAt(b, 3);
            track_received = true;
        }
        break;
    case 0xAC:
        if (size == 5) {
            current_time = RD::playTime(RD::signedAt(b, 3), RD::signedAt(b, 4));
            time_received = true;
        }
        break;
    case 0xAD:
        if (size == 11) {
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
            if (!disc_id_known)
                sendRequest(request({0x24, 0x00}));
        }
        break;
    case 0xB1:
        tray_state = 1;
        break;
    case 0xB2:
        tray_state = 2;
        break;
    case 0xB3:
        wrong_board = true;
        handleAdcReading(b);
        break;
    case 0xB4:
        wrong_board = true;
        break;
    case 0xB5:
        qCDebug(dk61Decode) << "moduel off";
        emit module_off();
        break;
    case 0xB7:
        tray_state = 0;
        break;
    case 0xBB:
        tray_state = 3;
        break;
    case 0xBC:
        tray_state = 4;
        break;
    case 0xBD:
        handleLoaderType(b);
        break;
    case 0xC0:
        if (size >= 3) {
            service_step = RD::signedAt(b, 2);
            emit service_mode_step(service_step);
        }
        break;
    case 0xC5: {
        // Only a frame with exactly four parameters carries an identifier.
        quint32 id = 0;
        if (RD::decodeDiscId(b, &id)) {
            for (int k = 0; k < 4; ++k)
                disc_id_bytes[k] = static_cast<quint8>(RD::byteAt(b, 2 + k));
            disc_id = id;
            disc_id_known = true;
            emit recievedDiscID();
        }
        break;
    }
    case 0xC6:
        handleCFlags(b, true);
        break;
    case 0xC7:
        handleLoaderList(b);
        break;
    case 0xC8:
        if (last_custom_command == 0x5A)
            emit service_mode_step(-1);
        break;
    default:
        qCDebug(dk61Decode) << "skipped" << Qt::hex << frame.code << "size" << size;
        break;
    }
}

void CD_Board::discStateReset() {
    current_track = 0;
    tick_pending = false;
    track_change_pending = false;
    wrong_board = false;
    board_answered = false;
    disc_id = 0;
    for (quint8& byte : disc_id_bytes)
        byte = 0;
    disc_id_known = false;
    if (window)
        window->ui->labelDiscID->clear();
    emit display_info_changed();
}

void CD_Board::handleFirmwareVersion(const QByteArray& b) {
    fw_version = static_cast<quint8>(RD::byteAt(b, 2));
    if (!has_FW_Version) {
        has_FW_Version = true;
        // The start-up reads of the EEPROM image and of the loader list.
        sendRequest(EepromLayout::memoryRead(9, 0x21, 0x00));
        sendRequest(EepromLayout::memoryRead(8, 0x10, 0x00));
        sendRequest(EepromLayout::memoryRead(16, 0x00, 0x00));
        sendRequest(EepromLayout::memoryRead(8, 0x0F, 0x08));
        loader_list_complete = false;
        sendRequest(request({0x70, 0x00}));
        sendRequest(EepromLayout::memoryRead(1, 0x11, 0x00));
    }
    emit recieved_fw_version();
}

// ---------------------------------------------------------------------------------------------
// Laser ADC readings

void CD_Board::handleAdcReading(const QByteArray& b) {
    quint16 value = 0;
    if (!RD::decodeAdcValue(b, &value))
        return;
    if (adc_1_sampling) {
        if (adc_1_samples.size() < 1000)
            adc_1_samples.append(value);
        if (adc_1_samples.size() > 999)
            emit recievedSufficientAdc_1Samples();
    }
    if (adc_2_sampling) {
        if (adc_2_samples.size() < 1000)
            adc_2_samples.append(value);
        if (adc_2_samples.size() > 999)
            emit recievedSufficientAdc_2Samples();
    }
    qCDebug(dk61Decode) << "awaitsLaser?";
    if (adc_1_sampling || adc_2_sampling)
        return;
    if (window && window->laserList)
        window->laserList->push(value);
    emit laser_push();
    laser_current_mA = static_cast<double>(laser_slope) * value + static_cast<double>(laser_offset);
    emit recievedLaserCurrent();
}

// ---------------------------------------------------------------------------------------------
// CFLAG frames

void CD_Board::handleCFlags(const QByteArray& b, bool fromFlagBoard) {
    qCDebug(dk61Flags) << "Parse Command CFlags" << b.size();
    RD::CFlagFrame f;
    if (!RD::decodeCFlagFrame(b, &f))
        return;
    if (f.extended) {
        wrong_board = false;
        board_answered = true;
        if (window) {
            Control_Panel* w = window;
            w->flag_sub_status = f.subStatus();
            w->flag_error = f.errorCode();
            w->flag_data_seen = true;
            w->flag_fw_version = f.fw_version;
            if (w->flag_fw_version > 0 && !w->flag_fw_shown) {
                w->connectionLabel->setText(w->connectionLabel->text() +
                                            ", FW-Version: " + QString::number(w->flag_fw_version));
                w->flag_fw_shown = true;
            }
            // Every record sets the labels; each is changed only where its final text or colour
            // differs, as a style sheet costs a repolish even when it is the same.
            const bool spdifFault = w->flag_error == 1;
            const bool cflagFault = w->flag_error == 1 || w->flag_error == 2;
            QString message;
            if (w->flag_error == 1)
                message = "SPDIF Error: check your SPDIF signal and if it is connected properly! "
                          "In case of persistant error, reconnect the USB-Dongle!";
            else if (w->flag_error == 2)
                message = "CFLAG Error: getting no CFLAG-Data! Make sure EBU-Flags are activated "
                          "and disc is played!";
            showStatus(w->ui->status_description_spdif_label, message, nullptr);
            if (fromFlagBoard)
                showStatus(w->boardLabel, "  BOARD: OK  ", GreenLabel);
            showStatus(w->spdifLabel, spdifFault ? "  SPDIF: no signal  " : "  SPDIF: OK  ",
                       spdifFault ? RedLabel : GreenLabel);
            showStatus(w->cflagLabel, cflagFault ? "  CFLAG: no data  " : "  CFLAG: OK  ",
                       cflagFault ? RedLabel : GreenLabel);
        }
    }
    if (window && window->flag_error != 0)
        return;
    auto* record = new CFlags(f.count, f.f[0], f.f[1], f.f[2], f.f[3],
                              static_cast<quint16>(current_track & 0xFFFF), track_clock,
                              current_time, static_cast<quint16>(flag_seconds & 0xFFFF));
    flag_records.append(record);
    if (!window)
        return;
    ++flagFileCalls;
    window->writeCFlagsToFlagFile_cvs();
    if (fromFlagBoard)
        emit window->recievedCFlags(record);
    ++flagPlotCalls;
    window->plotCFlags();
}

// ---------------------------------------------------------------------------------------------
// Loader codes

void CD_Board::showLoaderLabel(quint8 code, const QString& prefix) {
    const QString name = RD::loaderMechanismName(code);
    if (!name.isNull() && window)
        window->statusLabel->setText(prefix + name);
}

void CD_Board::handleLoaderList(const QByteArray& b) {
    possible_loaders.clear();
    if (window)
        window->clearLoaderList();
    // Only the parameter bytes really present, whatever the length byte says.
    const int count = qMin(RD::byteAt(b, 1), RD::parameterCount(b));
    for (int k = 0; k < count; ++k) {
        const quint8 code = static_cast<quint8>(RD::byteAt(b, 2 + k));
        possible_loaders.append(code);
        qCDebug(dk61Decode) << "Appended " << Qt::hex << code
                            << " to List of possible loader types";
        if (window)
            window->addLoaderEntry(RD::loaderEntryText(code), code);
    }
    loader_list_complete = true;
    if (loader_from_eeprom) {
        qCDebug(dk61Decode) << "EMITTING RETRIEVED LOADER TYPE FROM EEPROM";
        emit retrievedloaderTypeFromEeprom();
    }
    if (possible_loaders.contains(pending_loader_type)) {
        loader_type = pending_loader_type;
        loader_type_known = true;
        if (window)
            window->selectLoaderEntry(pending_loader_type);
        qCDebug(dk61Decode) << "selected" << Qt::hex << pending_loader_type << " as loader type";
    }
}

void CD_Board::handleLoaderType(const QByteArray& b) {
    if (b.size() < 3)
        return;
    qCDebug(dk61Decode) << "EV Loader Type OK";
    const quint8 code = static_cast<quint8>(RD::byteAt(b, 2));
    loader_type = code;
    loader_type_known = true;
    showLoaderLabel(code, QStringLiteral("Loader Type: "));
    if (!(loader_list_complete && possible_loaders.contains(code))) {
        pending_loader_type = code;
        qCDebug(dk61Decode) << Qt::hex << code << "added to buffer";
    }
    emit recieved_ev_loader_ok();
}
