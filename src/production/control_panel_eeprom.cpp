// The main window's EEPROM page: the image read at start-up, the programming chain, the baud-rate,
// date and laser-default choices.
#include "audiobyte.h"
#include "cd_board.h"
#include "control_panel.h"
#include "eepromprogramming.h"
#include "logging.h"
#include "productionrecord.h"
#include "ui_control_panel.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

// The byte an entry of the EEPROM page's combo boxes stands for (its one-character item data).
int itemByte(const QComboBox* combo, int index) {
    const QString data = combo->itemData(index).toString();
    return data.isEmpty() ? -1 : data.at(0).toLatin1() & 0xFF;
}

QString g6(double value) {
    return QString::number(value, 'g', 6);
}

} // namespace

void Control_Panel::wireProduction(Configuration configuration) {
    connect(ui->ButtonFlashEeprom, &QPushButton::clicked, this, &Control_Panel::beginFlashEeprom);
    connect(board, &CD_Board::recievedEepromParameters, this, &Control_Panel::flashEeprom);
    connect(&flashTimer, &QTimer::timeout, this, &Control_Panel::flashTimeOut);
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
    if (configuration == Configuration::Service) {
        // The full chain has no control of its own in the form.
        buttonProgramAll =
            new QPushButton(QStringLiteral("Program all parameters..."), ui->tabEeprom);
        buttonProgramAll->setObjectName(QStringLiteral("buttonProgramAll"));
        buttonProgramAll->setAccessibleName(buttonProgramAll->text());
        buttonProgramAll->setGeometry(10, 500, 170, 28);
        connect(buttonProgramAll, &QPushButton::clicked, this,
                &Control_Panel::programAllParameters);
    }
    wireEditors();
    wireLaser();
}

// ---------------------------------------------------------------------------------------------
// The image as read

void Control_Panel::updateBaudrateSetting() {
    ui->comboBox_selected_baud_rate->setCurrentIndex(board->baudRate != 128000 ? 1 : 0);
}

void Control_Panel::updateFocGainSetting() {
    ui->comboBox_selected_focus->setCurrentIndex(board->state.eeprom.focus_setting == 0x01 ? 1 : 0);
}

void Control_Panel::handleProductionCode() {
    const EepromParameters& image = board->state.eeprom;
    ui->label_CustomerID->setText(QString::number(image.customer_id));
    ui->labelFlashedBy->setText(QString::number(image.flashed_by));
    ui->label_ProductionCode->setText(QString::number(image.serial_number));
    ui->label_ProductionDate->setText(ProductionRecord::dateText(image.production_day));
}

void Control_Panel::handleRuntime() {
    ui->labelOnTime->setText(QString::number(board->state.eeprom.runtime_s));
}

void Control_Panel::handleLaserParamters() {
    ui->label_Derivative->setText(g6(static_cast<double>(board->state.laser.laser_slope)));
    ui->label_Offset->setText(g6(static_cast<double>(board->state.laser.laser_offset)));
}

// ---------------------------------------------------------------------------------------------
// Choices on the page

void Control_Panel::handle_baud_rate_selected(int index) {
    const int flag = itemByte(ui->comboBox_selected_baud_rate, index);
    if (flag < 0)
        return;
    const int rate = ui->comboBox_selected_baud_rate->itemText(index).toInt();
    qCDebug(dk61Eeprom) << "set baud rate to" << Qt::hex << flag;
    board->setBaudFlag(static_cast<quint8>(flag));
    ui->BaudrateWarningLabel->setText(
        "New baud rate active after reflash and restart of CD-Board. Please consider change of "
        "baud rate in settings (options) of the PC-Tool!");
    ui->BaudrateWarningLabel->setVisible((rate ? rate : 128000) != board->baudRate);
}

void Control_Panel::toggleFlashDate() {
    ui->dateProduction->setDate(ui->checkBoxSetDateToToday->isChecked()
                                    ? QDate::currentDate()
                                    : ProductionRecord::date(board->state.eeprom.production_day));
}

void Control_Panel::toggleLaserDefault() {
    const bool byDefault = ui->checkBoxSetLaserToDefault->isChecked();
    const QString k = g6(byDefault ? EepromProgramming::DefaultSlope
                                   : static_cast<double>(board->state.laser.laser_slope));
    const QString d = g6(byDefault ? EepromProgramming::DefaultOffset
                                   : static_cast<double>(board->state.laser.laser_offset));
    ui->label_Derivative->setText(k);
    ui->Line_Derivative->setText(k);
    ui->label_Offset->setText(d);
    ui->Line_Offset->setText(d);
    ui->Line_Derivative->setReadOnly(byDefault);
    ui->Line_Offset->setReadOnly(byDefault);
}

void Control_Panel::show_hint_runtime_reset() {
    ui->lblWarningRuntime->setVisible(ui->checkResetOnTime->isChecked());
}

// ---------------------------------------------------------------------------------------------
// The programming chain: 7 -> 8 -> 9 from the button and Return, 0 -> 1 -> 3 -> 5 -> 7 -> 8 -> 9
// from "Program all parameters...". Each step's confirmation by the board starts the next.

void Control_Panel::beginFlashEeprom() {
    startEepromChain(EepromProgramming::ButtonStep);
}

