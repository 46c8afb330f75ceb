#include "cd_board.h"

#include "board/responsedecoding.h"
#include "boardwindow.h"
#include "console/loaderchoice.h"
#include "console/playerrequests.h"
#include "flags/cflags.h"
#include "production/eepromlayout.h"
#include "shell/logging.h"

#include <QMetaMethod>

#include <algorithm>
#include <iterator>

CD_Board::CD_Board(QObject* parent, BoardWindow* window)
    : QObject(parent), window(window), state(decoder.state) {
    connect(&tagTimer, &QTimer::timeout, this, &CD_Board::askforTag);
    tagTimer.setSingleShot(true);
    // The spacing is a lower bound the board relies on; a coarse timer may fire a little early.
    pacingTimer.setTimerType(Qt::PreciseTimer);
    connect(&pacingTimer, &QTimer::timeout, this, &CD_Board::sendData);

    // Both links frame alike into the one frame list.
    for (SerialLink* l : {&link, &otherLink}) {
        l->frameHandler = [this](QByteArray&& frame) { frameReceived(std::move(frame)); };
        connect(l, &SerialLink::debugTextReceived, this, [this](const QByteArray& text) {
            debugText = text;
            emit show_debug_message();
        });
    }
    link.passHandler = [this] { emit parse_complete(); };
    otherLink.passHandler = [this] { emit parse_complete_other(); };
    connect(&link, &SerialLink::errorReported, this, &CD_Board::transmission_error);
    connect(&otherLink, &SerialLink::errorReported, this, &CD_Board::transmission_error_other);
    connect(&link, &SerialLink::lost, this, [this] {
        closeLink();
        emit transmission_error();
    });
    connect(&otherLink, &SerialLink::lost, this, [this] {
        emit disconnected_from_serial_port_other();
        emit transmission_error_other();
    });
    // ---- production and laser ----
    memoryTimer.setSingleShot(true);
    memoryTimer.setInterval(MemorySequence::TimeoutMs);
    connect(&memoryTimer, &QTimer::timeout, this, &CD_Board::memoryTimeOut);
    connect(&decoder.eepromRun.timer, &QTimer::timeout, this, [this] {
        DecodeOutcome out;
        decoder.eepromRun.stop(MemorySequence::Stop::NoAnswer, out);
        apply(out);
    });
}

CD_Board::~CD_Board() {
    qDeleteAll(flag_records);
    flag_records.clear();
}

// ---------------------------------------------------------------------------------------------
// Links

void CD_Board::setBaudRate(int baud) {
    baudRate = baud;
    link.setBaudRate(baud);
    otherLink.setBaudRate(baud);
}

void CD_Board::openPort() {
    link.open();
    emit connected_to_serial_port();
}

void CD_Board::openOtherPort() {
    otherLink.open();
    emit connected_to_serial_port_other();
}

void CD_Board::closePort() {
    link.close();
    // ---- production and laser: no exchange and no programming step outlives the link ----
    memoryTimer.stop();
    const MemorySequence* sequence = decoder.runningSequence();
    const QString stopped = decoder.stopSequence(MemorySequence::Stop::LinkClosed);
    EepromState& eeprom = state.eeprom;
    eeprom.settings_read = eeprom.focus_read = eeprom.production_read = eeprom.laser_read = false;
    reportMemoryFailure(sequence, stopped);
    DecodeOutcome out;
    decoder.eepromRun.stop(MemorySequence::Stop::LinkClosed, out);
    apply(out);
    state.laser.calibration.stop();
    // ---- end production and laser ----
    state.link.has_FW_Version = false;
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "has_FW_Version set to false";
    emit disconnected_from_serial_port();
}

void CD_Board::closeOtherPort() {
    otherLink.close();
    emit disconnected_from_serial_port_other();
}

void CD_Board::closeLink() {
    state.link.wrong_board = false;
    state.link.noBoardReported = false;
    state.flags.flag_data_seen = false;
    if (window)
        window->showStatusBar(StatusWording::start());
    state.loader.loader_type_known = false;
    state.loader.loader_type = 0;
    closePort();
}

