#include "boardeventapplier.h"

#include "board/responsedecoding.h"
#include "cd_board.h"

#include <map>

BoardEventApplier::BoardEventApplier(CD_Board& board) : board(board) {
    BoardDecoder& decoder = board.decoder_;
    QObject::connect(&decoder.memoryTimer, &QTimer::timeout, &board, [this, &decoder] {
        decodeWith([&decoder](DecodeOutcome& out) { decoder.memoryTimedOut(out); });
    });
    QObject::connect(&decoder.eepromRun.timer, &QTimer::timeout, &board, [this, &decoder] {
        decodeWith([&decoder](DecodeOutcome& out) {
            decoder.eepromRun.stop(MemorySequence::Stop::NoAnswer, out);
        });
    });
}

void BoardEventApplier::frameReceived(QByteArray&& bytes) {
    const int code = static_cast<quint8>(bytes.at(0));
    const int length = static_cast<quint8>(bytes.at(1));
    board.frames.addReceived(BoardFrame{&board, std::move(bytes), QString(), code, length});
    decodePending();
}

void BoardEventApplier::decodePending() {
    // The position moves on before the frame is handled, so a handler that ends up here again
    // cannot take the same frame twice. Decoding runs no event loop, so the frame stays in the
    // journal while it is decoded.
    while (const QByteArray* bytes = board.frames.nextToDecode()) {
        // One outcome serves frame after frame and keeps its storage; a frame decoded while
        // another one's outcome is being applied (a nested event loop) gets its own.
        if (applying) {
            DecodeOutcome nested;
            board.decoder_.decode(*bytes, nested);
            apply(nested);
            continue;
        }
        board.decoder_.decode(*bytes, reusedOutcome);
        applying = true;
        apply(reusedOutcome);
        applying = false;
    }
}

void BoardEventApplier::apply(DecodeOutcome& outcome) {
    board.queue.send(outcome.requests);
    for (BoardEventRecord& event : outcome.events)
        std::visit(*this, event);
    outcome.clear();
}

void BoardEventApplier::operator()(const BoardEvent::WriteRefused&) {
    emit board.eepromWriteRefused();
}

void BoardEventApplier::operator()(const BoardEvent::PllState& e) {
    emit board.pllStateReported(e.state);
}

void BoardEventApplier::operator()(const BoardEvent::DiscCleared&) {
    emit board.discIdCleared();
    emit board.display_info_changed();
}

void BoardEventApplier::operator()(const BoardEvent::FirmwareVersion& e) {
    if (e.identified)
        emit board.board_identified();
    emit board.recieved_fw_version();
}

void BoardEventApplier::operator()(const BoardEvent::LaserReading& e) {
    emit board.laserReading(e.value);
    emit board.laser_push();
    emit board.recievedLaserCurrent();
}

void BoardEventApplier::operator()(const BoardEvent::SamplesSufficient& e) {
    // the point's mean and variance are calculated with its last reading
    if (e.point == 1) {
        emit board.recievedSufficientAdc_1Samples();
        emit board.calculatedAdc_1();
    } else {
        emit board.recievedSufficientAdc_2Samples();
        emit board.calculatedAdc_2();
    }
}

void BoardEventApplier::operator()(const BoardEvent::ModuleOff&) {
    emit board.module_off();
}

void BoardEventApplier::operator()(const BoardEvent::ServiceStep& e) {
    emit board.service_mode_step(e.step);
}

void BoardEventApplier::operator()(const BoardEvent::DiscId&) {
    emit board.recievedDiscID();
}

void BoardEventApplier::operator()(const BoardEvent::FlagStatus& e) {
    if (board.heard().flagStatus)
        emit board.flagStatusReported(e.error, e.fromFlagBoard);
}

void BoardEventApplier::operator()(const BoardEvent::FlagFirmware& e) {
    emit board.flagFirmwareReported(e.version);
}

void BoardEventApplier::operator()(BoardEvent::FlagRecord& e) {
    CFlags* record = e.record.release();
    board.flag_records.append(record);
    if (board.heard().flagRecord)
        emit board.flagRecordAdded(record, e.fromFlagBoard);
}

void BoardEventApplier::operator()(const BoardEvent::LoaderList&) {
    emit board.loaderListCleared();
    for (quint8 code : board.state().loader.possible_loaders)
        emit board.loaderEntryAdded(ResponseDecoding::loaderEntryText(code), code);
}

void BoardEventApplier::operator()(const BoardEvent::LoaderFromEeprom&) {
    emit board.retrievedloaderTypeFromEeprom();
}

void BoardEventApplier::operator()(const BoardEvent::LoaderSelected& e) {
    emit board.loaderEntrySelected(e.code);
}

void BoardEventApplier::operator()(const BoardEvent::LoaderLabel& e) {
    emit board.loaderTypeReported(e.text);
}

void BoardEventApplier::operator()(const BoardEvent::LoaderTypeOk&) {
    emit board.recieved_ev_loader_ok();
}

void BoardEventApplier::operator()(const BoardEvent::LaserHistoryRead& e) {
    const quint8* values = board.decoder_.historyRead.history_values;
    emit board.laserHistoryRead(e.runtime, e.last_index, values, values);
}

void BoardEventApplier::operator()(const BoardEvent::ZeroByteRead& e) {
    emit board.zeroByteRead(e.value);
}

void BoardEventApplier::operator()(const BoardEvent::ZeroByteWritten& e) {
    emit board.zeroByteWriteEnded(e.written, e.text);
}

void BoardEventApplier::operator()(const BoardEvent::EepromStepConfirmed& e) {
    if (e.state == BoardEvent::EepromStepConfirmed::Failed)
        emit board.eepromRunFailed(board.decoder_.eepromRun.text());
    else
        emit board.recievedEepromParameters(e.state);
}

void BoardEventApplier::operator()(const BoardEvent::EepromBlockRead& e) {
    using Block = EepromLayout::Block;
    // The rate the board will use after its next start; the next reconnect uses it.
    if (e.block == Block::Settings)
        board.rate = board.state().eeprom.image.baudRate();
    static const std::map<Block, void (CD_Board::*)()> read{
        {Block::Settings, &CD_Board::retrievedBaudrateSetting},
        {Block::Production, &CD_Board::retrievedProductionCode},
        {Block::Runtime, &CD_Board::retrievedRuntime},
        {Block::Laser, &CD_Board::retrievedLaserParamters},
        {Block::Focus, &CD_Board::retrievedFocParamSetting}};
    const auto found = read.find(e.block);
    if (found != read.end())
        emit(board.*found->second)();
}

void BoardEventApplier::operator()(const BoardEvent::MemoryExchangeOver& e) {
    if (e.failure.isEmpty())
        return;
    if (e.sequence == &board.decoder_.zeroByteWrite)
        emit board.zeroByteWriteEnded(false, e.failure);
    else
        emit board.memoryExchangeFailed(e.failure);
}

void BoardEventApplier::operator()(const BoardEvent::TagPollDue&) {
    if (!board.tagTimer.isActive())
        board.tagTimer.start(120);
}

void BoardEventApplier::operator()(const BoardEvent::DisplayInfoChanged&) {
    if (board.heard().displayInfo)
        emit board.display_info_changed();
}
