#ifndef TRAFFICCONSOLE_H
#define TRAFFICCONSOLE_H

#include "console/hexinput.h"
#include "console/trafficfeed.h"

#include <QObject>
#include <QStringList>

#include <functional>

class CD_Board;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class DataLogTools;
class SLineEdit;
class TrafficLogEdit;
class TrafficView;

// The console page: the Data Log view (only while "show data" is checked) and the log file get
// every frame received and every request written, once and in order; the player displays show
// the board's state after each batch. The typed-request line sends what is typed there, recalls
// written requests with Up and Down, and takes the texts of the test buttons, which it shows
// beside the view on demand.
class TrafficConsole : public QObject {
    Q_OBJECT

public:
    // The view keeps the newest lines; older ones fall off the top (the log file keeps them all).
    static constexpr int MaxLines = 20000;

    struct Parts {
        // the view and the log file
        QWidget* window; // the main window: the test buttons' form, resized with them
        TrafficLogEdit* view;
        QCheckBox* showData;
        std::function<qint64()> elapsedMs;                // the session clock
        std::function<void(const QStringList&)> logLines; // into the log file
        std::function<QString()> logDirectory;            // where "Save view..." proposes a file
        // the laser current of a batch
        QLabel* laserCurrent;
        // the typed-request line and the test buttons
        SLineEdit* input;
        QCheckBox* clearAfterSend;
        QLabel* inputWarning;
        QGroupBox* testButtons;
        QPushButton* testButtonsToggle;
    };

    TrafficConsole(const Parts& parts, CD_Board& board, QObject* parent = nullptr);

    // The frames received since the last call / the requests written since the last call.
    void takeReceived();
    void takeSent();
    // The board's receive buffer as a line (text the board printed).
    void takeDebugText();
    // Lines for the view, while "show data" is checked.
    void show(const QStringList& lines);
    TrafficView& view() const { return *trafficView; }
    DataLogTools& tools() const { return *dataLogTools; }

    // The typed-request line: send what it holds, tidy what is typed, recall with Up and Down.
    void sendTyped();
    void formatTyped();
    void recallOlder();
    void recallNewer();
    // A command text through the typed-request line, as if typed there and sent.
    void sendText(const QString& text);

    // Shows the test buttons beside the view in a larger window, or hides them again.
    void toggleTestButtons();
    bool testButtonsShown() const { return testShown; }

    // How far the view and the log file have got: the next frame / request to take, and the
    // request the typed-request line recalled last.
    qint64 receivedIndex() const { return received; }
    qint64 sentIndex() const { return sent; }
    qint64 recallIndex() const { return recalled; }

signals:
    // The board's time and track after a batch, for the player's displays.
    void positionShown(const QString& time, const QString& track);

private:
    void wireTestButtons();
    void showReceived(const TrafficFeed::Received& update);
    void sendRequest(const HexInput::Request& request);
    void recall(qint64 index);

    Parts p;
    CD_Board& board;
    TrafficView* trafficView = nullptr;
    DataLogTools* dataLogTools = nullptr;
    qint64 received = 0;
    qint64 sent = 0;
    qint64 recalled = 0;
    bool testShown = false;
};

#endif // TRAFFICCONSOLE_H
