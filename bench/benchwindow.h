#ifndef BENCHWINDOW_H
#define BENCHWINDOW_H

#include "portfactory.h"
#include "ptypair.h"
#include "testenv.h"

#include <memory>

class Control_Panel;

// The main window as an operator runs it, for the benchmarks: a temporary settings store with the
// log and flag files switched on in a temporary directory, one virtual bridge on a
// pseudo-terminal whose far end is read and discarded, "show data" checked, the flag plot's
// window at its widest (60 s), the window shown (offscreen) at 900 x 700.
class BenchWindow {
public:
    explicit BenchWindow(bool files = true);
    ~BenchWindow();
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    Control_Panel* window() const { return panel.get(); }
    // Runs what the event loop has pending (queued redraws, paints, timers) and throws away what
    // the tool wrote to the board.
    void settle();
    // Directory of the log and flag files.
    QString filesPath() const { return env.path(); }

private:
    TestEnv env;
    PtyPair pty;
    PortFactory ports{{pty.slavePath()}};
    std::unique_ptr<Control_Panel> panel;
};

#endif // BENCHWINDOW_H
