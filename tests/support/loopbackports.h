#ifndef LOOPBACKPORTS_H
#define LOOPBACKPORTS_H

#include "loopbackdevice.h"
#include "portfactory.h"

#include <QMap>
#include <QPointer>
#include <QSet>
#include <QStringList>

// The port factory of tests: the given paths are virtual bridges whose links open in-process
// loopback devices (the test plays the board on them); any other port opens as a serial port.
// A bridge's path must exist for the discovery to offer it and for an open to succeed, as with a
// pseudo-terminal.
class LoopbackPorts : public PortFactory {
public:
    explicit LoopbackPorts(const QStringList& bridgePaths = {});

    QIODevice* createDevice(const QString& portName, SerialLink& link) override;
    // The loopback the last open of `portName` made (null when none, or when it is closed).
    LoopbackDevice* device(const QString& portName) const;
    // Opens of `portName` fail while refused (a device that is gone or taken).
    void refuseOpens(const QString& portName, bool refuse);

private:
    QStringList bridges;
    QMap<QString, QPointer<LoopbackDevice>> devices;
    QSet<QString> refused;
};

#endif // LOOPBACKPORTS_H
