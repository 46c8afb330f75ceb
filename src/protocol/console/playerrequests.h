#ifndef PLAYERREQUESTS_H
#define PLAYERREQUESTS_H

#include <QByteArray>
#include <QList>

// The requests of the player panel and of the play-mode menu, and the decisions behind its two
// toggles (Play/Pause, Open/Close), which follow the tool's own idea of the player and the tray
// state the board last reported.
class PlayerRequests {
public:
    static QByteArray play(int mode);      // 11 01 mode
    static QByteArray pause();             // 13 00
    static QByteArray stop();              // 14 00
    static QByteArray next();              // 15 00
    static QByteArray previous();          // 16 00
    static QByteArray discContents();      // 21 00
    static QByteArray trackTag(int track); // 26 04 00 track FF 01: the tag of a track
    static QByteArray trayOpen();          // 31 01 01
    static QByteArray trayClose();         // 32 01 01

    // Play with a mode byte, asking for the disc contents first when the play-with-init flag
    // is set.
    static QList<QByteArray> playMode(int mode, bool withInit);

    // Play/Pause: pauses when playing, else plays (mode 00); `playing` becomes the new state.
    static QList<QByteArray> playPause(bool& playing, bool withInit);

    // Open/Close by the tray state (1 and 3 open or opening, 2 and 4 closed or closing). With an
    // unknown state the tray is opened and `recheck` asks to look again shortly.
    static QByteArray openClose(quint8 trayState, bool& recheck);
    // The second look: close an open tray, open a closed one; nothing for any other state.
    static QList<QByteArray> trayRecheck(quint8 trayState);
};

#endif // PLAYERREQUESTS_H
