#ifndef OPENLINK_H
#define OPENLINK_H

#include "cd_board.h"
#include "control_panel.h"
#include "ptypair.h"

// Opens the board link on the pseudo-terminal when start-up has not opened it already, so tests
// of what the window sends and receives do not depend on the adapter discovery.
inline bool openLinkIfClosed(Control_Panel* window, const PtyPair& pty) {
    CD_Board* board = window->board;
    if (!board->isPortOpen()) {
        board->setPortName(pty.slavePath());
        board->applyPortSettings();
        board->openPort();
    }
    return board->isPortOpen();
}

#endif // OPENLINK_H
