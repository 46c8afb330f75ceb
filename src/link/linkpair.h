#ifndef LINKPAIR_H
#define LINKPAIR_H

#include "linksupervisor.h"

#include <QObject>
#include <QString>

class CD_Board;
class Serial_Info;

// The board's two links kept up together: the board link's supervisor and the flag board link's,
// the flag board link giving way when an adapter comes back for both. The board's answers to the
// identification request go to the board link's watchdogs, and every change that the connection
// label shows is told by connectionChanged().
class LinkPair : public QObject {
    Q_OBJECT
public:
    explicit LinkPair(Serial_Info& ports, QObject* parent = nullptr);

    // Both supervisors watch `board`'s links from now on.
    void attach(CD_Board& board);
    LinkSupervisor& boardSide() { return boardLink; }
    LinkSupervisor& flagSide() { return flagLink; }
    // The same answers from the window, asked of both supervisors.
    void setAskOperator(const std::function<LinkSupervisor::Answer(
                            LinkSupervisor&, const LinkSupervisor::Question&)>& ask);
    void setPortHeldElsewhere(const std::function<bool()>& held);

    // The board named its firmware / its loader answered: the watchdog is satisfied.
    void firmwareAnswered();
    void loaderAnswered();
    // The link rate chosen in the settings: both links take it at their next open, or, with
    // `reconnect`, both close and start again at once.
    void changeBaudRate(int baud, bool reconnect);
    // What the connection label says, and whether the board link is open.
    QString connectionText() const { return boardLink.connectionText(); }
    bool boardLinkOpen() const;

signals:
    void connectionChanged();

private:
    LinkSupervisor boardLink;
    LinkSupervisor flagLink;
    CD_Board* board = nullptr;
};

#endif // LINKPAIR_H
