#include "cd_board.h"

#include "console/loaderchoice.h"
#include "flags/cflags.h"
#include "shell/logging.h"

CD_Board::CD_Board(PortFactory& ports, QObject* parent)
    : BoardReports(parent), boardLink(ports), flagLink(ports) {
    connect(&tagTimer, &QTimer::timeout, this, &CD_Board::askforTag);
    tagTimer.setSingleShot(true);
    connect(&queue, &TransmitQueue::written, this, &CD_Board::send_bytes_ready);
    // Both links frame alike into the one journal; each tells of its own passes and failures.
    const auto frame = [this](QByteArray&& bytes) { applier.frameReceived(std::move(bytes)); };
    boardLink.setHandlers(frame, [this] { emit parse_complete(); });
    flagLink.setHandlers(frame, [this] { emit parse_complete_other(); });
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
}

CD_Board::~CD_Board() {
    qDeleteAll(flag_records);
}

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
    if (which == Link::Board)
        applier.decodeWith([this](DecodeOutcome& out) { decoder_.linkClosed(out); });
    announce(which, false);
}

void CD_Board::resetLinkState() {
    state().linkDropped();
    emit statusBarChanged(StatusWording::start());
}

void CD_Board::toggle(Link which) {
    const bool boardSide = which == Link::Board;
    const bool opening = !link(which).isOpen();
    if (boardSide)
        state().link.operatorToggled(opening);
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

bool CD_Board::chooseLoaderType(quint8 code) {
    return LoaderChoice::choose(state().loader, code);
}

void CD_Board::playWithMode(int mode) {
    sendRequests(PlayerRequests::playMode(mode, state().player.play_with_init));
}

void CD_Board::startEepromRun(EepromRun::Kind kind, const EepromParameters& image) {
    if (state().eeprom.eeprom_write_denied)
        qCDebug(dk61Eeprom) << "EEPROM_FAILURE: the board has refused a write before";
    applier.decodeWith([&](DecodeOutcome& out) { decoder_.eepromRun.start(kind, image, out); });
}

void CD_Board::stopEepromRun(const QString& text) {
    applier.decodeWith([&](DecodeOutcome& out) { decoder_.eepromRun.stop(text, out); });
}
