// The board's EEPROM side: memory replies (0x99), the laser history read and erase sequences, the
// zero-hour byte and the confirmation of the programming steps.
#include "cd_board.h"

#include "control_panel.h"
#include "eepromlayout.h"
#include "logging.h"
#include "responsedecoding.h"

using RD = ResponseDecoding;

// ---------------------------------------------------------------------------------------------
// Requests

void CD_Board::setBaudFlag(quint8 flag) {
    baud_flag = flag == 0x01 ? 0x01 : 0xFF;
}

void CD_Board::setFocusSettingToWrite(quint8 value) {
    focus_setting_to_write = value;
}

void CD_Board::readLaserHistory() {
    // A new read starts from its first row.
    awaiting_runtime = false;
    history_reading = true;
    history_page = EepromLayout::HistoryFirstPage;
    std::fill(std::begin(history_values), std::end(history_values), quint8(0));
    for (auto& row : history_values_t)
        std::fill(std::begin(row), std::end(row), quint8(0));
    sendRequest(EepromLayout::memoryRead(16, history_page, 0x00));
}

void CD_Board::readZeroByte() {
    awaiting_zero_byte = true;
    history_reading = false;
    sendRequest(EepromLayout::memoryRead(1, 0x21, 0x0C));
}

void CD_Board::resetLaserHistory() {
    // The erase is driven by the replies that follow; a read still under way would take them.
    history_reading = false;
    awaiting_runtime = false;
    awaiting_zero_byte = false;
    history_reset_2 = false;
    history_reset_3 = false;
    history_reset_1 = true;
    history_reset_half = true;
    history_page = EepromLayout::HistoryFirstPage;
    sendRequest(EepromLayout::historyEraseWrite(history_page, false));
}

void CD_Board::eraseNextHistoryHalf() {
    const bool secondHalf = history_reset_half;
    history_reset_half = !history_reset_half;
    sendRequest(EepromLayout::historyEraseWrite(history_page, secondHalf));
}

void CD_Board::clearPlayTime(int part) {
    sendRequest(EepromLayout::runtimeClearWrite(part));
}

void CD_Board::writeZeroByte(quint8 value) {
    sendRequest(EepromLayout::zeroByteWrite(value));
}

// ---------------------------------------------------------------------------------------------
// Memory replies, in their order of precedence

void CD_Board::handleMemoryResult(const BoardFrame& frame) {
    const QByteArray& b = frame.bytes;
    if (history_reading) {
        handleHistoryRow(b);
        return;
    }
    if (awaiting_runtime) {
        RD::Runtime runtime;
        if (!RD::decodeRuntime(b, &runtime)) {
            qCDebug(dk61Laser) << "not a runtime record, size" << b.size();
            return;
        }
        awaiting_runtime = false;
        if (window)
            window->plotLaserHistory(static_cast<int>(runtime.seconds), runtime.last_index,
                                     history_values, &history_values_t[0][0]);
        return;
    }
    if (awaiting_zero_byte) {
        if (b.size() < 6) {
            qCDebug(dk61Laser) << "no zero-hour byte in a frame of" << b.size() << "bytes";
            return;
        }
        awaiting_zero_byte = false;
        if (window)
            window->plotZeroByte(RD::byteAt(b, 5));
        return;
    }
    if (history_reset_1 || history_reset_2 || history_reset_3) {
        handleHistoryReset();
        return;
    }
    handleEepromConfirmation(frame);
}

void CD_Board::handleHistoryRow(const QByteArray& b) {
    const int row = history_page - EepromLayout::HistoryFirstPage;
    if (row < 0 || row > 15) {
        qCDebug(dk61Laser) << "history page out of range" << history_page;
        history_reading = false;
        return;
    }
    // A frame that is not a full row leaves the read waiting for its row.
    if (!RD::isHistoryRow(b)) {
        qCDebug(dk61Laser) << "not a history row, size" << b.size();
        return;
    }
    for (int column = 0; column < 16; ++column) {
        const quint8 value = static_cast<quint8>(RD::byteAt(b, 5 + column));
        history_values[row * 16 + column] = value;
        history_values_t[row][column] = value;
    }
    if (history_page < EepromLayout::HistoryLastPage) {
        ++history_page;
        sendRequest(EepromLayout::memoryRead(16, history_page, 0x00));
    } else {
        history_reading = false;
        awaiting_runtime = true;
        sendRequest(EepromLayout::memoryRead(16, 0x00, 0x00));
    }
}

