#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "control_panel.h"
#include "loopbackbridges.h"
#include "testenv.h"

#include <QByteArray>
#include <QStringList>

#include <memory>

class CD_Board;

// The main window on in-process loopback adapters, for tests of what the window shows and sends
// without a pseudo-terminal: settings in a temporary store, `bridges` virtual USB-UART bridges
// whose links open loopback devices. Settings may be written before start(); start() builds the
// window, whose start-up opens the board link on the first bridge.
class WindowFixture {
public:
    explicit WindowFixture(int bridges = 1);
    ~WindowFixture();
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    void
    start(Control_Panel::Configuration configuration = Control_Panel::Configuration::Delivered);

    TestEnv env;
    // The bridges, their loopbacks and faults.
    LoopbackBridges bridges;
    Control_Panel* window = nullptr;
    CD_Board* board = nullptr;

    // A widget of the window by its object name.
    template <typename T = QWidget> T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }

    // The bridges' device paths, and the loopback a link opened on bridge n (null when closed).
    const QStringList& bridgePaths = bridges.paths;
    LoopbackDevice* device(int bridge = 0) const { return bridges.device(bridge); }

    // Bytes from the board (hexadecimal text, blanks ignored) through the link's receive path.
    void feed(const QString& hex, int bridge = 0);
    // Every request the board has handed to its transmit queue (written or still waiting), as
    // hexadecimal texts ("62 10 22 00"); since() those after the last mark().
    QStringList requests() const;
    void mark();
    QStringList since() const;

private:
    std::unique_ptr<Control_Panel> panel;
    int marked = 0;
};

#endif // WINDOWFIXTURE_H
