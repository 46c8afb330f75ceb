#include "linkpair.h"

#include "cd_board.h"
#include "shell/logging.h"

LinkPair::LinkPair(Serial_Info& ports, QObject* parent)
    : QObject(parent), boardLink(ports, LinkSupervisor::Link::Board),
      flagLink(ports, LinkSupervisor::Link::Other) {
    flagLink.yieldTo = &boardLink;
    connect(&boardLink, &LinkSupervisor::connectionChanged, this, &LinkPair::connectionChanged);
}

void LinkPair::attach(CD_Board& attached) {
    board = &attached;
    boardLink.attach(attached);
    flagLink.attach(attached);
    for (auto changed :
         {&CD_Board::connected_to_serial_port, &CD_Board::disconnected_from_serial_port})
        connect(board, changed, this, &LinkPair::connectionChanged);
}

void LinkPair::setAskOperator(
    const std::function<LinkSupervisor::Answer(LinkSupervisor&, const LinkSupervisor::Question&)>&
        ask) {
    for (LinkSupervisor* supervisor : {&boardLink, &flagLink})
        supervisor->askOperator = [ask, supervisor](const LinkSupervisor::Question& question) {
            return ask(*supervisor, question);
        };
}

void LinkPair::setPortHeldElsewhere(const std::function<bool()>& held) {
    boardLink.portHeldElsewhere = flagLink.portHeldElsewhere = held;
}

void LinkPair::firmwareAnswered() {
    boardLink.firmwareAnswered();
    emit connectionChanged();
}

void LinkPair::loaderAnswered() {
    boardLink.loaderAnswered();
    emit connectionChanged();
}

void LinkPair::changeBaudRate(int baud, bool reconnect) {
    qCDebug(dk61Link) << "resetBaudrate(" << baud << ")";
    if (!reconnect) {
        board->link(CD_Board::Link::Board).setBaudRate(baud);
        board->link(CD_Board::Link::Other).setBaudRate(baud);
        return;
    }
    boardLink.close();
    flagLink.close();
    board->setBaudRate(baud);
    boardLink.start();
    flagLink.start();
}

bool LinkPair::boardLinkOpen() const {
    return board && board->isPortOpen();
}
