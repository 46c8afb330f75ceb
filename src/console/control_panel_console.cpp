// The main window's traffic view and typed requests.
#include "cd_board.h"
#include "control_panel.h"
#include "hexinput.h"
#include "logging.h"
#include "trafficline.h"
#include "trafficview.h"
#include "ui_control_panel.h"

#include <QTextDocument>

namespace {

// Frames both the decoder and the traffic view have passed are not needed again: only the newest
// of them stay (for inspection); a frame the decoder has not reached yet always stays.
void dropConsumedFrames(CD_Board* board, qint64 shown) {
    board->commands.dropBefore(qMin(board->parse_index, shown) - Control_Panel::KeptFrames);
}

} // namespace

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
    if (lines.isEmpty() || !ui->chkLog->isChecked())
        return;
    trafficView->add(lines);
}

void Control_Panel::update_information() {
    qCDebug(dk61Console) << "in function updateinformation";
    const IndexedList<BoardFrame>& frames = board->commands;
    if (receivedIndex >= frames.size()) {
        dropConsumedFrames(board, receivedIndex);
        return;
    }
    if (receivedIndex < frames.firstIndex())
        receivedIndex = frames.firstIndex();

    // The displays show the board state after the whole batch, the same for every frame of it.
    const PlayerState& player = board->state.player;
    // An unset clock (no time reported yet, or an impossible one) shows nothing.
    const QString time = player.current_time.toString(QStringLiteral("hh:mm:ss"));
    ui->time_display->setText(time);
    ui->time_display_2->setText(time);
    const QString track =
        player.current_track >= 0 ? QString::number(player.current_track) : QString();
    ui->track_number_display->setText(track);
    ui->track_number_display_2->setText(track);
    ui->laserCurrenLabel->hide();

    const qint64 elapsed = sessionClock.elapsed();
    QStringList lines;
    lines.reserve(static_cast<int>(frames.size() - receivedIndex));
    while (receivedIndex < frames.size()) {
        const BoardFrame& frame = frames.at(receivedIndex);
        if (frame.code == 0xB3)
            ui->labelLaserCurrent->setText(
                QString::number(board->state.laser.laser_current_mA, 'g', 6) + " mA");
        lines.append(TrafficLine::received(elapsed, frame.bytes));
        qCDebug(dk61Console) << lines.last();
        ++receivedIndex;
        qCDebug(dk61Console) << "Commandindices" << receivedIndex << "||" << frames.size();
    }
    showTrafficLines(lines);
    writeLogLines(lines);
    dropConsumedFrames(board, receivedIndex);
}

void Control_Panel::put_send_bytes() {
    const IndexedList<QByteArray>& frames = board->sentFrames;
    const IndexedList<int>& lengths = board->sentLengths;
    if (sent_bytes_index < lengths.firstIndex())
        sent_bytes_index = lengths.firstIndex();
    const qint64 elapsed = sessionClock.elapsed();
    QStringList lines;
    while (sent_bytes_index < lengths.size() && sent_bytes_index < frames.size()) {
        lines.append(
            TrafficLine::sent(elapsed, frames.at(sent_bytes_index), lengths.at(sent_bytes_index)));
        ++sent_bytes_index;
    }
    showTrafficLines(lines);
    writeLogLines(lines);
    inputTextIndex = sent_bytes_index;
    // Requests already shown stay only as the recall history.
    const qint64 oldestKept = qMax<qint64>(0, sent_bytes_index - RecallHistory);
    board->sentFrames.dropBefore(oldestKept);
    board->sentLengths.dropBefore(oldestKept);
}

void Control_Panel::debug_message() {
    const QString line = TrafficLine::received(sessionClock.elapsed(), board->debugText);
    showTrafficLines(QStringList{line});
}

void Control_Panel::sendCustomData() {
    const QString text = ui->InputText->text();
    if (text.isEmpty())
        return;
    const QString digits = HexInput::digits(text);
    if (digits.size() % 2 != 0) {
        ui->CustomInputWarningLabel->setText("You must enter an even amount of characters");
        return;
    }
    // Nothing but blanks or other characters: there is no request to send.
    if (digits.isEmpty())
        return;
    board->state.service.last_custom_command = text.startsWith(QLatin1String("5A")) ? 0x5A : 0x57;
    board->sendBuffer.clear();
    for (QChar digit : digits)
        qCDebug(dk61Console) << digit;
    board->sendBuffer = HexInput::toBytes(digits);
    board->sendLength = board->sendBuffer.size();
    board->send2(board->sendLength);
    if (ui->CheckBoxClear->isChecked())
        ui->InputText->clear();
    ui->CustomInputWarningLabel->clear();
}

void Control_Panel::textChanged() {
    const QString text = ui->InputText->text().toUpper();
    if (text.isEmpty())
        return;
    ui->InputText->setText(HexInput::format(text));
}

namespace {

// Puts the request with absolute index `index` into the line as digits without blanks.
void recall(SLineEdit* line, const CD_Board* board, qint64 index) {
    const QByteArray frame = board->sentFrames.at(index);
    const int length =
        board->sentLengths.contains(index) ? board->sentLengths.at(index) : frame.size();
    line->setText(HexInput::fromBytes(frame.left(length)));
}

} // namespace

void Control_Panel::text_pressedUp() {
    // Requests dropped from the history can no longer be recalled.
    if (inputTextIndex > board->sentFrames.firstIndex()) {
        --inputTextIndex;
        recall(ui->InputText, board, inputTextIndex);
    }
    qCDebug(dk61Console) << "inputTextIndex: " << inputTextIndex
                         << "sent_bytes_index: " << sent_bytes_index;
}

void Control_Panel::text_pressedDown() {
    if (inputTextIndex < sent_bytes_index - 1 && board->sentFrames.contains(inputTextIndex + 1)) {
        ++inputTextIndex;
        recall(ui->InputText, board, inputTextIndex);
    }
    qCDebug(dk61Console) << "inputTextIndex: " << inputTextIndex
                         << "sent_bytes_index: " << sent_bytes_index;
}
