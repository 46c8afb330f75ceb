#include "windowfixture.h"

#include "cd_board.h"
#include "framehex.h"
#include "seriallink.h"

#include <QFile>

WindowFixture::WindowFixture(int bridges) {
    for (int n = 0; n < bridges; ++n) {
        bridgePaths.append(env.path() + QStringLiteral("/bridge-%1").arg(n));
        plugIn(n);
    }
    TestEnv::setVirtualPorts(bridgePaths);
    SerialLink::setDeviceFactory([this](SerialLink& link, const QString& name) -> QIODevice* {
        if (!bridgePaths.contains(name))
            return nullptr;
        auto* device = new LoopbackDevice;
        device->refuseOpen = refused.contains(name) || !QFile::exists(name);
        QObject::connect(device, &LoopbackDevice::errorOccurred, &link, &SerialLink::handleError);
        devices[name] = device;
        return device;
    });
}

WindowFixture::~WindowFixture() {
    panel.reset();
    SerialLink::setDeviceFactory(nullptr);
    TestEnv::setVirtualPorts({});
}

void WindowFixture::start(Control_Panel::Configuration configuration) {
    panel = std::make_unique<Control_Panel>(nullptr, configuration);
    window = panel.get();
    board = window->cdBoard();
}

LoopbackDevice* WindowFixture::device(int bridge) const {
    LoopbackDevice* device = devices.value(bridgePaths.value(bridge));
    return device && device->isOpen() ? device : nullptr;
}

void WindowFixture::unplug(int bridge) {
    QFile::remove(bridgePaths.value(bridge));
    if (LoopbackDevice* open = device(bridge))
        open->reportError(QSerialPort::ResourceError);
}

void WindowFixture::plugIn(int bridge) {
    QFile(bridgePaths.value(bridge)).open(QIODevice::WriteOnly);
}

void WindowFixture::refuseOpens(bool refuse, int bridge) {
    if (refuse)
        refused.insert(bridgePaths.value(bridge));
    else
        refused.remove(bridgePaths.value(bridge));
}

void WindowFixture::feed(const QString& hex, int bridge) {
    if (LoopbackDevice* d = device(bridge))
        d->inject(FrameHex::bytes(hex));
}

QStringList WindowFixture::requests() const {
    QStringList texts;
    for (qint64 i = board->sentFrames.firstIndex(); i < board->sentFrames.size(); ++i)
        texts.append(FrameHex::text(board->sentFrames.at(i)));
    for (const QByteArray& frame : board->txFrames)
        texts.append(FrameHex::text(frame));
    return texts;
}

void WindowFixture::mark() {
    marked = requests().size();
}

QStringList WindowFixture::since() const {
    return requests().mid(marked);
}
