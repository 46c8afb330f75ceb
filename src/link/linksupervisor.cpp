#include "linksupervisor.h"

#include "cd_board.h"
#include "dk61version.h"
#include "shell/logging.h"

LinkSupervisor::LinkSupervisor(Serial_Info& ports, Link link, QObject* parent)
    : QObject(parent), ports(ports), which(link) {
    retryTimer.setTimerType(Qt::PreciseTimer);
    setIntervals(Intervals());
    connect(&answerWatchdog, &QTimer::timeout, this, &LinkSupervisor::answerTimedOut);
    connect(&retryTimer, &QTimer::timeout, this, &LinkSupervisor::retry);
    restoreLoaderConnection();
}

void LinkSupervisor::attach(CD_Board& attached) {
    board = &attached;
    restoreErrorConnection();
    // The operator asked the board for the closed link.
    connect(board, boardSide() ? &CD_Board::startup_requested : &CD_Board::startup_other_requested,
            this, &LinkSupervisor::start);
}

void LinkSupervisor::setIntervals(const Intervals& intervals) {
    current = intervals;
    retryTimer.setInterval(intervals.retryMs);
}

SerialLink& LinkSupervisor::link() const {
    return board->link(which);
}

bool LinkSupervisor::held() const {
    return portHeldElsewhere && portHeldElsewhere();
}

bool LinkSupervisor::isWaiting() const {
    return link().isLost() && !link().isOpen();
}

QString LinkSupervisor::connectionText() const {
    const SerialLink& l = link();
    const LinkWatch& watch = board->state().link;
    return l.isOpen() ? StatusWording::connection(l.portName(), l.baudRate(), watch.has_FW_Version,
                                                  watch.fw_version)
                      : StatusWording::notConnected();
}

void LinkSupervisor::keepLooking() {
    if (isWaiting() && !retryTimer.isActive())
        retryTimer.start();
}

void LinkSupervisor::restoreErrorConnection() {
    if (!errorConnection)
        errorConnection =
            boardSide()
                ? connect(board, &CD_Board::transmission_error, this, &LinkSupervisor::start)
                : connect(board, &CD_Board::transmission_error_other, this, &LinkSupervisor::start);
}

void LinkSupervisor::restoreLoaderConnection() {
    if (!loaderConnection)
        loaderConnection =
            connect(&loaderWatchdog, &QTimer::timeout, this, &LinkSupervisor::loaderTimedOut);
}

// ---------------------------------------------------------------------------------------------
// Discovery and open

void LinkSupervisor::start() {
    const bool asked = startAsked;
    startAsked = false;
    // The program that holds the port gives it back through resume().
    if (held())
        return;
    keepLooking();
    if (link().isOpen() || ports.discoveryRunning)
        return;
    // An adapter that just failed to open is tried again by the retry timer.
    const QElapsedTimer& failedOpen = link().failedOpenClock();
    if (!asked && failedOpen.isValid() && failedOpen.elapsed() < current.retryMs)
        return;
    ports.discoveryRunning = true;
    discover();
    ports.discoveryRunning = false;
    keepLooking();
}

void LinkSupervisor::discover() {
    // Error reports caused by the steps below must not start a second discovery; after a
    // discovery that found nothing they stay detached until one succeeds.
    disconnect(errorConnection);
    ports.reset();
    ports.detect(which);
    link().setPortName(ports.selectedPortInfo().portName());
    qCDebug(dk61Link) << "startup detected" << ports.desiredCount() << "ports desired total";
    if (ports.freeDesiredCount() == 0) {
        noPortAvailable();
        return;
    }
    link().applySettings(board->baudRate());
    board->open(which);
    if (boardSide()) {
        answerWatchdog.start(current.identifyMs);
        loaderWatchdog.start(current.loaderMs);
    }
    checkConnection();
    restoreErrorConnection();
}

void LinkSupervisor::checkConnection() {
    qCDebug(dk61Link) << __LINE__ << "linksupervisor.cpp"
                      << "Calling function is_connected";
    SerialLink& l = link();
    if (l.isOpen()) {
        if (boardSide() && !board->state().link.has_FW_Version) {
            board->sendShortRequest(1);
            answerWatchdog.start(current.answerMs);
            board->state().flags.flag_data_seen = false;
        }
        emit opened();
        qCDebug(dk61Link) << "Port open and connected";
        return;
    }
    // The program stays up and unconnected; an adapter that was found but would not open is
    // tried again, at most once per retry interval.
    qCDebug(dk61Link) << "PORT NOT OPEN" << l.errorString();
    if (l.accessDenied())
        emit accessDenied(l.portName());
    if (!l.portName().isEmpty()) {
        l.setLost(true);
        keepLooking();
    }
}

