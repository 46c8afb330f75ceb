#include "portfactory.h"

#include "seriallink.h"

#include <QSerialPort>

const char* const PortFactory::VirtualPortsVariable = "DK61_VIRTUAL_PORTS";

PortFactory::PortFactory(const QStringList& virtualPaths) : virtualPaths(virtualPaths) {}

PortFactory::~PortFactory() = default;

QStringList PortFactory::virtualPathsFromEnvironment() {
    const QString value = qEnvironmentVariable(VirtualPortsVariable);
    return value.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QList<PortCandidate> PortFactory::scan() const {
    PortEnumerator enumerator;
    enumerator.setVirtualPaths(virtualPaths);
    enumerator.setHeldHere([this](const QString& name) { return isHeldOpen(name); });
    return enumerator.scan();
}

QIODevice* PortFactory::createDevice(const QString& portName, SerialLink& link) {
    auto* port = new QSerialPort(portName);
    QObject::connect(port, &QSerialPort::errorOccurred, &link, &SerialLink::handleError);
    return port;
}

bool PortFactory::isHeldOpen(const QString& portName) const {
    for (const SerialLink* link : links) {
        if (link->isOpen() && link->portName() == portName)
            return true;
    }
    return false;
}
