// The main window's EEPROM page: the image read at start-up, the programming run it starts and
// follows, the baud-rate, date and laser-default choices (EepromPage).
#include "cd_board.h"
#include "control_panel.h"
#include "eeprompage.h"
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
    eepromPage = new EepromPage(parts, *board, eepromFields, this);

    connect(ui->ButtonFlashEeprom, &QPushButton::clicked, this, &Control_Panel::beginFlashEeprom);
    connect(board, &CD_Board::recievedEepromParameters, this, &Control_Panel::flashEeprom);
    connect(board, &CD_Board::eepromRunFailed, this, &Control_Panel::flashTimeOut);
    connect(board, &CD_Board::retrievedProductionCode, this, &Control_Panel::handleProductionCode);
    connect(board, &CD_Board::retrievedRuntime, this, &Control_Panel::handleRuntime);
    connect(board, &CD_Board::retrievedBaudrateSetting, this,
            &Control_Panel::updateBaudrateSetting);
    connect(board, &CD_Board::retrievedBaudrateSetting, this, &Control_Panel::showReadAudioByte);
    connect(board, &CD_Board::retrievedFocParamSetting, this, &Control_Panel::updateFocGainSetting);
    connect(board, &CD_Board::retrievedLaserParamters, this, &Control_Panel::handleLaserParamters);
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

void Control_Panel::updateBaudrateSetting() {
    eepromPage->showBaudSetting();
}

void Control_Panel::updateFocGainSetting() {
    eepromPage->showFocusSetting();
}

void Control_Panel::handleProductionCode() {
    eepromPage->showProductionRecord();
}

void Control_Panel::handleRuntime() {
    eepromPage->showRuntime();
}

void Control_Panel::handleLaserParamters() {
    eepromPage->showLaser();
}

// ---- choices on the page ----

void Control_Panel::handle_baud_rate_selected(int index) {
    eepromPage->baudRateChosen(index);
}

void Control_Panel::toggleFlashDate() {
    eepromPage->toggleDate();
}

void Control_Panel::toggleLaserDefault() {
    eepromPage->toggleLaserDefault();
}

void Control_Panel::show_hint_runtime_reset() {
    eepromPage->showRuntimeHint();
}

// ---- the programming run: the board's EepromRun writes and verifies ----

void Control_Panel::beginFlashEeprom() {
    eepromPage->start(EepromRun::Kind::Settings);
}

void Control_Panel::programAllParameters() {
    eepromPage->askFullRun();
}

// Connected to the board's recievedEepromParameters: the run moved on, or has verified all.
void Control_Panel::flashEeprom(int step) {
    if (eepromPage->showRun(step))
        emit flashSuccess();
}

// Connected to the board's eepromRunFailed: a refused write, no answer, bytes that differ, the
// link lost.
void Control_Panel::flashTimeOut() {
    eepromPage->showRun();
}

// Called by the decoder when the board refuses an EEPROM write.
void Control_Panel::handleEepromState() {
    eepromPage->showRun();
}
