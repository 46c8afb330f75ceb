#ifndef WINDOWFIXTURE_H
#define WINDOWFIXTURE_H

#include "loopbackports.h"
#include "main/control_panel.h"
#include "testenv.h"

#include <QByteArray>
#include <QStringList>

#include <memory>

class CD_Board;

// The main window on in-process loopback adapters, for tests of what the window shows and sends
// without a pseudo-terminal: settings in a temporary store, `bridges` virtual USB-UART bridges
// whose links open loopback devices (the port factory handed to the window). Settings may be
// written before start(); start() builds the window, whose start-up opens the board link on the
// first bridge.
class WindowFixture {
public:
    explicit WindowFixture(int bridges = 1);
    ~WindowFixture();
    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    void
    start(Control_Panel::Configuration configuration = Control_Panel::Configuration::Delivered);

    TestEnv env;
    Control_Panel* window = nullptr;
    CD_Board* board = nullptr;
    // What the window's links open; tests may give it other virtual bridges before start().
    LoopbackPorts& ports() { return *loopbacks; }

    // A widget of the window by its object name.
    template <typename T = QWidget> T* find(const QString& name) const {
        return window->findChild<T*>(name);
    }

    // The bridges' device paths, and the loopback a link opened on bridge n (null when closed).
    QStringList bridgePaths;
    LoopbackDevice* device(int bridge = 0) const;
    // Adapter faults: bridge n is unplugged (its path goes, the open device reports the loss)
    // and plugged in again; its opens fail while refused.
    void unplug(int bridge = 0);
    void plugIn(int bridge = 0);
    void refuseOpens(bool refuse, int bridge = 0);

    // Bytes from the board (hexadecimal text, blanks ignored) through the link's receive path.
    void feed(const QString& hex, int bridge = 0);
    // Every request the board has handed to its transmit queue (written or still waiting), as
    // hexadecimal texts ("62 10 22 00"); since() those after the last mark().
    QStringList requests() const;
    void mark();
    QStringList since() const;

private:
    std::unique_ptr<LoopbackPorts> loopbacks;
    std::unique_ptr<Control_Panel> panel;
    int marked = 0;
};

#endif // WINDOWFIXTURE_H
