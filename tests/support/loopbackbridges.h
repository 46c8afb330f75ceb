#ifndef LOOPBACKBRIDGES_H
#define LOOPBACKBRIDGES_H

#include "loopbackdevice.h"

#include <QMap>
#include <QPointer>
#include <QSet>
#include <QStringList>

// USB-UART bridges in this process: virtual bridges (files in `directory`, offered through
// DK61_VIRTUAL_PORTS) whose links open loopback devices, and the faults of real adapters.
class LoopbackBridges {
public:
    LoopbackBridges(const QString& directory, int count);
    // Links open their serial ports again; no bridge is offered any more.
    ~LoopbackBridges();
    LoopbackBridges(const LoopbackBridges&) = delete;
    LoopbackBridges& operator=(const LoopbackBridges&) = delete;

    QStringList paths;
    // The loopback a link opened on bridge n (null while closed).
    LoopbackDevice* device(int bridge = 0) const;
    // How many times a link tried to open bridge n.
    int opens(int bridge = 0) const { return openCount.value(paths.value(bridge)); }

    // The adapter is unplugged: its path goes, and the open device reports the loss as an
    // unplugged adapter does. plugIn() brings the path back.
    void unplug(int bridge = 0);
    void plugIn(int bridge = 0);
    // Opens of bridge n fail (its path stays) until allowed again.
    void refuseOpens(bool refuse, int bridge = 0);

private:
    QMap<QString, QPointer<LoopbackDevice>> devices;
    QMap<QString, int> openCount;
    QSet<QString> refused;
};

#endif // LOOPBACKBRIDGES_H
