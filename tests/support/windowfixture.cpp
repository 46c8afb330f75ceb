#include "windowfixture.h"

#include "cd_board.h"
#include "framehex.h"

WindowFixture::WindowFixture(int count) : bridges(env.path(), count) {}

WindowFixture::~WindowFixture() {
    panel.reset();
}

void WindowFixture::start(Control_Panel::Configuration configuration) {
    panel = std::make_unique<Control_Panel>(nullptr, configuration);
    window = panel.get();
    board = window->board;
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
