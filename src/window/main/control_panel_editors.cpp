// The main window's servo page (its value lists and scroll bars) and the register dialog.
#include "main/control_panel.h"
#include "production/focus_coefs.h"
#include "production/register_dialog.h"
#include "production/servolists.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

void Control_Panel::wireEditors() {
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