void CD_Board::handleHistoryReset() {
    if (history_reset_1) {
        // Erase writes go only to the history rows; anything else would wipe other data.
        if (history_page < EepromLayout::HistoryFirstPage) {
            qCDebug(dk61Laser) << "history erase stopped at page" << history_page;
            history_reset_1 = false;
            return;
        }
        if (history_page < EepromLayout::HistoryLastPage) {
            if (!history_reset_half)
                ++history_page;
            eraseNextHistoryHalf();
        } else if (history_page == EepromLayout::HistoryLastPage && history_reset_half) {
            eraseNextHistoryHalf();
        } else {
            history_reset_1 = false;
            history_reset_2 = true;
            clearPlayTime(1);
        }
    } else if (history_reset_2) {
        history_reset_2 = false;
        history_reset_3 = true;
        clearPlayTime(2);
    } else if (history_reset_3) {
        history_reset_3 = false;
        if (eeprom_state == 11) {
            eeprom_state = 0;
            emit recievedEepromParameters(1);
        }
    }
}

void CD_Board::handleEepromConfirmation(const BoardFrame& frame) {
    const QByteArray& b = frame.bytes;
    if (eeprom_state == 0) {
        parseEepromParameters(frame);
        qCDebug(dk61Eeprom) << "parseEepromParameters();";
        return;
    }
    EepromLayout::Expected expected;
    expected.laser = EepromLayout::laserBytes(laser_slope, laser_offset);
    expected.production =
        QByteArray(reinterpret_cast<const char*>(production_bytes), sizeof production_bytes);
    expected.loader_code = eeprom_loader_code;
    expected.audio_byte = audio_byte;
    expected.focus_setting_to_write = focus_setting_to_write;
    switch (EepromLayout::confirm(eeprom_state, b, expected)) {
    case EepromLayout::Check::Confirmed:
        if (window)
            window->flashTimer.stop();
        eeprom_state = static_cast<quint8>(EepromLayout::nextState(eeprom_state));
        qCDebug(dk61Eeprom) << "recieved" << eeprom_state;
        emit recievedEepromParameters(eeprom_state);
        break;
    case EepromLayout::Check::Mismatch:
        if (eeprom_state == 3)
            qCDebug(dk61Eeprom) << "NO RECIEVED " << RD::byteAt(b, 5);
        else if (eeprom_state == 5)
            qCDebug(dk61Eeprom) << "NO RECIEVED 7 ";
        break;
    case EepromLayout::Check::NoMatch:
        break;
    }
    qCDebug(dk61Eeprom) << "Eeprom State =" << eeprom_state;
}

// ---------------------------------------------------------------------------------------------
// The parameter image read at start-up

void CD_Board::parseEepromParameters(const BoardFrame& frame) {
    const QByteArray& b = frame.bytes;
    qCDebug(dk61Eeprom) << "in Functio parseEepromParameters command length:" << b.size();
    qCDebug(dk61Eeprom) << "Full command:" << b.toHex(' ');
    const EepromLayout::Reply reply = EepromLayout::parseReply(b);
    switch (reply.block) {
    case EepromLayout::Block::LoaderByte:
        eeprom_loader_code = reply.loader_code;
        loader_from_eeprom = true;
        if (eeprom_loader_code < 0x90)
            showLoaderLabel(eeprom_loader_code, QString());
        qCDebug(dk61Eeprom) << "Loader Type from EEPROM =" << eeprom_loader_code;
        break;
    case EepromLayout::Block::AudioByte:
        audio_byte = reply.audio_byte;
        break;
    case EepromLayout::Block::Settings:
        audio_byte = reply.audio_byte;
        settings_spare = reply.settings_spare;
        baudRate = reply.baudRate;
        qCDebug(dk61Eeprom) << "AUDIO BYTE IS:" << audio_byte;
        eeprom_loader_code = reply.loader_code;
        loader_from_eeprom = true;
        if (eeprom_loader_code < 0x90)
            showLoaderLabel(eeprom_loader_code, QStringLiteral("Loader Type: "));
        emit retrievedBaudrateSetting();
        qCDebug(dk61Eeprom) << "Loader Type from EEPROM =" << eeprom_loader_code;
        break;
    case EepromLayout::Block::Production:
        for (int k = 0; k < 8; ++k) {
            production_bytes[k] = reply.production_bytes[k];
            qCDebug(dk61Eeprom) << "Production Code" << k << production_bytes[k];
        }
        customer_id = reply.customer_id;
        production_day = reply.production_day;
        flashed_by = reply.flashed_by;
        serial_number = reply.serial_number;
        emit retrievedProductionCode();
        break;
    case EepromLayout::Block::Runtime:
        runtime_s = reply.runtime_s;
        emit retrievedRuntime();
        break;
    case EepromLayout::Block::Laser:
        laser_slope = reply.laser_slope;
        laser_offset = reply.laser_offset;
        qCDebug(dk61Eeprom) << "has Laser Parameters";
        emit retrievedLaserParamters();
        break;
    case EepromLayout::Block::Focus:
        focus_setting = reply.focus_setting;
        emit retrievedFocParamSetting();
        qCDebug(dk61Eeprom) << "has focus gain setting";
        break;
    case EepromLayout::Block::None:
        break;
    }
}
