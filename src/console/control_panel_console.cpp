// The main window's console page: the traffic view, typed requests and the test buttons
// (TrafficConsole).
#include "cd_board.h"
#include "control_panel.h"
#include "trafficconsole.h"
#include "ui_control_panel.h"

void Control_Panel::wireConsole() {
    TrafficConsole::Parts parts;
    parts.window = this;
    parts.view = ui->textBrowser;
    parts.showData = ui->chkLog;
    parts.input = ui->InputText;
    parts.clearAfterSend = ui->CheckBoxClear;
    parts.inputWarning = ui->CustomInputWarningLabel;
    parts.times[0] = ui->time_display;
    parts.times[1] = ui->time_display_2;
    parts.tracks[0] = ui->track_number_display;
    parts.tracks[1] = ui->track_number_display_2;
    parts.laserCurrentHint = ui->laserCurrenLabel;
    parts.laserCurrent = ui->labelLaserCurrent;
    parts.testButtons = ui->groupBoxTest;
    parts.testButtonsToggle = ui->btnTestfunctions;
    parts.elapsedMs = [this] { return sessionClock.elapsed(); };
    parts.logLines = [this](const QStringList& lines) { writeLogLines(lines); };
    trafficConsole = new TrafficConsole(parts, *board, this);
    ui->CustomInputWarningLabel->clear();

    // Unique: the link side may already have made these two.
    for (auto complete : {&CD_Board::parse_complete, &CD_Board::parse_complete_other})
        connect(board, complete, this, &Control_Panel::update_information, Qt::UniqueConnection);
    connect(board, &CD_Board::show_debug_message, this, &Control_Panel::debug_message);
    connect(board, &CD_Board::send_bytes_ready, this, &Control_Panel::put_send_bytes);
    connect(ui->SendButton, &QPushButton::clicked, this, &Control_Panel::sendCustomData);
    connect(ui->InputText, &QLineEdit::returnPressed, this, &Control_Panel::sendCustomData);
    connect(ui->InputText, &QLineEdit::textChanged, this, &Control_Panel::textChanged);
    connect(ui->InputText, &SLineEdit::pressedUp, this, &Control_Panel::text_pressedUp);
    connect(ui->InputText, &SLineEdit::pressedDown, this, &Control_Panel::text_pressedDown);
    connect(ui->btnTestfunctions, &QPushButton::clicked, this, &Control_Panel::testsuite_Show_Hide);
    wirePlayer();
    wireLoader();
}

void Control_Panel::showTrafficLines(const QStringList& lines) {
    trafficConsole->show(lines);
}

void Control_Panel::update_information() {
    trafficConsole->takeReceived();
}

void Control_Panel::put_send_bytes() {
    trafficConsole->takeSent();
}

void Control_Panel::debug_message() {
    trafficConsole->takeDebugText();
}

void Control_Panel::sendCustomData() {
    trafficConsole->sendTyped();
}

void Control_Panel::textChanged() {
    trafficConsole->formatTyped();
}

void Control_Panel::text_pressedUp() {
    trafficConsole->recallOlder();
}

void Control_Panel::text_pressedDown() {
    trafficConsole->recallNewer();
}

// Shows the test buttons beside the traffic view in a larger window, or hides them again.
void Control_Panel::testsuite_Show_Hide() {
    trafficConsole->toggleTestButtons();
}
