#include "boardreports.h"

#include <QMetaMethod>

const BoardReports::Heard& BoardReports::heard() {
    if (!receivers.known) {
        static const QMetaMethod displayInfo =
            QMetaMethod::fromSignal(&BoardReports::display_info_changed);
        static const QMetaMethod flagRecord =
            QMetaMethod::fromSignal(&BoardReports::flagRecordAdded);
        static const QMetaMethod flagStatus =
            QMetaMethod::fromSignal(&BoardReports::flagStatusReported);
        receivers = {true, isSignalConnected(displayInfo), isSignalConnected(flagRecord),
                     isSignalConnected(flagStatus)};
    }
    return receivers;
}

void BoardReports::connectNotify(const QMetaMethod&) {
    receivers.known = false;
}

void BoardReports::disconnectNotify(const QMetaMethod&) {
    receivers.known = false;
}
