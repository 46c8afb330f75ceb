// The main window's EEPROM page: the image read at start-up, the programming run it starts and
// follows, the baud-rate, date and laser-default choices.
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

// What an editable field of the page shows, and showing a value in it.
QString fieldValue(const QLineEdit* field) {
    return field->text();
}
QString fieldValue(const QComboBox* field) {
    return QString::number(field->currentIndex());
}
QString fieldValue(const QDateEdit* field) {
    return field->date().toString(Qt::ISODate);
}
void showValue(QLineEdit* field, const QString& value) {
    field->setText(value);
}
void showValue(QComboBox* field, const QString& value) {
    field->setCurrentIndex(value.toInt());
}
void showValue(QDateEdit* field, const QString& value) {
    field->setDate(QDate::fromString(value, Qt::ISODate));
}

} // namespace

void Control_Panel::wireProduction(Configuration configuration) {
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
    if (configuration == Configuration::Service) {
        // The full chain has no control of its own in the form.
        buttonProgramAll =
            new QPushButton(QStringLiteral("Program all parameters..."), ui->tabEeprom);
        buttonProgramAll->setObjectName(QStringLiteral("buttonProgramAll"));
        buttonProgramAll->setAccessibleName(buttonProgramAll->text());
        buttonProgramAll->setGeometry(10, 500, 170, 28);
        connect(buttonProgramAll, &QPushButton::clicked, this,
                &Control_Panel::programAllParameters);
        labelEepromButtons = new QLabel(EepromProgramming::buttonsText(), ui->tabEeprom);
        labelEepromButtons->setObjectName(QStringLiteral("labelEepromButtons"));
        labelEepromButtons->setAccessibleName(labelEepromButtons->text());
        labelEepromButtons->setWordWrap(true);
        labelEepromButtons->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        labelEepromButtons->setGeometry(466, 472, 424, 64);
    }
    wireEditors();
    wireLaser();
}

// ---------------------------------------------------------------------------------------------
// The image as read: the labels show it; an editable field takes it only while it still shows
// what the board last put there.

template <typename Field>
bool Control_Panel::refreshEepromField(Field* field, const QString& fromBoard) {
    const auto shown = eepromFieldsShown.constFind(field);
    const bool untouched = shown == eepromFieldsShown.constEnd() || *shown == fieldValue(field);
    eepromFieldsShown.insert(field, fromBoard);
    if (untouched)
        showValue(field, fromBoard);
    return untouched;
}
// the audio byte page takes it too
template bool Control_Panel::refreshEepromField<QLineEdit>(QLineEdit*, const QString&);

void Control_Panel::updateBaudrateSetting() {
    refreshEepromField(ui->comboBox_selected_baud_rate,
                       QString::number(board->baudRate != 128000 ? 1 : 0));
}

void Control_Panel::updateFocGainSetting() {
    refreshEepromField(ui->comboBox_selected_focus,
                       QString::number(board->state.eeprom.image.focus_setting == 0x01 ? 1 : 0));
}

void Control_Panel::handleProductionCode() {
    const EepromParameters& image = board->state.eeprom.image;
    ui->label_CustomerID->setText(QString::number(image.customer_id));
    ui->labelFlashedBy->setText(QString::number(image.flashed_by));
    ui->label_ProductionCode->setText(QString::number(image.serial_number));
    ui->label_ProductionDate->setText(ProductionRecord::dateText(image.production_day));
    refreshEepromField(ui->lineEditCustomerID, QString::number(image.customer_id));
    refreshEepromField(ui->lineEditFlashedBy, QString::number(image.flashed_by));
    refreshEepromField(ui->lineProductionCode, QString::number(image.serial_number));
    refreshEepromField(ui->dateProduction,
                       ProductionRecord::date(image.production_day).toString(Qt::ISODate));
}

void Control_Panel::handleRuntime() {
    ui->labelOnTime->setText(QString::number(board->state.eeprom.image.runtime_s));
}

// While "Set to Default" is checked the labels keep the default line that a run would write.
void Control_Panel::handleLaserParamters() {
    if (ui->checkBoxSetLaserToDefault->isChecked())
        return;
    ui->label_Derivative->setText(g6(static_cast<double>(board->state.eeprom.image.laser_slope)));
    ui->label_Offset->setText(g6(static_cast<double>(board->state.eeprom.image.laser_offset)));
}

// ---------------------------------------------------------------------------------------------
// Choices on the page

void Control_Panel::handle_baud_rate_selected(int index) {
    const int flag = itemByte(ui->comboBox_selected_baud_rate, index);
    if (flag < 0)
        return;
    const int rate = ui->comboBox_selected_baud_rate->itemText(index).toInt();
    qCDebug(dk61Eeprom) << "set baud rate to" << Qt::hex << flag;
    ui->BaudrateWarningLabel->setText(
        "New baud rate active after reflash and restart of CD-Board. Please consider change of "
        "baud rate in settings (options) of the PC-Tool!");
    ui->BaudrateWarningLabel->setVisible((rate ? rate : 128000) != board->baudRate);
}