void CD_Board::connect_disconnect() {
    userDisconnect = false;
    userConnect = false;
    state.link.noBoard = false;
    link.linkLost = false;
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "Calling function connect_disconnect()";
    if (!link.isOpen()) {
        userConnect = true;
        if (window)
            window->startup();
        return;
    }
    userDisconnect = true;
    closeLink();
    if (window)
        window->showStatusBar(StatusWording::closedByOperator());
}

void CD_Board::connect_disconnect_other() {
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "Calling function connect_disconnect()";
    otherLink.linkLost = false;
    if (!otherLink.isOpen()) {
        if (window)
            window->startup_other();
        return;
    }
    closeOtherPort();
}

// ---------------------------------------------------------------------------------------------
// Transmit queue: the first request after a quiet period goes out at once, every further one on
// the next 40 ms tick; the transmitter becomes idle when a tick finds the queue empty.

void CD_Board::send2(qint64 length) {
    sendLength = length;
    qCDebug(dk61Link) << "send2";
    txFrames.append(sendBuffer);
    txLengths.append(static_cast<int>(length));
    sendBuffer.clear();
    if (transmitterIdle)
        sendData();
}

void CD_Board::send2() {
    send2(sendLength);
}

void CD_Board::sendRequest(const QByteArray& frame) {
    sendBuffer = frame;
    send2(frame.size());
}

void CD_Board::sendShortRequest(int n) {
    sendBuffer.clear();
    sendBuffer.append(static_cast<char>(0xA0 | (n & 0x0F)));
    send2(1);
}

void CD_Board::sendFlagInterval(int n) {
    sendShortRequest(n);
}

void CD_Board::sendData() {
    pacingTimer.stop();
    qCDebug(dk61Link) << "Function sendData"
                      << "btscb" << txFrames.size();
    if (txFrames.isEmpty()) {
        transmitterIdle = true;
        return;
    }
    transmitterIdle = false;
    const QByteArray frame = txFrames.takeFirst();
    const int length = txLengths.takeFirst();
    // A request handed over while the port is closed is dropped here, as a write would fail.
    link.write(frame.left(length));
    qCDebug(dk61Link) << "wrote" << frame.toHex(' ');
    sentLengths.append(length);
    sentFrames.append(frame);
    emit send_bytes_ready();
    pacingTimer.start(40);
}

void CD_Board::askforTag() {
    const int track = state.player.current_track;
    sendRequest(QByteArray::fromRawData("\x26\x04\x00", 3) + char(track & 0xFF) +
                QByteArray::fromRawData("\xFF\x01", 2));
}

// ---------------------------------------------------------------------------------------------
// Frames in

void CD_Board::frameReceived(QByteArray&& bytes) {
    const int code = static_cast<quint8>(bytes.at(0));
    const int length = static_cast<quint8>(bytes.at(1));
    commands.append(BoardFrame{this, std::move(bytes), QString(), code, length});
    parseCommand();
}

void CD_Board::parseCommand() {
    if (parse_index < commands.firstIndex())
        parse_index = commands.firstIndex();
    while (parse_index < commands.size()) {
        // The index moves on before the frame is handled, so a handler that ends up here again
        // cannot take the same frame twice.
        // Decoding runs no event loop, so the frame stays in the list while it is decoded. It is
        // nearly always the one just appended.
        const qint64 newest = commands.size() - 1;
        const QByteArray& bytes =
            (parse_index == newest ? commands.last() : commands.at(parse_index)).bytes;
        ++parse_index;
        // One outcome serves frame after frame and keeps its storage; a frame decoded while
        // another one's outcome is being applied (a nested event loop) gets its own.
        if (applying) {
            DecodeOutcome nested;
            decoder.decode(bytes, nested);
            apply(nested);
            continue;
        }
        decoder.decode(bytes, reusedOutcome);
        applying = true;
        apply(reusedOutcome);
        applying = false;
    }
}

