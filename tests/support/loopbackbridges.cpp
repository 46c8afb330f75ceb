#include "loopbackbridges.h"

#include "seriallink.h"
#include "testenv.h"

#include <QFile>
#include <QFileInfo>

LoopbackBridges::LoopbackBridges(const QString& directory, int count) {
    for (int n = 0; n < count; ++n)
        paths.append(directory + QStringLiteral("/bridge-%1").arg(n));
    for (int n = 0; n < count; ++n)
        plugIn(n);
    TestEnv::setVirtualPorts(paths);
    SerialLink::setDeviceFactory([this](SerialLink& link, const QString& name) -> QIODevice* {
        if (!paths.contains(name))
            return nullptr;
        ++openCount[name];
        auto* device = new LoopbackDevice;
        device->refuseOpen = refused.contains(name) || !QFileInfo::exists(name);
        QObject::connect(device, &LoopbackDevice::errorOccurred, &link, &SerialLink::handleError);
        devices[name] = device;
        return device;
    });
}

LoopbackBridges::~LoopbackBridges() {
    SerialLink::setDeviceFactory(nullptr);
    TestEnv::setVirtualPorts({});
}

LoopbackDevice* LoopbackBridges::device(int bridge) const {
    LoopbackDevice* device = devices.value(paths.value(bridge));
    return device && device->isOpen() ? device : nullptr;
}

void LoopbackBridges::unplug(int bridge) {
    QFile::remove(paths.value(bridge));
    if (LoopbackDevice* open = device(bridge))
        open->reportError(QSerialPort::ResourceError);
}

void LoopbackBridges::plugIn(int bridge) {
    QFile file(paths.value(bridge));
    file.open(QIODevice::WriteOnly);
}

void LoopbackBridges::refuseOpens(bool refuse, int bridge) {
    if (refuse)
        refused.insert(paths.value(bridge));
    else
        refused.remove(paths.value(bridge));
}