void Control_Panel::toggleFlashDate() {
    ui->dateProduction->setDate(
        ui->checkBoxSetDateToToday->isChecked()
            ? QDate::currentDate()
            : ProductionRecord::date(board->state.eeprom.image.production_day));
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
// The programming run: the board's EepromRun writes and verifies; the page starts it with its
// values and shows what it reports.

void Control_Panel::beginFlashEeprom() {
    startEepromChain(EepromRun::Kind::Settings);
}

void Control_Panel::programAllParameters() {
    EepromParameters image;
    if (eepromChainRunning || !takeEepromPage(EepromRun::Kind::Full, &image))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Program all parameters"),
                                EepromProgramming::fullChainQuestion(),
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes)
            startEepromChain(EepromRun::Kind::Full);
    });
    box->open();
}

bool Control_Panel::takeEepromPage(EepromRun::Kind kind, EepromParameters* image) {
    const BoardState& state = board->state;
    const bool full = kind == EepromRun::Kind::Full;
    QString why = EepromProgramming::notReadyText(
        state.eeprom.settings_read, state.eeprom.focus_read, state.loader.loader_list_complete,
        !full || state.eeprom.production_read, !full || state.eeprom.laser_read);
    if (why.isEmpty() && board->decoder.runningSequence())
        why = EepromProgramming::busyText();
    *image = state.eeprom.image;
    // The loader code of the selected entry; with the placeholder selected, the code in use.
    const int selected = ui->comboBox_selected_loader_type->currentIndex();
    const int code = itemByte(ui->comboBox_selected_loader_type, selected);
    if (selected > 0 && code >= 0)
        image->loader_code = static_cast<quint8>(code);
    else if (state.loader.loader_type_known)
        image->loader_code = state.loader.loader_type;
    const int baud =
        itemByte(ui->comboBox_selected_baud_rate, ui->comboBox_selected_baud_rate->currentIndex());
    image->baud_flag = baud == 0x01 ? 0x01 : 0xFF;
    image->focus_setting = ui->comboBox_selected_focus->currentIndex() == 1 ? 0x01 : 0xFF;
    if (why.isEmpty() && !AudioByte::parse(ui->lineAudioByte->text(), &image->audio_byte))
        why = AudioByte::invalidText();
    // the full run writes k and d as the page shows them, and the production record typed here
    if (why.isEmpty() && full &&
        EepromProgramming::laserFromTexts(ui->label_Derivative->text(), ui->label_Offset->text(),
                                          &image->laser_slope, &image->laser_offset, &why))
        ProductionRecord::fromPage(ui->lineProductionCode->text(), ui->lineEditFlashedBy->text(),
                                   ui->lineEditCustomerID->text(), ui->dateProduction->date(),
                                   image, &why);
    if (why.isEmpty())
        return true;
    qCDebug(dk61Eeprom) << why;
    ui->labelEeprom->setText(why);
    return false;
}

void Control_Panel::startEepromChain(EepromRun::Kind kind) {
    EepromParameters image;
    if (eepromChainRunning || !takeEepromPage(kind, &image))
        return;
    ui->BaudrateWarningLabel->hide();
    ui->lblWarningRuntime->hide();
    board->startEepromRun(kind, image);
    showEepromRun();
}

void Control_Panel::showEepromRun() {
    const EepromRun& run = board->decoder.eepromRun;
    ui->progressBarEeprom->setValue(run.progress());
    ui->labelEeprom->setText(run.text());
    eepromChainRunning = run.isRunning();
}

// Connected to the board's recievedEepromParameters: the run moved on, or has verified all.
void Control_Panel::flashEeprom(int step) {
    qCDebug(dk61Eeprom) << "Flashing eeprom step" << step;
    showEepromRun();
    if (step == EepromRun::number(EepromRun::Step::Done))
        eepromRunSucceeded();
}

// The serial number steps on once the board holds the one written.
void Control_Panel::eepromRunSucceeded() {
    const EepromRun& run = board->decoder.eepromRun;
    if (run.kind() == EepromRun::Kind::Full && ui->checkBoxIncrementProductionCode->isChecked())
        ui->lineProductionCode->setText(
            QString::number(static_cast<quint16>(run.image().serial_number + 1)));
    emit flashSuccess();
}

// Connected to the board's eepromRunFailed: a refused write, no answer, bytes that differ, the
// link lost.
void Control_Panel::flashTimeOut() {
    showEepromRun();
}

void Control_Panel::endEepromChain(const QString& text) {
    board->stopEepromRun(text);
}

// Called by the decoder when the board refuses an EEPROM write.
void Control_Panel::handleEepromState() {
    showEepromRun();
}
