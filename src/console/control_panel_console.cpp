// The main window's traffic view and typed requests.
#include "cd_board.h"
#include "control_panel.h"
#include "hexinput.h"
#include "logging.h"
#include "trafficfeed.h"
#include "trafficline.h"
#include "trafficview.h"
#include "ui_control_panel.h"

#include <QTextDocument>

void Control_Panel::wireConsole() {
    // The view keeps the newest lines; older ones fall off the top (the log file keeps them all).
    ui->textBrowser->document()->setMaximumBlockCount(MaxTrafficLines);
    ui->textBrowser->document()->setUndoRedoEnabled(false);
    trafficView = new TrafficView(ui->textBrowser, MaxTrafficLines, this);

    // Unique: the link side may already have made these two.
    connect(board, &CD_Board::parse_complete, this, &Control_Panel::update_information,
            Qt::UniqueConnection);
    connect(board, &CD_Board::parse_complete_other, this, &Control_Panel::update_information,
            Qt::UniqueConnection);
    connect(board, &CD_Board::show_debug_message, this, &Control_Panel::debug_message);
    connect(board, &CD_Board::send_bytes_ready, this, &Control_Panel::put_send_bytes);
    connect(ui->SendButton, &QPushButton::clicked, this, &Control_Panel::sendCustomData);
    connect(ui->InputText, &QLineEdit::returnPressed, this, &Control_Panel::sendCustomData);
    connect(ui->InputText, &QLineEdit::textChanged, this, &Control_Panel::textChanged);
    connect(ui->InputText, &SLineEdit::pressedUp, this, &Control_Panel::text_pressedUp);
    connect(ui->InputText, &SLineEdit::pressedDown, this, &Control_Panel::text_pressedDown);
    wireCatalogue();
    wirePlayer();
    wireLoader();
}

void Control_Panel::showTrafficLines(const QStringList& lines) {
    if (!lines.isEmpty() && ui->chkLog->isChecked())
        trafficView->add(lines);
}

void Control_Panel::update_information() {
    showReceived(TrafficFeed::received(board->commands, board->parse_index, board->state,
                                       sessionClock.elapsed(), &receivedIndex));
}

// The displays show the board state after the whole batch.
void Control_Panel::showReceived(const TrafficFeed::Received& update) {
    if (update.any) {
        for (QLabel* display : {ui->time_display, ui->time_display_2})
            display->setText(update.time);
        for (QLabel* display : {ui->track_number_display, ui->track_number_display_2})
            display->setText(update.track);
        ui->laserCurrenLabel->hide();
    }
    if (!update.laserCurrent.isEmpty())
        ui->labelLaserCurrent->setText(update.laserCurrent);
    showTrafficLines(update.lines);
    writeLogLines(update.lines);
    board->commands.dropBefore(update.dropBefore);
}

void Control_Panel::put_send_bytes() {
    showSent(TrafficFeed::sent(board->sentFrames, board->sentLengths, sessionClock.elapsed(),
                               &sent_bytes_index));
}

// Recall starts after the newest request again.
void Control_Panel::showSent(const TrafficFeed::Sent& update) {
    showTrafficLines(update.lines);
    writeLogLines(update.lines);
    inputTextIndex = sent_bytes_index;
    board->sentFrames.dropBefore(update.dropBefore);
    board->sentLengths.dropBefore(update.dropBefore);
}

void Control_Panel::debug_message() {
    showTrafficLines({TrafficLine::received(sessionClock.elapsed(), board->debugText)});
}

void Control_Panel::sendCustomData() {
    if (!ui->InputText->text().isEmpty())
        sendTypedRequest(HexInput::request(ui->InputText->text()));
}

void Control_Panel::sendTypedRequest(const HexInput::Request& request) {
    if (!request.warning.isEmpty())
        ui->CustomInputWarningLabel->setText(request.warning);
    // Nothing but blanks or other characters: there is no request to send.
    if (request.bytes.isEmpty())
        return;
    board->state.service.last_custom_command = request.mark;
    board->sendRequest(request.bytes);
    if (ui->CheckBoxClear->isChecked())
        ui->InputText->clear();
    ui->CustomInputWarningLabel->clear();
}

void Control_Panel::textChanged() {
    if (!ui->InputText->text().isEmpty())
        ui->InputText->setText(HexInput::format(ui->InputText->text()));
}

void Control_Panel::text_pressedUp() {
    recallRequest(TrafficFeed::older(board->sentFrames, inputTextIndex));
}

void Control_Panel::text_pressedDown() {
    recallRequest(TrafficFeed::newer(board->sentFrames, inputTextIndex, sent_bytes_index));
}

void Control_Panel::recallRequest(qint64 index) {
    if (index != inputTextIndex)
        ui->InputText->setText(TrafficFeed::recalled(board->sentFrames, board->sentLengths, index));
    inputTextIndex = index;
    qCDebug(dk61Console) << "inputTextIndex: " << inputTextIndex
                         << "sent_bytes_index: " << sent_bytes_index;
}
