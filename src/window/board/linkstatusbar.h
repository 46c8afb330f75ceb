#ifndef LINKSTATUSBAR_H
#define LINKSTATUSBAR_H

#include "board/statuswording.h"

#include <QString>

class QLabel;
class QPushButton;
class QStatusBar;

// The status bar's link part, left to right: the board, SPDIF and CFLAG labels, the loader type,
// the connection and the connect button. Each label carries its name as its object name.
class LinkStatusBar {
public:
    // Adds the widgets to `bar` (their parent is the bar's window).
    explicit LinkStatusBar(QStatusBar* bar);
    // Sets a label's text and colour where they differ from what it shows (a style sheet costs a
    // repolish even when it is the same).
    static void showText(QLabel* label, const StatusWording::Text& text);

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
};

#endif // LINKSTATUSBAR_H
