#ifndef PLAYERPANEL_H
#define PLAYERPANEL_H

#include "console/playerrequests.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class CD_Board;

// The player: the requests of the play page's buttons, of their twins on the laser current page
// and of the console page's player buttons, the tool's own idea of whether the disc plays, the
// second look at a tray whose state was unknown, and what single responses say (disc ID, PLL
// state). The pages show what it tells them.
class PlayerPanel : public QObject {
    Q_OBJECT

public:
    // How long the tray is given before the second look.
    static constexpr int TrayRecheckMs = 400;

    explicit PlayerPanel(CD_Board& board, QObject* parent = nullptr);

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
    // "PlayInit" as its check box shows it; the operator's click makes it the board's flag.
    void setPlayInit(bool checked) { playInit = checked; }
    void takePlayInit();
    void showDiscId();
    void clearDiscId();
    // The PLL state reported by 0xAA: 0 not locked, 1 locked, anything else undefined.
    void showPllState(int state);

signals:
    // "Play" or "Pause" on the Play buttons.
    void playButtonText(const QString& text);
    void discIdShown(const QString& text);
    void pllShown(const QString& text, const QString& styleSheet);

private:
    void send(const QByteArray& request);
    void showPlayState();

    CD_Board& board;
    bool playing = false;
    bool playInit = false;
    std::optional<int> shownPll; // the state last told
    QTimer trayRecheck;
};

#endif // PLAYERPANEL_H
