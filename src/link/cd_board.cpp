#include "cd_board.h"

#include "boardeventapplier.h"
#include "console/loaderchoice.h"
#include "console/playerrequests.h"
#include "flags/cflags.h"
#include "shell/logging.h"

#include <QMetaMethod>

CD_Board::CD_Board(PortFactory& ports, QObject* parent)
    : QObject(parent), boardLink(ports), flagLink(ports) {
    connect(&tagTimer, &QTimer::timeout, this, &CD_Board::askforTag);
    tagTimer.setSingleShot(true);
    connect(&queue, &TransmitQueue::written, this, &CD_Board::send_bytes_ready);
    // Both links frame alike into the one journal; each tells of its own passes and failures.
    const auto frameHandler = [this](QByteArray&& frame) { frameReceived(std::move(frame)); };
    boardLink.setHandlers(frameHandler, [this] { emit parse_complete(); });
    flagLink.setHandlers(frameHandler, [this] { emit parse_complete_other(); });
    for (Link which : {Link::Board, Link::Other}) {
        SerialLink* l = &link(which);
        connect(l, &SerialLink::debugTextReceived, this, [this](const QByteArray& text) {
            shownDebugText = text;
            emit show_debug_message();
        });
        const auto error = which == Link::Board ? &CD_Board::transmission_error
                                                : &CD_Board::transmission_error_other;
        connect(l, &SerialLink::errorReported, this, error);
        connect(l, &SerialLink::broken, this, [this, which, error] {
            if (which == Link::Board)
                resetLinkState();
            close(which);
            emit(this->*error)();
        });
    }
    // A memory exchange or a programming step whose reply did not come in time ends.
    connect(&decoder_.memoryTimer, &QTimer::timeout, this,
            [this] { decodeWith([this](DecodeOutcome& out) { decoder_.memoryTimedOut(out); }); });
    connect(&decoder_.eepromRun.timer, &QTimer::timeout, this, [this] {
        decodeWith([this](DecodeOutcome& out) {
            decoder_.eepromRun.stop(MemorySequence::Stop::NoAnswer, out);
        });
    });
}

CD_Board::~CD_Board() {
    qDeleteAll(flag_records);
}

// ---------------------------------------------------------------------------------------------
// Links

void CD_Board::setBaudRate(int baud) {
    rate = baud;
    boardLink.setBaudRate(baud);
    flagLink.setBaudRate(baud);
}

void CD_Board::announce(Link which, bool opened) {
    if (which == Link::Board)
        opened ? emit connected_to_serial_port() : emit disconnected_from_serial_port();
    else
        opened ? emit connected_to_serial_port_other() : emit disconnected_from_serial_port_other();
}

void CD_Board::open(Link which) {
    link(which).open();
    announce(which, true);
}

void CD_Board::close(Link which) {
    link(which).close();
    if (which == Link::Board) {
        decodeWith([this](DecodeOutcome& out) { decoder_.linkClosed(out); });
        qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                          << "has_FW_Version set to false";
    }
    announce(which, false);
}

void CD_Board::resetLinkState() {
    state().link.wrong_board = state().link.noBoardReported = false;
    state().flags.flag_data_seen = false;
    emit statusBarChanged(StatusWording::start());
    state().loader.loader_type_known = false;
    state().loader.loader_type = 0;
}

void CD_Board::toggle(Link which) {
    qCDebug(dk61Link) << __LINE__ << "cd_board.cpp"
                      << "Calling function connect_disconnect()";
    const bool boardSide = which == Link::Board;
    const bool opening = !link(which).isOpen();
    LinkWatch& watch = state().link;
    if (boardSide) {
        watch.noBoard = false;
        watch.userConnect = opening;
        watch.userDisconnect = !opening;
    }
    link(which).setLost(false);
    if (opening) {
        boardSide ? emit startup_requested() : emit startup_other_requested();
        return;
    }
    if (boardSide)
        resetLinkState();
    close(which);
    if (boardSide)
        emit statusBarChanged(StatusWording::closedByOperator());
}

