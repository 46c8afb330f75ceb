#include "serial_info.h"

#include "shell/logging.h"

Serial_Info::Serial_Info(QObject* parent) : QObject(parent) {}

Serial_Info::~Serial_Info() {
    delete rememberedPort;
    delete rememberedOtherPort;
}

void Serial_Info::setPortSource(PortSource source) {
    portSource = std::move(source);
}

QList<PortCandidate> Serial_Info::scanPorts() const {
    return portSource ? portSource() : QList<PortCandidate>();
}

void Serial_Info::reset() {
    candidates.clear();
    desiredTotal = 0;
    freeDesired = 0;
    lastFreeDesired = 0;
}

void Serial_Info::remember(const PortCandidate& port) {
    PortCandidate*& slot = choosingFor == Link::Board ? rememberedPort : rememberedOtherPort;
    if (slot)
        *slot = port;
    else
        slot = new PortCandidate(port);
    (choosingFor == Link::Board ? hasRememberedPort : hasRememberedOtherPort) = true;
}

void Serial_Info::forgetRememberedPort() {
    PortCandidate*& slot = choosingFor == Link::Board ? rememberedPort : rememberedOtherPort;
    delete slot;
    slot = nullptr;
    (choosingFor == Link::Board ? hasRememberedPort : hasRememberedOtherPort) = false;
}

int Serial_Info::freeRememberedIndex(const QList<PortCandidate>& ports, Link link) const {
    const bool has = link == Link::Board ? hasRememberedPort : hasRememberedOtherPort;
    const PortCandidate* remembered = link == Link::Board ? rememberedPort : rememberedOtherPort;
    if (!has || !remembered)
        return -1;
    for (int i = 0; i < ports.size(); ++i) {
        if (ports.at(i).name == remembered->name)
            return ports.at(i).busy ? -1 : i;
    }
    return -1;
}

void Serial_Info::detect(Link link) {
    choosingFor = link;
    candidates = scanPorts();
    for (int i = 0; i < candidates.size(); ++i) {
        const PortCandidate& port = candidates.at(i);
        if (!port.bridge)
            continue;
        ++desiredTotal;
        if (!port.busy) {
            ++freeDesired;
            lastFreeDesired = i;
        }
    }
    qCDebug(dk61Link) << "bridges" << desiredTotal << "free" << freeDesired;

    if (freeDesired == 0) {
        forgetRememberedPort();
        return;
    }
    if (freeDesired == 1) {
        selectedPort = candidates.at(lastFreeDesired);
        remember(selectedPort);
        return;
    }
    // Several free bridges: the port chosen before, if it is still here and free; a remembered
    // port that has gone is not opened blindly.
    const int remembered = freeRememberedIndex(candidates, link);
    if (remembered >= 0) {
        selectedPort = candidates.at(remembered);
        return;
    }
    PortCandidate chosen;
    if (choose && choose(candidates, &chosen))
        manual_selection(chosen);
}

bool Serial_Info::canChooseSilently(Link link) const {
    const QList<PortCandidate> ports = scanPorts();
    int free = 0;
    for (const PortCandidate& port : ports)
        free += port.bridge && !port.busy ? 1 : 0;
    return free == 1 || (free >= 2 && freeRememberedIndex(ports, link) >= 0);
}

void Serial_Info::manual_selection(const PortCandidate& chosen) {
    selectedPort = chosen;
    remember(selectedPort);
}