LinkSupervisor::Question LinkSupervisor::question() const {
    const QString program = QStringLiteral("PC-Tool v" DK61_VERSION);
    const bool present = ports.desiredCount() > 0;
    Question question;
    // Bridges that are all held by other programs are named as such on both links.
    question.text = present ? program + QStringLiteral(" could detect a UART-Bridge, but it is "
                                                       "being used by another Program")
                            : program + QStringLiteral(" could not detect a UART-Bridge");
    question.informative = QStringLiteral("Do you want to retry or abort?");
    if (boardSide()) {
        if (!present)
            question.informative.prepend(QStringLiteral("Could not detect a UART-Bridge! "));
        question.offerOffline = true;
        question.abortQuits = true;
    }
    return question;
}

void LinkSupervisor::noPortAvailable() {
    // The loader poll must not run its slot while the question is up.
    disconnect(loaderConnection);
    Answer answer = Answer::Closed;
    // After the firmware watchdog found no board, nobody is asked unless they asked to connect.
    const LinkWatch& watch = board->state().link;
    if (!boardSide() || watch.userConnect || !watch.noBoard) {
        asking = true;
        answer = askOperator ? askOperator(question()) : Answer::Closed;
        asking = false;
    }
    restoreLoaderConnection();
    if (answer != Answer::Retry)
        return;
    // Retry belongs to the discovery that asked.
    const bool running = ports.discoveryRunning;
    ports.discoveryRunning = false;
    startAsked = true;
    start();
    ports.discoveryRunning = running;
}

// ---------------------------------------------------------------------------------------------
// The operator, other programs, the retry

void LinkSupervisor::toggle() {
    startAsked = true;
    board->toggle(which);
    startAsked = false;
}

void LinkSupervisor::yieldPort() {
    answerWatchdog.stop();
    loaderWatchdog.stop();
    retryTimer.stop();
    board->close(which);
}

void LinkSupervisor::resume() {
    if (!link().isOpen())
        link().setLost(true);
    startAsked = true;
    start();
}

void LinkSupervisor::close() {
    if (!link().isOpen())
        return;
    board->close(which);
    qCDebug(dk61Link) << "port.isOpen == true"
                      << "linksupervisor.cpp"
                      << "LINE" << __LINE__;
}

void LinkSupervisor::retry() {
    if (!isWaiting()) {
        retryTimer.stop();
        return;
    }
    if (held() || (yieldTo && yieldTo->isWaiting()))
        return;
    // Only an adapter that can be taken without asking is taken; a choice stays the operator's.
    if (!ports.canChooseSilently(which))
        return;
    qCDebug(dk61Link) << "adapter back, reconnecting";
    if (asking) {
        emit adapterBack();
    } else if (!ports.discoveryRunning) {
        startAsked = true;
        start();
    }
}

// ---------------------------------------------------------------------------------------------
// Watchdogs

void LinkSupervisor::firmwareAnswered() {
    qCDebug(dk61Link) << "FWVersion"
                      << "FW Version: " << board->state().link.fw_version;
    answerWatchdog.stop();
}

// Repeats at every expiry until the firmware version arrives.
void LinkSupervisor::answerTimedOut() {
    qCDebug(dk61Link) << "NO FW VERSION DETECTED";
    LinkWatch& watch = board->state().link;
    // A link the operator closed is no fault of the board.
    const bool closedByOperator = watch.userDisconnect && !link().isOpen();
    emit statusBarChanged(closedByOperator
                              ? StatusWording::closedByOperator()
                              : StatusWording::watchdog(watch.board_answered, watch.wrong_board));
    if (watch.wrong_board || !watch.board_answered) {
        if (!watch.noBoardReported && !watch.userDisconnect) {
            watch.noBoardReported = true;
            watch.noBoard = true;
        }
        if (!watch.board_answered && !watch.userDisconnect) {
            if (link().isOpen()) {
                emit linkDown(QStringLiteral("no answer from the board"));
                link().close();
            }
            emit connectionChanged();
            start();
            board->state().flags.flag_fw_shown = false;
        }
    }
    watch.board_answered = false;
    watch.wrong_board = false;
}

void LinkSupervisor::loaderAnswered() {
    loaderWatchdog.stop();
    emit loaderAnswer();
}

void LinkSupervisor::loaderTimedOut() {
    loaderWatchdog.stop();
    qCDebug(dk61Link) << "NO LOADER VERSION DETECTED";
}
