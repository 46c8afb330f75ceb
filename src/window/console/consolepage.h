#ifndef CONSOLEPAGE_H
#define CONSOLEPAGE_H

#include "console/hexinput.h"
#include "console/trafficfeed.h"

#include <QPair>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

class CD_Board;
class DataLogTools;
class LaserList;
class PlayerPanel;
class QLabel;
class TrafficView;

namespace Ui {
class ConsolePage;
}

// The console page (the Data Log of the delivered tool): the view (only while "show data" is
// checked) and the log file get every frame received and every request written, once and in
// order. The typed-request line sends what is typed there, recalls written requests with Up and
// Down, and takes the texts of the test buttons, which it shows beside the view on demand. The
// player's buttons with the play-mode menu, the laser current and the ring of the last 64 laser
// readings, from whose average the zero-hour byte is written.
class ConsolePage : public QWidget {
    Q_OBJECT

public:
    // The view keeps the newest lines; older ones fall off the top (the log file keeps them all).
    static constexpr int MaxLines = 20000;

    // What the page asks the window for.
    struct Services {
        std::function<qint64()> elapsedMs;                // the session clock
        std::function<void(const QStringList&)> logLines; // into the log file
        std::function<QString()> logDirectory;            // where "Save view..." proposes a file
        // Why no exchange with the board's memory can start now (empty: it can).
        std::function<QString()> memoryBusy;
    };

    ConsolePage(CD_Board& board, PlayerPanel& player, LaserList& readings, const Services& services,
                QWidget* parent = nullptr);
    ~ConsolePage() override;

    // ---- the view and the log file ----
    // The frames received since the last call / the requests written since the last call.
    void takeReceived();
    void takeSent();
    // The board's receive buffer as a line (text the board printed).
    void takeDebugText();
    // Lines for the view, while "show data" is checked.
    void show(const QStringList& lines);
    TrafficView& view() const { return *trafficView; }
    DataLogTools& tools() const { return *dataLogTools; }
    // How far the view and the log file have got: the next frame / request to take, and the
    // request the typed-request line recalled last.
    qint64 receivedIndex() const { return received; }
    qint64 sentIndex() const { return sent; }
    qint64 recallIndex() const { return recalled; }

    // ---- the typed-request line ----
    void sendTyped();
    void formatTyped();
    void recallOlder();
    void recallNewer();
    // A command text through the typed-request line, as if typed there and sent.
    void sendText(const QString& text);

    // ---- the test buttons: beside the view in a larger window, or hidden again ----
    void toggleTestButtons();
    bool testButtonsShown() const { return testShown; }

    // ---- laser current, the ring of readings and the zero-hour byte ----
    void requestCurrent();
    void showCurrent();
    void showAverage();
    void showCount(int count);
    // The write waits for the board to show the byte it holds.
    void writeZeroHourByte();
    void zeroHourByteWritten(bool written, const QString& text);

    // ---- the window ----
    // "Connect" or "Disconnect", as the status bar's button.
    void showConnected(bool open);
    void showServiceWarning(bool shown);
    // The delivered tool's Data Log: the view with "show data", nothing else.
    void showTrafficOnly(const QSize& window);
    // Lays the page (`page` its size) out for a window of W x H: the view grows with the window,
    // the column beside it keeps to its right edge, the typed-request line to its bottom.
    void fitWindow(const QSize& page, int W, int H);

signals:
    // The board's time and track after a batch, for the player's displays.
    void positionShown(const QString& time, const QString& track);
    void connectPressed();
    // "Show Testbuttons" / "Hide Testbuttons": the window is laid out again.
    void testButtonsPressed();

private:
    void wirePlayer(PlayerPanel& player);
    void wireTestButtons();
    void wireLaser();
    void showReceived(const TrafficFeed::Received& update);
    void sendRequest(const HexInput::Request& request);
    void recall(qint64 index);
    void showZeroHourByte(const QString& text, const char* styleSheet);

    std::unique_ptr<Ui::ConsolePage> ui;
    CD_Board& board;
    LaserList& readings;
    Services services;
    TrafficView* trafficView = nullptr;
    DataLogTools* dataLogTools = nullptr;
    QLabel* zeroHourByte = nullptr;
    qint64 received = 0;
    qint64 sent = 0;
    qint64 recalled = 0;
    bool testShown = false;
    // The column right of the view: each widget with its offset from the column's left edge
    // (found at the first layout).
    QVector<QPair<QWidget*, int>> column;
};

#endif // CONSOLEPAGE_H
