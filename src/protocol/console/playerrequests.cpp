#include "console/playerrequests.h"

#include "board/requestframe.h"

QByteArray PlayerRequests::play(int mode) {
    return RequestFrame::of({0x11, 0x01, mode & 0xFF});
}
QByteArray PlayerRequests::pause() {
    return RequestFrame::of({0x13, 0x00});
}
QByteArray PlayerRequests::stop() {
    return RequestFrame::of({0x14, 0x00});
}
QByteArray PlayerRequests::next() {
    return RequestFrame::of({0x15, 0x00});
}
QByteArray PlayerRequests::previous() {
    return RequestFrame::of({0x16, 0x00});
}
QByteArray PlayerRequests::discContents() {
    return RequestFrame::of({0x21, 0x00});
}
QByteArray PlayerRequests::trackTag(int track) {
    return RequestFrame::of({0x26, 0x04, 0x00, static_cast<quint8>(track & 0xFF), 0xFF, 0x01});
}
QByteArray PlayerRequests::trayOpen() {
    return RequestFrame::of({0x31, 0x01, 0x01});
}
QByteArray PlayerRequests::trayClose() {
    return RequestFrame::of({0x32, 0x01, 0x01});
}

QList<QByteArray> PlayerRequests::playMode(int mode, bool withInit) {
    QList<QByteArray> requests;
    if (withInit)
        requests.append(discContents());
    requests.append(play(mode));
    return requests;
}

QList<QByteArray> PlayerRequests::playPause(bool& playing, bool withInit) {
    if (playing) {
        playing = false;
        return {pause()};
    }
    playing = true;
    return playMode(0, withInit);
}

QByteArray PlayerRequests::openClose(quint8 trayState, bool& recheck) {
    recheck = false;
    switch (trayState) {
    case 1:
    case 3:
        return trayClose();
    case 2:
    case 4:
        return trayOpen();
    default:
        recheck = true;
        return trayOpen();
    }
}

QList<QByteArray> PlayerRequests::trayRecheck(quint8 trayState) {
    if (trayState == 1)
        return {trayClose()};
    if (trayState == 2)
        return {trayOpen()};
    return {};
}
