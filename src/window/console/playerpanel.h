#ifndef PLAYERPANEL_H
#define PLAYERPANEL_H

#include "console/playerrequests.h"

#include <QObject>
#include <QTimer>

#include <optional>

class CD_Board;
class QCheckBox;
class QLabel;
class QPushButton;

// The player panel of the play page, its twin on the laser current page and the expert page's
// player buttons with the play-mode menu: the requests they send, the tool's own idea of whether
// the disc plays, the second look at a tray whose state was unknown, and the small displays fed
// by single responses (disc ID, PLL state).
class PlayerPanel : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QPushButton* play[2];    // the two Play/Pause buttons
        QPushButton* expertPlay; // carries the play-mode menu
        QCheckBox* playInit;
        QLabel* discId;
        QLabel* pll;
    };

    // How long the tray is given before the second look.
    static constexpr int TrayRecheckMs = 400;

    PlayerPanel(const Parts& parts, CD_Board& board, QObject* parent = nullptr);

    bool isPlaying() const { return playing; }
    QTimer& trayTimer() { return trayRecheck; }

    void playPause();
    void stop();
    void openClose();
    void pause() { send(PlayerRequests::pause()); }
    void next() { send(PlayerRequests::next()); }
    void previous() { send(PlayerRequests::previous()); }
    void openTray() { send(PlayerRequests::trayOpen()); }
    void closeTray() { send(PlayerRequests::trayClose()); }
    void askDiscContents() { send(PlayerRequests::discContents()); }
    // The tray reported its state, or the second look is due.
    void trayUpdate();
    // Play with mode 00, after Get Disc Contents when "PlayInit" is checked.
    void playFromStart();
    void takePlayInit();
    void showDiscId();
    void clearDiscId();
    // The PLL state reported by 0xAA: 0 not locked, 1 locked, anything else undefined.
    void showPllState(int state);

private:
    void send(const QByteArray& request);
    void showPlayState();

    Parts p;
    CD_Board& board;
    bool playing = false;
    std::optional<int> shownPll; // the state the label shows
    QTimer trayRecheck;
};

#endif // PLAYERPANEL_H
