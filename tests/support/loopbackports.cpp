#include "loopbackports.h"

#include "seriallink.h"

#include <QFile>

LoopbackPorts::LoopbackPorts(const QStringList& bridgePaths)
    : PortFactory(bridgePaths), bridges(bridgePaths) {}

QIODevice* LoopbackPorts::createDevice(const QString& portName, SerialLink& link) {
    if (!bridges.contains(portName))
        return PortFactory::createDevice(portName, link);
    auto* device = new LoopbackDevice;
    device->refuseOpen = refused.contains(portName) || !QFile::exists(portName);
    QObject::connect(device, &LoopbackDevice::errorOccurred, &link, &SerialLink::handleError);
    devices[portName] = device;
    return device;
}

LoopbackDevice* LoopbackPorts::device(const QString& portName) const {
    LoopbackDevice* device = devices.value(portName);
    return device && device->isOpen() ? device : nullptr;
}

void LoopbackPorts::refuseOpens(const QString& portName, bool refuse) {
    if (refuse)
        refused.insert(portName);
    else
        refused.remove(portName);
}
