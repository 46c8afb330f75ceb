#ifndef LINKSTATUSBAR_H
#define LINKSTATUSBAR_H

#include "board/statuswording.h"

#include <QString>

class QLabel;
class QPushButton;
class QStatusBar;

// The status bar's link part, left to right: the board, SPDIF and CFLAG labels, the loader type,
// the connection and the connect button; and the message line below the flag plot. Each label
// carries its name as its object name.
class LinkStatusBar {
public:
    // Adds the widgets to `bar` (their parent is the bar's window); `message` is the flag page's
    // line.
    LinkStatusBar(QStatusBar* bar, QLabel* message);

    QPushButton* connectButton() const { return button; }

    void show(const StatusWording::Bar& bar);
    // The connection label and the connect button (Connect / Disconnect).
    void showConnection(const QString& text, bool open);
    void appendFlagFirmware(int version);
    void showLoaderType(const QString& text);

private:
    // The board, SPDIF and CFLAG labels.
    QLabel* states[3] = {};
    QLabel* loaderType = nullptr;
    QLabel* connection = nullptr;
    QPushButton* button = nullptr;
    QLabel* message = nullptr;
};

#endif // LINKSTATUSBAR_H
