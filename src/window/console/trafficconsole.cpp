#include "console/trafficconsole.h"

#include "cd_board.h"
#include "common/windowfit.h"
#include "console/commandcatalogue.h"
#include "console/datalogtools.h"
#include "console/slineedit.h"
#include "console/trafficline.h"
#include "console/trafficlogedit.h"
#include "console/trafficview.h"
#include "shell/logging.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

TrafficConsole::TrafficConsole(const Parts& parts, CD_Board& board, QObject* parent)
    : QObject(parent), p(parts), board(board) {
    trafficView = new TrafficView(p.view, MaxLines, this);
    dataLogTools = new DataLogTools(p.view, *trafficView, p.logDirectory, this);
    wireTestButtons();
}

// One application command per button, sent through the typed-request line so that the operator
// sees and can recall it like a typed one.
void TrafficConsole::wireTestButtons() {
    for (const CommandCatalogue::Command& command : CommandCatalogue::commands()) {
        auto* button = p.window->findChild<QPushButton*>(command.button);
        auto* input =
            command.input.isEmpty() ? nullptr : p.window->findChild<QLineEdit*>(command.input);
        if (!button || (!command.input.isEmpty() && !input)) {
            qCWarning(dk61Console) << "the form lacks the widgets of" << command.button;
            continue;
        }
        connect(button, &QPushButton::clicked, this, [this, command, input] {
            qCDebug(dk61Console) << command.button;
            sendText(CommandCatalogue::text(command, input ? input->text() : QString()));
        });
    }
}

void TrafficConsole::show(const QStringList& lines) {
    if (!lines.isEmpty() && p.showData->isChecked())
        trafficView->add(lines);
}

void TrafficConsole::takeReceived() {
    const FrameJournal& journal = board.journal();
    showReceived(TrafficFeed::received(journal.received(), journal.decodePosition(), board.state(),
                                       p.elapsedMs(), &received));
}

// The displays show the board state after the whole batch.
void TrafficConsole::showReceived(const TrafficFeed::Received& update) {
    if (update.any) {
        for (QLabel* display : p.times)
            display->setText(update.time);
        for (QLabel* display : p.tracks)
            display->setText(update.track);
        p.laserCurrentHint->hide();
    }
    if (!update.laserCurrent.isEmpty())
        p.laserCurrent->setText(update.laserCurrent);
    show(update.lines);
    p.logLines(update.lines);
    board.journal().dropReceivedBefore(update.dropBefore);
}

// Recall starts after the newest request again.
void TrafficConsole::takeSent() {
    FrameJournal& journal = board.journal();
    const TrafficFeed::Sent update =
        TrafficFeed::sent(journal.sentFrames(), journal.sentLengths(), p.elapsedMs(), &sent);
    show(update.lines);
    p.logLines(update.lines);
    recalled = sent;
    journal.dropSentBefore(update.dropBefore);
}

void TrafficConsole::takeDebugText() {
    show({TrafficLine::received(p.elapsedMs(), board.debugText())});
}

void TrafficConsole::sendText(const QString& text) {
    p.input->setText(text);
    sendTyped();
}

void TrafficConsole::sendTyped() {
    if (!p.input->text().isEmpty())
        sendRequest(HexInput::request(p.input->text()));
}

void TrafficConsole::sendRequest(const HexInput::Request& request) {
    if (!request.warning.isEmpty())
        p.inputWarning->setText(request.warning);
    // Nothing but blanks or other characters: there is no request to send.
    if (request.bytes.isEmpty())
        return;
    board.state().service.last_custom_command = request.mark;
    board.sendRequest(request.bytes);
    if (p.clearAfterSend->isChecked())
        p.input->clear();
    p.inputWarning->clear();
}

void TrafficConsole::formatTyped() {
    if (!p.input->text().isEmpty())
        p.input->setText(HexInput::format(p.input->text()));
}

void TrafficConsole::recallOlder() {
    recall(TrafficFeed::older(board.journal().sentFrames(), recalled));
}

void TrafficConsole::recallNewer() {
    recall(TrafficFeed::newer(board.journal().sentFrames(), recalled, sent));
}

void TrafficConsole::recall(qint64 index) {
    if (index != recalled)
        p.input->setText(TrafficFeed::recalled(board.journal().sentFrames(),
                                               board.journal().sentLengths(), index));
    recalled = index;
    qCDebug(dk61Console) << "inputTextIndex: " << recalled << "sent_bytes_index: " << sent;
}

void TrafficConsole::toggleTestButtons() {
    testShown = !testShown;
    // The larger window no larger than the screen holds; the window lays the page out again.
    WindowFit::resize(p.window, testShown ? QSize(1500, 800) : QSize(900, 700));
    p.testButtons->setVisible(testShown);
    p.testButtonsToggle->setText(testShown ? QStringLiteral("Hide Testbuttons")
                                           : QStringLiteral("Show Testbuttons"));
}
