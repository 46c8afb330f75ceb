#include "windowfixture.h"

#include "cd_board.h"
#include "framehex.h"

#include <QFile>

WindowFixture::WindowFixture(int bridges) {
    for (int n = 0; n < bridges; ++n) {
        bridgePaths.append(env.path() + QStringLiteral("/bridge-%1").arg(n));
        plugIn(n);
    }
    loopbacks = std::make_unique<LoopbackPorts>(bridgePaths);
}

WindowFixture::~WindowFixture() {
    panel.reset();
}

void WindowFixture::start(Control_Panel::Configuration configuration) {
    panel = std::make_unique<Control_Panel>(*loopbacks, nullptr, configuration);
    window = panel.get();
    board = window->cdBoard();
}

LoopbackDevice* WindowFixture::device(int bridge) const {
    return loopbacks->device(bridgePaths.value(bridge));
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
    loopbacks->refuseOpens(bridgePaths.value(bridge), refuse);
}

void WindowFixture::feed(const QString& hex, int bridge) {
    if (LoopbackDevice* d = device(bridge))
        d->inject(FrameHex::bytes(hex));
}

QStringList WindowFixture::requests() const {
    QStringList texts;
    const IndexedList<QByteArray>& sent = board->journal().sentFrames();
    for (qint64 i = sent.firstIndex(); i < sent.size(); ++i)
        texts.append(FrameHex::text(sent.at(i)));
    for (const QByteArray& frame : board->transmitQueue().pending())
        texts.append(FrameHex::text(frame));
    return texts;
}

void WindowFixture::mark() {
    marked = requests().size();
}

QStringList WindowFixture::since() const {
    return requests().mid(marked);
}
