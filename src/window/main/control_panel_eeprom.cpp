// The main window's EEPROM page: the image read at start-up, the programming run it starts and
// follows, the baud-rate, date and laser-default choices (EepromPage).
#include "cd_board.h"
#include "main/control_panel.h"
#include "production/eeprompage.h"
#include "ui_control_panel.h"

void Control_Panel::wireProduction() {
    EepromPage::Parts parts;
    parts.window = this;
    parts.page = ui->tabEeprom;
    parts.status = ui->labelEeprom;
    parts.progress = ui->progressBarEeprom;
    parts.customerId = ui->label_CustomerID;
    parts.flashedBy = ui->labelFlashedBy;
    parts.serial = ui->label_ProductionCode;
    parts.date = ui->label_ProductionDate;
    parts.onTime = ui->labelOnTime;
    parts.slope = ui->label_Derivative;
    parts.offset = ui->label_Offset;
    parts.customerIdField = ui->lineEditCustomerID;
    parts.flashedByField = ui->lineEditFlashedBy;
    parts.serialField = ui->lineProductionCode;
    parts.dateField = ui->dateProduction;
    parts.slopeField = ui->Line_Derivative;
    parts.offsetField = ui->Line_Offset;
    parts.audioByte = ui->lineAudioByte;
    parts.loaders = ui->comboBox_selected_loader_type;
    parts.baudRate = ui->comboBox_selected_baud_rate;
    parts.focus = ui->comboBox_selected_focus;
    parts.baudWarning = ui->BaudrateWarningLabel;
    parts.runtimeWarning = ui->lblWarningRuntime;
    parts.dateToday = ui->checkBoxSetDateToToday;
    parts.laserDefault = ui->checkBoxSetLaserToDefault;
    parts.resetOnTime = ui->checkResetOnTime;
    parts.incrementSerial = ui->checkBoxIncrementProductionCode;
    eepromPage = std::make_unique<EepromPage>(parts, *board, eepromFields);

    connect(ui->ButtonFlashEeprom, &QPushButton::clicked, this, &Control_Panel::beginFlashEeprom);
    connect(board, &CD_Board::recievedEepromParameters, this, &Control_Panel::flashEeprom);
    connect(board, &CD_Board::eepromRunFailed, this, &Control_Panel::flashTimeOut);
    // each block of the image as it is read
    const std::pair<void (CD_Board::*)(), void (Control_Panel::*)()> reads[] = {
        {&CD_Board::retrievedProductionCode, &Control_Panel::handleProductionCode},
        {&CD_Board::retrievedRuntime, &Control_Panel::handleRuntime},
        {&CD_Board::retrievedBaudrateSetting, &Control_Panel::updateBaudrateSetting},
        {&CD_Board::retrievedBaudrateSetting, &Control_Panel::showReadAudioByte},
        {&CD_Board::retrievedFocParamSetting, &Control_Panel::updateFocGainSetting},
        {&CD_Board::retrievedLaserParamters, &Control_Panel::handleLaserParamters}};
    for (const auto& [read, show] : reads)
        connect(board, read, this, show);
    connect(ui->comboBox_selected_baud_rate, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &Control_Panel::handle_baud_rate_selected);
    connect(ui->checkBoxSetDateToToday, &QCheckBox::clicked, this, &Control_Panel::toggleFlashDate);
    connect(ui->checkBoxSetLaserToDefault, &QCheckBox::clicked, this,
            &Control_Panel::toggleLaserDefault);
    connect(ui->checkResetOnTime, &QCheckBox::clicked, this,
            &Control_Panel::show_hint_runtime_reset);
    // The full run has no control of its own in the form.
    if (configuration == Configuration::Service)
        connect(eepromPage->addFullRunButton(), &QPushButton::clicked, this,
                &Control_Panel::programAllParameters);
    wireEditors();
    wireLaser();
}

// ---- the image as read ----

// ---- choices on the page ----

// ---- the programming run: the board's EepromRun writes and verifies ----

// Connected to the board's recievedEepromParameters: the run moved on, or has verified all.
void Control_Panel::flashEeprom(int step) {
    if (eepromPage->showRun(step))
        emit flashSuccess();
}