void CD_Board::parseEepromParameters(const BoardFrame& frame) {
    DecodeOutcome outcome;
    decoder.parseEepromParameters(frame.bytes, outcome);
    apply(outcome);
}

// ---------------------------------------------------------------------------------------------
// What the decoder found, turned into requests, signals and window updates: the one place where
// the decoder's findings reach the window.

struct BoardEventApplier {
    CD_Board* board;
    BoardWindow* window;

    void operator()(const BoardEvent::WriteRefused&) {
        if (window)
            window->handleEepromState();
    }
    void operator()(const BoardEvent::PllState& e) {
        if (window)
            window->showPllState(e.state);
    }
    void operator()(const BoardEvent::DiscCleared&) {
        if (window)
            window->clearDiscId();
        emit board->display_info_changed();
    }
    void operator()(const BoardEvent::FirmwareVersion& e) {
        if (e.identified)
            emit board->board_identified();
        emit board->recieved_fw_version();
    }
    void operator()(const BoardEvent::LaserReading& e) {
        if (window)
            window->pushLaserReading(e.value);
        emit board->laser_push();
        emit board->recievedLaserCurrent();
    }
    void operator()(const BoardEvent::SamplesSufficient& e) {
        // the point's mean and variance are calculated with its last reading
        if (e.point == 1) {
            emit board->recievedSufficientAdc_1Samples();
            emit board->calculatedAdc_1();
        } else {
            emit board->recievedSufficientAdc_2Samples();
            emit board->calculatedAdc_2();
        }
    }
    void operator()(const BoardEvent::ModuleOff&) { emit board->module_off(); }
    void operator()(const BoardEvent::ServiceStep& e) { emit board->service_mode_step(e.step); }
    void operator()(const BoardEvent::DiscId&) { emit board->recievedDiscID(); }
    void operator()(const BoardEvent::FlagStatus& e) {
        if (window)
            window->showStatusBar(StatusWording::flagStatus(e.error, e.fromFlagBoard));
    }
    void operator()(const BoardEvent::FlagFirmware& e) {
        if (window)
            window->appendFlagFirmware(e.version);
    }
    void operator()(BoardEvent::FlagRecord& e) {
        CFlags* record = e.record.release();
        board->flag_records.append(record);
        if (window)
            window->flagRecordAdded(record, e.fromFlagBoard);
    }
    void operator()(const BoardEvent::LoaderList&) {
        if (!window)
            return;
        window->clearLoaderList();
        for (quint8 code : board->state.loader.possible_loaders)
            window->addLoaderEntry(ResponseDecoding::loaderEntryText(code), code);
    }
    void operator()(const BoardEvent::LoaderFromEeprom&) {
        emit board->retrievedloaderTypeFromEeprom();
    }
    void operator()(const BoardEvent::LoaderSelected& e) {
        if (window)
            window->selectLoaderEntry(e.code);
    }
    void operator()(const BoardEvent::LoaderLabel& e) {
        if (window)
            window->showLoaderType(e.text);
    }
    void operator()(const BoardEvent::LoaderTypeOk&) { emit board->recieved_ev_loader_ok(); }
    void operator()(const BoardEvent::LaserHistoryRead& e) {
        const quint8* values = board->decoder.historyRead.history_values;
        if (window)
            window->plotLaserHistory(e.runtime, e.last_index, values, values);
    }
    void operator()(const BoardEvent::ZeroByteRead& e) {
        if (window)
            window->plotZeroByte(e.value);
    }
    void operator()(const BoardEvent::ZeroByteWritten& e) {
        emit board->zeroByteWriteEnded(e.written, e.text);
    }
    void operator()(const BoardEvent::EepromStepConfirmed& e) {
        if (e.state == BoardEvent::EepromStepConfirmed::Failed)
            emit board->eepromRunFailed(board->decoder.eepromRun.text());
        else
            emit board->recievedEepromParameters(e.state);
    }
    void operator()(const BoardEvent::EepromBlockRead& e) {
        switch (e.block) {
        case EepromLayout::Block::Settings:
            // The rate the board will use after its next start; the next reconnect uses it.
            board->baudRate = board->state.eeprom.image.baudRate();
            emit board->retrievedBaudrateSetting();
            break;
        case EepromLayout::Block::Production:
            emit board->retrievedProductionCode();
            break;
        case EepromLayout::Block::Runtime:
            emit board->retrievedRuntime();
            break;
        case EepromLayout::Block::Laser:
            emit board->retrievedLaserParamters();
            break;
        case EepromLayout::Block::Focus:
            emit board->retrievedFocParamSetting();
            break;
        default:
            break;
        }
    }
    // ---- production and laser ----
    void operator()(const BoardEvent::MemoryExchangeAdvanced&) { board->memoryTimer.start(); }
    void operator()(const BoardEvent::MemoryExchangeOver& e) {
        board->memoryTimer.stop();
        board->reportMemoryFailure(e.sequence, e.failure);
    }
    // ---- end production and laser ----
    void operator()(const BoardEvent::TagPollDue&) {
        if (!board->tagTimer.isActive())
            board->tagTimer.start(120);
    }
    void operator()(const BoardEvent::DisplayInfoChanged&) {
        if (!board->displayInfoKnown) {
            static const QMetaMethod changed =
                QMetaMethod::fromSignal(&CD_Board::display_info_changed);
            board->displayInfoHeard = board->isSignalConnected(changed);
            board->displayInfoKnown = true;
        }
        if (board->displayInfoHeard)
            emit board->display_info_changed();
    }
};