void Control_Panel::programAllParameters() {
    if (eepromChainRunning)
        return;
    const QString why = eepromNotReady(EepromProgramming::FullChainStep);
    if (!why.isEmpty()) {
        ui->labelEeprom->setText(why);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Program all parameters"),
                                EepromProgramming::fullChainQuestion(),
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes)
            startEepromChain(EepromProgramming::FullChainStep);
    });
    box->open();
}

QString Control_Panel::eepromNotReady(int step) {
    const BoardState& state = board->state;
    const bool full = step == EepromProgramming::FullChainStep;
    QString why = EepromProgramming::notReadyText(
        state.eeprom.settings_read, state.eeprom.focus_read, state.loader.loader_list_complete,
        !full || state.eeprom.production_read, !full || state.eeprom.laser_read);
    if (!why.isEmpty())
        return why;
    if (board->decoder.runningSequence())
        return EepromProgramming::busyText();
    quint8 audio = 0;
    if (!AudioByte::parse(ui->lineAudioByte->text(), &audio))
        return AudioByte::invalidText();
    float k = 0;
    float d = 0;
    if (full && !EepromProgramming::laserFromTexts(ui->label_Derivative->text(),
                                                   ui->label_Offset->text(), &k, &d, &why))
        return why;
    return QString();
}

bool Control_Panel::startEepromChain(int step) {
    if (eepromChainRunning)
        return false;
    const QString why = eepromNotReady(step);
    if (!why.isEmpty()) {
        qCDebug(dk61Eeprom) << why;
        ui->labelEeprom->setText(why);
        return false;
    }
    eepromChainRunning = true;
    flashEeprom(step);
    return true;
}

bool Control_Panel::takeEepromPage(int step, QString* why) {
    BoardState& state = board->state;
    // The loader code of the selected entry; with the placeholder selected, the code in use.
    const int selected = ui->comboBox_selected_loader_type->currentIndex();
    const int code = itemByte(ui->comboBox_selected_loader_type, selected);
    if (selected > 0 && code >= 0)
        state.loader.eeprom_loader_code = static_cast<quint8>(code);
    else if (state.loader.loader_type_known)
        state.loader.eeprom_loader_code = state.loader.loader_type;
    quint8 audio = 0;
    if (!AudioByte::parse(ui->lineAudioByte->text(), &audio)) {
        *why = AudioByte::invalidText();
        return false;
    }
    state.eeprom.audio_byte = audio;
    // Only the step that writes k and d takes them from the page: a calibration just fitted on
    // the laser page stays in use otherwise.
    if (step == 3) {
        float k = 0;
        float d = 0;
        if (!EepromProgramming::laserFromTexts(ui->label_Derivative->text(),
                                               ui->label_Offset->text(), &k, &d, why))
            return false;
        state.laser.laser_slope = k;
        state.laser.laser_offset = d;
    }
    board->setFocusSettingToWrite(ui->comboBox_selected_focus->currentIndex() == 1 ? 0x01 : 0xFF);
    return true;
}

void Control_Panel::flashEeprom(int step) {
    qCDebug(dk61Eeprom) << "Flashing eeprom step" << step;
    // a confirmation that arrives after the run ended starts nothing
    if (!eepromChainRunning)
        return;
    ui->BaudrateWarningLabel->hide();
    ui->lblWarningRuntime->hide();
    QString why;
    if (!takeEepromPage(step, &why)) {
        endEepromChain(why);
        return;
    }
    const EepromProgramming::Step plan = EepromProgramming::stepPlan(step, board->eepromImage());
    if (!plan.valid)
        return;
    board->writetoeeprom(step);
    ui->progressBarEeprom->setValue(plan.progress);
    ui->labelEeprom->setText(plan.text);
    if (plan.timeoutMs > 0)
        flashTimer.start(plan.timeoutMs);
    board->decoder.eeprom.eeprom_state = static_cast<EepromConfirmation::Step>(plan.state);
    if (!plan.readBack.isEmpty())
        board->sendRequest(plan.readBack);
    if (step != EepromProgramming::LastStep)
        return;
    flashTimer.stop();
    if (ui->checkBoxIncrementProductionCode->isChecked())
        ui->lineProductionCode->setText(
            QString::number(ProductionRecord::nextSerialNumber(ui->lineProductionCode->text())));
    eepromChainRunning = false;
    emit flashSuccess();
}

void Control_Panel::flashTimeOut() {
    endEepromChain(EepromProgramming::deniedText());
}

void Control_Panel::endEepromChain(const QString& text) {
    flashTimer.stop();
    if (board->decoder.eeprom.eeprom_state == EepromConfirmation::Step::Erasing)
        board->cancelMemoryExchange();
    board->decoder.eeprom.end();
    eepromChainRunning = false;
    ui->labelEeprom->setText(text);
    ui->progressBarEeprom->setValue(0);
}

// Called by the decoder when the board refuses an EEPROM write.
void Control_Panel::handleEepromState() {
    const EepromConfirmation::Step step = board->decoder.eeprom.eeprom_state;
    qCDebug(dk61Eeprom) << "Eeprom State =" << static_cast<int>(step);
    if (step == EepromConfirmation::Step::Refused) {
        ui->labelEeprom->setText(EepromProgramming::deniedText());
        ui->progressBarEeprom->setValue(0);
    }
}

void Control_Panel::eepromStepConfirmed() {
    flashTimer.stop();
}
