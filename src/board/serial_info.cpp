#include "serial_info.h"

#include "logging.h"
#include "serial_selector.h"

Serial_Info::Serial_Info(QObject* parent) : QObject(parent) {}

Serial_Info::~Serial_Info() {
    delete selector;
    delete rememberedPort;
}

void Serial_Info::setPortSource(PortSource source) {
    portSource = std::move(source);
}

QList<PortCandidate> Serial_Info::scanPorts() const {
    return portSource ? portSource() : PortEnumerator().scan();
}

void Serial_Info::reset() {
    delete selector;
    selector = nullptr;
    candidates.clear();
    desiredTotal = 0;
    freeDesired = 0;
    lastFreeDesired = 0;
}

void Serial_Info::remember(const PortCandidate& port) {
    if (rememberedPort)
        *rememberedPort = port;
    else
        rememberedPort = new PortCandidate(port);
    hasRememberedPort = true;
}

void Serial_Info::forgetRememberedPort() {
    delete rememberedPort;
    rememberedPort = nullptr;
    hasRememberedPort = false;
}

int Serial_Info::freeRememberedIndex(const QList<PortCandidate>& ports) const {
    if (!hasRememberedPort || !rememberedPort)
        return -1;
    for (int i = 0; i < ports.size(); ++i) {
        if (ports.at(i).name == rememberedPort->name)
            return ports.at(i).busy ? -1 : i;
    }
    return -1;
}

void Serial_Info::detect() {
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
    const int remembered = freeRememberedIndex(candidates);
    if (remembered >= 0) {
        selectedPort = candidates.at(remembered);
        return;
    }
    selector = new Serial_Selector(candidates);
    connect(selector, &Serial_Selector::selected, this, &Serial_Info::manual_selection);
    selector->exec();
}

bool Serial_Info::canChooseSilently() const {
    const QList<PortCandidate> ports = scanPorts();
    int free = 0;
    for (const PortCandidate& port : ports)
        free += port.bridge && !port.busy ? 1 : 0;
    return free == 1 || (free >= 2 && freeRememberedIndex(ports) >= 0);
}

void Serial_Info::manual_selection() {
    if (!selector)
        return;
    selectedPort = selector->chosenPort();
    remember(selectedPort);
    selector->deleteLater();
    selector = nullptr;
}