void CD_Board::connectNotify(const QMetaMethod&) {
    displayInfoKnown = false;
}

void CD_Board::disconnectNotify(const QMetaMethod&) {
    displayInfoKnown = false;
}

void CD_Board::apply(DecodeOutcome& outcome) {
    for (const QByteArray& request : qAsConst(outcome.requests))
        sendRequest(request);
    BoardEventApplier applier{this, window};
    for (BoardEventRecord& event : outcome.events)
        std::visit(applier, event);
    outcome.clear();
}

// ---------------------------------------------------------------------------------------------
// EEPROM image and laser history

void CD_Board::clearPlayTime(int part) {
    sendRequest(EepromLayout::runtimeClearWrite(part));
}

// ---------------------------------------------------------------------------------------------
// Production and laser: memory exchanges with a time-out, the programming steps' writes

void CD_Board::startMemoryExchange(const QByteArray& request) {
    sendRequest(request);
    memoryTimer.start();
}

void CD_Board::memoryTimeOut() {
    const MemorySequence* sequence = decoder.runningSequence();
    reportMemoryFailure(sequence, decoder.stopSequence(MemorySequence::Stop::NoAnswer));
}

void CD_Board::reportMemoryFailure(const MemorySequence* sequence, const QString& text) {
    if (text.isEmpty())
        return;
    if (sequence == &decoder.zeroByteWrite)
        emit zeroByteWriteEnded(false, text);
    else
        emit memoryExchangeFailed(text);
}

void CD_Board::cancelMemoryExchange() {
    memoryTimer.stop();
    decoder.cancelSequences();
}

void CD_Board::startEepromRun(EepromRun::Kind kind, const EepromParameters& image) {
    if (state.eeprom.eeprom_write_denied)
        qCDebug(dk61Eeprom) << "EEPROM_FAILURE: the board has refused a write before";
    DecodeOutcome out;
    decoder.eepromRun.start(kind, image, out);
    apply(out);
}

void CD_Board::stopEepromRun(const QString& text) {
    DecodeOutcome out;
    decoder.eepromRun.stop(text, out);
    apply(out);
}

// ---------------------------------------------------------------------------------------------
// Operator console and service functions

void CD_Board::sendRequests(const QList<QByteArray>& requests) {
    for (const QByteArray& request : requests)
        sendRequest(request);
}

bool CD_Board::chooseLoaderType(quint8 code) {
    return LoaderChoice::choose(state.loader, code);
}

void CD_Board::playWithMode(int mode) {
    sendRequests(PlayerRequests::playMode(mode, state.player.play_with_init));
}
