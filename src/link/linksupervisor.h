#ifndef LINKSUPERVISOR_H
#define LINKSUPERVISOR_H

#include "board/statuswording.h"
#include "serial_info.h"

#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class CD_Board;
class SerialLink;

// Keeps one link of the board up: finds an adapter (Serial_Info's scan and choice), opens the
// link, asks the board to identify itself and watches for its answer (board link only: the
// firmware and loader watchdogs), asks the operator Retry/Abort when no adapter can be used,
// and, while the link is down against the operator's will (a port error closed it, an open
// failed, a program that held the port let it go), looks for the adapter once per retry
// interval and reconnects as soon as one can be taken without asking. Nothing is opened while
// another program holds the port (the ISP tool).
//
// The window shows what it reports: the question through `askOperator`, the connection label on
// connectionChanged() and the board's connected/disconnected signals.
class LinkSupervisor : public QObject {
    Q_OBJECT
public:
    using Link = Serial_Info::Link;
    enum class Answer { Retry, Abort, Closed };
    // What the operator is asked when no adapter can be used.
    struct Question {
        QString text; // empty: the box has no main text
        QString informative;
        // The window may come up without an adapter (the board link's question).
        bool offerOffline = false;
        // Abort ends the program (the board link's question); the flag board link's leaves it up.
        bool abortQuits = false;
    };
    struct Intervals {
        int identifyMs = 400; // the firmware watchdog's first expiry after an open
        int answerMs = 2400;  // its period after the identification request
        int loaderMs = 400;   // the loader watchdog
        int retryMs = 1000;   // the search for a lost adapter; also how long a start that was
                              // not asked for waits after a failed open
    };

    LinkSupervisor(Serial_Info& ports, Link link, QObject* parent = nullptr);
    // The board whose link this supervises; its error reports start a new discovery.
    void attach(CD_Board& board);
    void setIntervals(const Intervals& intervals);

    // Asks the operator and returns the answer (modal; the window's message box).
    std::function<Answer(const Question&)> askOperator;
    // True while another program has the port; nothing is opened and nothing retried then.
    std::function<bool()> portHeldElsewhere;
    // A link that takes a returning adapter first while both wait for one.
    const LinkSupervisor* yieldTo = nullptr;

    // The board link's firmware watchdog (repeating) and loader watchdog; the retry of a lost
    // link. The flag board link runs no watchdogs.
    QTimer answerWatchdog;
    QTimer loaderWatchdog;
    QTimer retryTimer;

    // Finds an adapter and opens the link, unless it is open or a discovery is under way. A
    // start that was not asked for waits a retry interval after a failed open.
    void start();
    // The operator's connect button: closes an open link, or starts one as asked.
    void toggle();
    // Another program takes the port: the link closes, and the watchdogs and the retry rest
    // until resume().
    void yieldPort();
    // Another program let go of the port: the link comes back as after an unplug.
    void resume();
    // Closes the link (it comes back only when started again).
    void close();
    // No adapter was found: the question, unless the firmware watchdog found the board missing
    // and the operator did not ask to connect. Retry starts again.
    void noPortAvailable();
    // After an open: asks the board to identify itself, or notes the failed open.
    void checkConnection();
    void firmwareAnswered();
    void answerTimedOut();
    void loaderAnswered();
    void loaderTimedOut();
    // The retry timer's tick.
    void retry();

    // The link is down against the operator's will.
    bool isWaiting() const;
    // What the connection label says: the port, its rate and the board's firmware, or that the
    // link is not connected.
    QString connectionText() const;

signals:
    // The link opened (after its check).
    void opened();
    // The watchdog closed a silent board's link.
    void linkDown(const QString& reason);
    // The link changed without an open or close of the board's (the watchdog closed it).
    void connectionChanged();
    // The system refuses this user the port.
    void accessDenied(const QString& portName);
    // While the question is up the adapter came back: the question is to be answered Retry.
    void adapterBack();
    // The board answered the loader watchdog: a question still up is to be closed.
    void loaderAnswer();
    // The firmware watchdog's verdict for the status bar.
    void statusBarChanged(const StatusWording::Bar& bar);

private:
    SerialLink& link() const;
    bool held() const;
    bool boardSide() const { return which == Link::Board; }
    // The question for the last scan.
    Question question() const;
    void discover();
    void keepLooking();
    void restoreErrorConnection();
    void restoreLoaderConnection();

    Serial_Info& ports;
    const Link which;
    CD_Board* board = nullptr;
    Intervals current;
    // The next start() comes from the operator (Connect, Retry) or the retry timer.
    bool startAsked = false;
    bool asking = false;
    QMetaObject::Connection errorConnection;
    QMetaObject::Connection loaderConnection;
};

#endif // LINKSUPERVISOR_H
