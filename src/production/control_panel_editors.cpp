// The main window's audio byte page, the servo page's value lists and the register dialog.
#include "audiobyte.h"
#include "cd_board.h"
#include "control_panel.h"
#include "focus_coefs.h"
#include "logging.h"
#include "register_dialog.h"
#include "servolists.h"
#include "ui_control_panel.h"

#include <QButtonGroup>
#include <QRadioButton>

void Control_Panel::wireEditors() {
    // The decoder formats, each radio button with its four bits as its id.
    audioByteGroup = new QButtonGroup(this);
    for (int format : AudioByte::formats())
        audioByteGroup->addButton(findChild<QRadioButton*>(AudioByte::radioName(format)), format);
    connect(audioByteGroup, qOverload<QAbstractButton*>(&QButtonGroup::buttonReleased), this,
            &Control_Panel::handleAudioByteTab);
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

// ---------------------------------------------------------------------------------------------
// Audio byte page

void Control_Panel::handleAudioByteTab() {
    AudioByte::Choices choices;
    choices.format = qMax(audioByteGroup->checkedId(), 0);
    choices.clockAccuracy = ui->cBClockAccuracy->currentIndex();
    choices.ebuFlags = ui->cBEBUFlags->currentIndex();
    choices.deemphasis = ui->cBDeemph->currentIndex();
    audio_byte_edit = AudioByte::compose(choices);
    ui->lineAudioByteByteTab->setText(AudioByte::text(audio_byte_edit));
}

// Nothing goes to the board: the byte reaches the EEPROM with the next programming run.
void Control_Panel::sendAudioByte() {
    ui->lineAudioByte->setText(AudioByte::text(audio_byte_edit));
    ui->tabWidget->setCurrentWidget(ui->tabEeprom);
}

// The byte read from the board, unless the operator has set another one since the last read.
void Control_Panel::showReadAudioByte() {
    const quint8 value = board->state.eeprom.image.audio_byte;
    if (!refreshEepromField(ui->lineAudioByte, AudioByte::text(value)))
        return;
    audio_byte_edit = value;
    const AudioByte::Choices choices = AudioByte::takeApart(value);
    // a format without a radio button leaves the choice as it was
    if (QAbstractButton* radio = audioByteGroup->button(choices.format))
        radio->setChecked(true);
    ui->cBClockAccuracy->setCurrentIndex(choices.clockAccuracy);
    ui->cBEBUFlags->setCurrentIndex(choices.ebuFlags);
    ui->cBDeemph->setCurrentIndex(choices.deemphasis);
    ui->lineAudioByteByteTab->setText(QString::number(value, 16).toUpper());
}

// ---------------------------------------------------------------------------------------------
// Servo page

void Control_Panel::update_horizontalScrollBar(int value) {
    ui->servoParameterArea->move(-value, ui->servoParameterArea->y());
}

void Control_Panel::update_verticalScrollBar(int value) {
    ui->servoParameterArea->move(ui->servoParameterArea->x(), -value);
}

// ---------------------------------------------------------------------------------------------
// Register dialog: one at a time; a closed one is replaced by a fresh one on the next opening.

void Control_Panel::handleWriteToRegister() {
    if (registerDialog && !registerDialog->isVisible()) {
        delete registerDialog;
        registerDialog = nullptr;
    }
    if (!registerDialog) {
        qCDebug(dk61Eeprom) << "opening the register dialog";
        registerDialog = new Register_Dialog(this);
        // queued: a dialog that goes with the window reports to no half-destroyed window
        connect(registerDialog, &QObject::destroyed, this,
                &Control_Panel::handleWriteRegisterWindowDestroyed, Qt::QueuedConnection);
        registerDialog->show();
    }
    qCDebug(dk61Eeprom) << "register dialog" << registerDialog;
}

void Control_Panel::handleWriteRegisterWindowDestroyed() {
    qCDebug(dk61Eeprom) << "finished";
}