// ---------------------------------------------------------------------------------------------
// Requests

void CD_Board::send2(qint64 length) {
    sendLength = length;
    qCDebug(dk61Link) << "send2";
    queue.enqueue(sendBuffer, static_cast<int>(length));
    sendBuffer.clear();
}

void CD_Board::sendRequest(const QByteArray& frame) {
    sendBuffer = frame;
    send2(frame.size());
}

void CD_Board::sendRequests(const QList<QByteArray>& requests) {
    for (const QByteArray& request : requests)
        sendRequest(request);
}

void CD_Board::sendShortRequest(int n) {
    sendBuffer.clear();
    sendBuffer.append(static_cast<char>(0xA0 | (n & 0x0F)));
    send2(1);
}

void CD_Board::askforTag() {
    const int track = state().player.current_track;
    sendRequest(QByteArray::fromRawData("\x26\x04\x00", 3) + char(track & 0xFF) +
                QByteArray::fromRawData("\xFF\x01", 2));
}

bool CD_Board::chooseLoaderType(quint8 code) {
    return LoaderChoice::choose(state().loader, code);
}

void CD_Board::playWithMode(int mode) {
    sendRequests(PlayerRequests::playMode(mode, state().player.play_with_init));
}

// ---------------------------------------------------------------------------------------------
// Frames in

void CD_Board::frameReceived(QByteArray&& bytes) {
    const int code = static_cast<quint8>(bytes.at(0));
    const int length = static_cast<quint8>(bytes.at(1));
    frames.addReceived(BoardFrame{this, std::move(bytes), QString(), code, length});
    parseCommand();
}

void CD_Board::parseCommand() {
    // The position moves on before the frame is handled, so a handler that ends up here again
    // cannot take the same frame twice. Decoding runs no event loop, so the frame stays in the
    // journal while it is decoded.
    while (const QByteArray* bytes = frames.nextToDecode()) {
        // One outcome serves frame after frame and keeps its storage; a frame decoded while
        // another one's outcome is being applied (a nested event loop) gets its own.
        if (applying) {
            DecodeOutcome nested;
            decoder_.decode(*bytes, nested);
            apply(nested);
            continue;
        }
        decoder_.decode(*bytes, reusedOutcome);
        applying = true;
        apply(reusedOutcome);
        applying = false;
    }
}

void CD_Board::apply(DecodeOutcome& outcome) {
    BoardEventApplier(*this).apply(outcome);
}

void CD_Board::connectNotify(const QMetaMethod&) {
    receivers.known = false;
}

void CD_Board::disconnectNotify(const QMetaMethod&) {
    receivers.known = false;
}

void CD_Board::askReceivers() {
    static const QMetaMethod displayInfo = QMetaMethod::fromSignal(&CD_Board::display_info_changed);
    static const QMetaMethod flagRecord = QMetaMethod::fromSignal(&CD_Board::flagRecordAdded);
    static const QMetaMethod flagStatus = QMetaMethod::fromSignal(&CD_Board::flagStatusReported);
    receivers = {true, isSignalConnected(displayInfo), isSignalConnected(flagRecord),
                 isSignalConnected(flagStatus)};
}

// ---------------------------------------------------------------------------------------------
// The programming run

void CD_Board::setTimeouts(const Timeouts& timeouts) {
    waits = timeouts;
    decoder_.memoryTimer.setInterval(timeouts.memoryMs);
    decoder_.eepromRun.setTimeoutPerRequest(timeouts.eepromRequestMs);
}

void CD_Board::startEepromRun(EepromRun::Kind kind, const EepromParameters& image) {
    if (state().eeprom.eeprom_write_denied)
        qCDebug(dk61Eeprom) << "EEPROM_FAILURE: the board has refused a write before";
    decodeWith([&](DecodeOutcome& out) { decoder_.eepromRun.start(kind, image, out); });
}

void CD_Board::stopEepromRun(const QString& text) {
    decodeWith([&](DecodeOutcome& out) { decoder_.eepromRun.stop(text, out); });
}
