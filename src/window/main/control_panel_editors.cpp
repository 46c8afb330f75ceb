// The main window's audio byte page (AudioBytePage), the servo page's value lists and the
// register dialog.
#include "cd_board.h"
#include "main/control_panel.h"
#include "production/audiobytepage.h"
#include "production/focus_coefs.h"
#include "production/register_dialog.h"
#include "production/servolists.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

#include <QButtonGroup>

void Control_Panel::wireEditors() {
    audioBytePage = std::make_unique<AudioBytePage>(
        AudioBytePage::Parts{this, ui->cBClockAccuracy, ui->cBEBUFlags, ui->cBDeemph,
                             ui->lineAudioByteByteTab, ui->lineAudioByte,
                             [this] { ui->tabWidget->setCurrentWidget(ui->tabEeprom); }},
        eepromFields);
    connect(audioBytePage->formats(), qOverload<QAbstractButton*>(&QButtonGroup::buttonReleased),
            this, &Control_Panel::handleAudioByteTab);
    for (QComboBox* combo : {ui->cBClockAccuracy, ui->cBEBUFlags, ui->cBDeemph})
        connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &Control_Panel::handleAudioByteTab);
    connect(ui->pBSetAudioByte, &QPushButton::clicked, this, &Control_Panel::sendAudioByte);

    connect(ui->comboBox_foc_lead_length, qOverload<int>(&QComboBox::currentIndexChanged),
            focusCoefs, &Focus_Coefs::handle_combobox_lead_length);
    connect(ui->comboBox_CA_start, qOverload<int>(&QComboBox::currentIndexChanged), focusCoefs,
            &Focus_Coefs::handle_combobox_ca_start);
    connect(ui->horizontalScrollBar, &QScrollBar::valueChanged, this,
            &Control_Panel::update_horizontalScrollBar);
    connect(ui->verticalScrollBar, &QScrollBar::valueChanged, this,
            &Control_Panel::update_verticalScrollBar);

    // The servo page's computed value lists, each item with its data.
    using List = ServoLists::List;
    const std::pair<QComboBox*, List> lists[] = {
        {ui->comboBox_foc_lead_length, List::FocLeadLength},
        {ui->comboBox_ramp_increase, List::RampIncrease},
        {ui->comboBox_ramp_height, List::RampHeight},
        {ui->comboBox_ramp_offset, List::RampOffset},
        {ui->comboBox_FE_start, List::FeStart},
        {ui->comboBox_focus_gain, List::FocusGain},
        {ui->comboBox_vel_prop, List::VelProp},
        {ui->comboBox_rad_lead_length, List::RadLeadLength},
        {ui->comboBox_radial_gain, List::RadialGain},
        {ui->comboBox_sledge_gain, List::SledgeGain},
    };
    for (const auto& [combo, list] : lists)
        for (const ServoLists::Item& item : ServoLists::items(list))
            combo->addItem(item.text, item.data);
}

// ---- audio byte page: nothing goes to the board, the byte reaches the EEPROM with the next
// programming run ----

// ---- servo page ----

void Control_Panel::update_horizontalScrollBar(int value) {
    ui->servoParameterArea->move(-value, ui->servoParameterArea->y());
}

void Control_Panel::update_verticalScrollBar(int value) {
    ui->servoParameterArea->move(ui->servoParameterArea->x(), -value);
}

// ---- register dialog: one at a time; a closed one is replaced by a fresh one ----

void Control_Panel::handleWriteToRegister() {
    registerDialog = Register_Dialog::single(registerDialog, this);
    // queued: a dialog that goes with the window reports to no half-destroyed window
    connect(registerDialog, &QObject::destroyed, this,
            &Control_Panel::handleWriteRegisterWindowDestroyed,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
}

void Control_Panel::handleWriteRegisterWindowDestroyed() {
    qCDebug(dk61Eeprom) << "finished";
}

void Control_Panel::showReadAudioByte() {
    audioBytePage->showRead(board->state().eeprom.image.audio_byte);
}
