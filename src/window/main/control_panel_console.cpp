// The main window's console page: the traffic view, typed requests and the test buttons
// (TrafficConsole).
#include "cd_board.h"
#include "console/playpage.h"
#include "console/trafficconsole.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::wireConsole() {
    trafficConsole = std::make_unique<TrafficConsole>(
        TrafficConsole::Parts{this, ui->textBrowser, ui->chkLog,
                              [this] { return sessionClock.elapsed(); },
                              [this](const QStringList& lines) { writeLogLines(lines); },
                              [this] { return currentSettings.logFileDirectory; },
                              ui->labelLaserCurrent, ui->InputText, ui->CheckBoxClear,
                              ui->CustomInputWarningLabel, ui->groupBoxTest, ui->btnTestfunctions},
        *board);
    ui->CustomInputWarningLabel->clear();
    connect(trafficConsole.get(), &TrafficConsole::positionShown, playPage,
            &PlayPage::showPosition);
    connect(trafficConsole.get(), &TrafficConsole::positionShown, this,
            [this](const QString& time, const QString& track) {
                ui->time_display_2->setText(time);
                ui->track_number_display_2->setText(track);
            });

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
