#include "production/eeprompage.h"

#include "cd_board.h"
#include "console/commandcatalogue.h"
#include "console/loaderchoice.h"
#include "production/audiobyte.h"
#include "production/eepromprogramming.h"
#include "production/productionrecord.h"
#include "shell/logging.h"
#include "ui_eeprompage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

namespace {

// The byte an entry of the page's combo boxes stands for (its one-character item data).
int itemByte(const QComboBox* combo, int index) {
    const QString data = combo->itemData(index).toString();
    return data.isEmpty() ? -1 : data.at(0).toLatin1() & 0xFF;
}

// Each loader entry carries its loader code as a one-character item data.
QString loaderData(int code) {
    return QString(QChar(code & 0xFF));
}

} // namespace

EepromPage::EepromPage(CD_Board& board, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::EepromPage>()), board(board) {
    ui->setupUi(this);
    for (QLabel* label : {ui->labelOnTime, ui->label_Offset, ui->label_Derivative,
                          ui->label_ProductionCode, ui->label_ProductionDate, ui->labelEeprom,
                          ui->labelEepromError, ui->label_possible_loader_types_list})
        label->clear();
    ui->lblWarningRuntime->hide();
    // Beside the Open and Close buttons, where the hint below keeps the sequence's guidance.
    brakeDistanceWarning = new QLabel(ui->groupLoaderCalibration);
    brakeDistanceWarning->setObjectName("lblBrakeDistanceWarning");
    brakeDistanceWarning->setGeometry(302, 18, 100, 38);
    brakeDistanceWarning->setWordWrap(true);
    brakeDistanceWarning->setStyleSheet("QLabel  { color: red}");
    wireBoard();
}

EepromPage::~EepromPage() = default;

void EepromPage::wireBoard() {
    connect(ui->ButtonFlashEeprom, &QPushButton::clicked, this,
            [this] { start(EepromRun::Kind::Settings); });
    connect(&board, &CD_Board::recievedEepromParameters, this, [this](int step) {
        if (showRun(step))
            emit programmed();
    });
    connect(&board, &CD_Board::eepromRunFailed, this, [this] { showRun(); });
    // each block of the image as it is read
    const std::pair<void (CD_Board::*)(), void (EepromPage::*)()> reads[] = {
        {&CD_Board::retrievedProductionCode, &EepromPage::showProductionRecord},
        {&CD_Board::retrievedRuntime, &EepromPage::showRuntime},
        {&CD_Board::retrievedBaudrateSetting, &EepromPage::showBaudSetting},
        {&CD_Board::retrievedBaudrateSetting, &EepromPage::showAudioByteRead},
        {&CD_Board::retrievedFocParamSetting, &EepromPage::showFocusSetting},
        {&CD_Board::retrievedLaserParamters, &EepromPage::showLaser},
        {&CD_Board::retrievedloaderTypeFromEeprom, &EepromPage::showEepromLoader}};
    for (const auto& [read, show] : reads)
        connect(&board, read, this, show);
    connect(ui->comboBox_selected_baud_rate, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &EepromPage::baudRateChosen);
    connect(ui->comboBox_selected_loader_type, qOverload<int>(&QComboBox::currentIndexChanged),
            this, &EepromPage::chooseLoader);
    connect(ui->checkBoxSetDateToToday, &QCheckBox::clicked, this, &EepromPage::toggleDate);
    connect(ui->checkBoxSetLaserToDefault, &QCheckBox::clicked, this,
            &EepromPage::toggleLaserDefault);
    connect(ui->checkResetOnTime, &QCheckBox::clicked, this, &EepromPage::showRuntimeHint);
    // The tray calibration: Open and Close with the typed speed, then the three steps.
    for (QPushButton* tray : {ui->btnClickTrayOpen_2, ui->btnClickTrayClose_2})
        connect(tray, &QPushButton::clicked, this, [this, tray] {
            emit commandText(
                CommandCatalogue::text(tray->objectName(), ui->txtInputTrayBoth->text()));
        });
    connect(ui->btnCalibrationDelete, &QPushButton::clicked, this, &EepromPage::calibrationReset);
    connect(ui->btnCalibrationSet1, &QPushButton::clicked, this,
            &EepromPage::calibrationSetDistance);
    connect(ui->btnCalibrationSet2, &QPushButton::clicked, this, &EepromPage::calibrationSetTiming);
}

void EepromPage::fillLists() {
    // The first entry of each list goes again: the form's placeholder.
    ui->comboBox_selected_baud_rate->addItem("128000", QString(QChar(0xFF)));
    ui->comboBox_selected_baud_rate->addItem("115200", QString(QChar(0x01)));
    ui->comboBox_selected_baud_rate->removeItem(0);
    ui->comboBox_selected_focus->addItem("R31 = 18kOhm", QString(QChar(0xFF)));
    ui->comboBox_selected_focus->addItem("R31 = 12kOhm", QString(QChar(0x01)));
    ui->comboBox_selected_focus->removeItem(0);
    ui->comboBox_selected_baud_rate->setCurrentIndex(board.baudRate() == 115200 ? 1 : 0);
    ui->BaudrateWarningLabel->setVisible(board.baudRate() != 115200 && board.baudRate() != 128000);
    ui->comboBox_selected_focus->setCurrentIndex(
        board.state().eeprom.image.focus_setting == 0x01 ? 1 : 0);
}

void EepromPage::offerFullRun() {
    auto* button = new QPushButton(QStringLiteral("Program all parameters..."), this);
    button->setObjectName(QStringLiteral("buttonProgramAll"));
    button->setAccessibleName(button->text());
    button->setGeometry(10, 500, 170, 28);
    auto* label = new QLabel(EepromProgramming::buttonsText(), this);
    label->setObjectName(QStringLiteral("labelEepromButtons"));
    label->setAccessibleName(label->text());
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(466, 472, 424, 64);
    connect(button, &QPushButton::clicked, this, &EepromPage::askFullRun);
}

void EepromPage::lockProductionFields() {
    for (QLineEdit* line : {ui->Line_Derivative, ui->Line_Offset, ui->lineProductionCode,
                            ui->lineEditCustomerID, ui->lineEditFlashedBy})
        line->setReadOnly(true);
    ui->dateProduction->setReadOnly(true);
    ui->label_CustomerID->clear();
    ui->labelFlashedBy->clear();
    for (QWidget* box :
         std::initializer_list<QWidget*>{ui->checkBoxSetLaserToDefault, ui->checkBoxSetDateToToday,
                                         ui->checkBoxIncrementProductionCode})
        box->setEnabled(false);
    for (QWidget* field : std::initializer_list<QWidget*>{
             ui->lineOnTime, ui->dateProduction, ui->Line_Derivative, ui->Line_Offset,
             ui->lineProductionCode, ui->lineEditCustomerID, ui->lineEditFlashedBy,
             ui->checkBoxSetLaserToDefault, ui->checkBoxSetDateToToday,
             ui->checkBoxIncrementProductionCode, ui->checkResetOnTime})
        field->hide();
}

void EepromPage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_4->setVisible(shown);
}

// ---------------------------------------------------------------------------------------------
// The image as read

void EepromPage::showProductionRecord() {
    const EepromParameters& image = board.state().eeprom.image;
    const std::pair<QLabel*, QLineEdit*> numbers[] = {
        {ui->label_CustomerID, ui->lineEditCustomerID},
        {ui->labelFlashedBy, ui->lineEditFlashedBy},
        {ui->label_ProductionCode, ui->lineProductionCode}};
    const quint16 values[] = {image.customer_id, image.flashed_by, image.serial_number};
    for (int i = 0; i < 3; ++i) {
        numbers[i].first->setText(QString::number(values[i]));
        fields.refresh(numbers[i].second, QString::number(values[i]));
    }
    ui->label_ProductionDate->setText(ProductionRecord::dateText(image.production_day));
    fields.refresh(ui->dateProduction,
                   ProductionRecord::date(image.production_day).toString(Qt::ISODate));
}

void EepromPage::showRuntime() {
    ui->labelOnTime->setText(QString::number(board.state().eeprom.image.runtime_s));
}

// The labels show the line the board holds; the fields, what the full run writes, follow it
// unless the operator changed them or "Set to Default" holds the default line there.
void EepromPage::showLaser() {
    const EepromParameters& image = board.state().eeprom.image;
    const QString k = EepromProgramming::laserText(static_cast<double>(image.laser_slope));
    const QString d = EepromProgramming::laserText(static_cast<double>(image.laser_offset));
    ui->label_Derivative->setText(k);
    ui->label_Offset->setText(d);
    if (ui->checkBoxSetLaserToDefault->isChecked())
        return;
    fields.refresh(ui->Line_Derivative, k);
    fields.refresh(ui->Line_Offset, d);
}

void EepromPage::takeLaser(double slope, double offset) {
    if (ui->checkBoxSetLaserToDefault->isChecked()) {
        ui->checkBoxSetLaserToDefault->setChecked(false);
        toggleLaserDefault();
    }
    ui->Line_Derivative->setText(EepromProgramming::laserText(slope));
    ui->Line_Offset->setText(EepromProgramming::laserText(offset));
}

void EepromPage::setAudioByte(const QString& text) {
    ui->lineAudioByte->setText(text);
}

void EepromPage::showBaudSetting() {
    fields.refresh(ui->comboBox_selected_baud_rate,
                   QString::number(board.baudRate() != 128000 ? 1 : 0));
}

void EepromPage::showFocusSetting() {
    fields.refresh(ui->comboBox_selected_focus,
                   QString::number(board.state().eeprom.image.focus_setting == 0x01 ? 1 : 0));
}

// ---------------------------------------------------------------------------------------------
// Choices on the page

void EepromPage::baudRateChosen(int index) {
    const int flag = itemByte(ui->comboBox_selected_baud_rate, index);
    if (flag < 0)
        return;
    const int rate = ui->comboBox_selected_baud_rate->itemText(index).toInt();
    qCDebug(dk61Eeprom) << "set baud rate to" << Qt::hex << flag;
    ui->BaudrateWarningLabel->setText(
        "New baud rate active after reflash and restart of CD-Board. Please consider change of "
        "baud rate in settings (options) of the PC-Tool!");
    ui->BaudrateWarningLabel->setVisible((rate ? rate : 128000) != board.baudRate());
}

void EepromPage::toggleDate() {
    ui->dateProduction->setDate(
        ui->checkBoxSetDateToToday->isChecked()
            ? QDate::currentDate()
            : ProductionRecord::date(board.state().eeprom.image.production_day));
}

// The fields take the default line, or the one in use again; the labels go on showing the
// board's.
void EepromPage::toggleLaserDefault() {
    const bool byDefault = ui->checkBoxSetLaserToDefault->isChecked();
    ui->Line_Derivative->setText(EepromProgramming::laserText(
        byDefault ? EepromProgramming::DefaultSlope
                  : static_cast<double>(board.state().laser.laser_slope)));
    ui->Line_Offset->setText(EepromProgramming::laserText(
        byDefault ? EepromProgramming::DefaultOffset
                  : static_cast<double>(board.state().laser.laser_offset)));
    ui->Line_Derivative->setReadOnly(byDefault);
    ui->Line_Offset->setReadOnly(byDefault);
}

void EepromPage::showRuntimeHint() {
    ui->lblWarningRuntime->setVisible(ui->checkResetOnTime->isChecked());
}

// ---------------------------------------------------------------------------------------------
// The loader list

void EepromPage::clearLoaders() {
    ui->label_possible_loader_types_list->clear();
    while (ui->comboBox_selected_loader_type->count() > 1)
        ui->comboBox_selected_loader_type->removeItem(1);
}

void EepromPage::addLoader(const QString& text, int code) {
    ui->comboBox_selected_loader_type->addItem(text, loaderData(code));
    QLabel* list = ui->label_possible_loader_types_list;
    list->setText(list->text() + text + "\n");
}

bool EepromPage::selectLoader(int code) {
    const int index = ui->comboBox_selected_loader_type->findData(loaderData(code));
    qCDebug(dk61Console) << "loader entry" << index;
    if (index < 1)
        return false;
    ui->comboBox_selected_loader_type->setCurrentIndex(index);
    return true;
}

void EepromPage::chooseLoader(int index) {
    const QString data = ui->comboBox_selected_loader_type->itemData(index).toString();
    const quint8 code = data.isEmpty() ? 0 : static_cast<quint8>(data.at(0).toLatin1());
    qCDebug(dk61Console) << "set selected Loader Type to" << Qt::hex << code;
    board.chooseLoaderType(code);
}

// The board's list has arrived after its EEPROM named a loader: that loader, the tray
// calibration when it is the DK-Tria tray loader, and the audio byte of the same block.
void EepromPage::showEepromLoader() {
    const quint8 code = board.state().loader.eeprom_loader_code;
    QComboBox* loaders = ui->comboBox_selected_loader_type;
    loaders->setCurrentIndex(LoaderChoice::entryToShow(loaders->findData(loaderData(code))));
    offerTrayCalibration(LoaderChoice::offersTrayCalibration(code));
    showAudioByteRead();
}

void EepromPage::showAudioByteRead() {
    const quint8 value = board.state().eeprom.image.audio_byte;
    if (fields.refresh(ui->lineAudioByte, AudioByte::text(value)))
        emit audioByteShown(value);
}

// ---------------------------------------------------------------------------------------------
// Tray calibration: the command goes out through the typed-request line, then the hint follows.

void EepromPage::offerTrayCalibration(bool offered) {
    ui->groupLoaderCalibration->setVisible(offered);
    if (offered)
        ui->lblCalibrationHint->clear();
}

void EepromPage::apply(const TrayCalibration::Press& press) {
    brakeDistanceWarning->setText(press.refusal);
    if (!press.command.isEmpty())
        emit commandText(press.command);
    if (!press.hint.isNull())
        ui->lblCalibrationHint->setText(press.hint);
}

void EepromPage::calibrationReset() {
    apply(tray.reset());
}

void EepromPage::calibrationSetDistance() {
    apply(tray.setDistance(ui->txtBrakeDistance->text()));
}

void EepromPage::calibrationSetTiming() {
    apply(tray.setTiming());
}

// ---------------------------------------------------------------------------------------------
// Programming runs

bool EepromPage::take(EepromRun::Kind kind, EepromParameters* image) {
    EepromProgramming::Page page;
    page.loaderEntry = ui->comboBox_selected_loader_type->currentIndex();
    page.loaderCode = itemByte(ui->comboBox_selected_loader_type, page.loaderEntry);
    page.baudByte =
        itemByte(ui->comboBox_selected_baud_rate, ui->comboBox_selected_baud_rate->currentIndex());
    page.focusEntry = ui->comboBox_selected_focus->currentIndex();
    page.audioByte = ui->lineAudioByte->text();
    page.slope = ui->Line_Derivative->text();
    page.offset = ui->Line_Offset->text();
    page.serial = ui->lineProductionCode->text();
    page.flashedBy = ui->lineEditFlashedBy->text();
    page.customer = ui->lineEditCustomerID->text();
    page.date = ui->dateProduction->date();
    const QString why =
        EepromProgramming::imageFromPage(page, board.state(), board.decoder().runningSequence(),
                                         kind == EepromRun::Kind::Full, image);
    if (why.isEmpty())
        return true;
    qCDebug(dk61Eeprom) << why;
    ui->labelEeprom->setText(why);
    return false;
}

void EepromPage::start(EepromRun::Kind kind) {
    EepromParameters image;
    if (runOn || !take(kind, &image))
        return;
    ui->BaudrateWarningLabel->hide();
    ui->lblWarningRuntime->hide();
    board.startEepromRun(kind, image);
    showRun();
}

void EepromPage::askFullRun() {
    EepromParameters image;
    if (runOn || !take(EepromRun::Kind::Full, &image))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Program all parameters"),
                                EepromProgramming::fullChainQuestion(),
                                QMessageBox::Yes | QMessageBox::No, window());
    box->setDefaultButton(QMessageBox::No);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes)
            start(EepromRun::Kind::Full);
    });
    box->open();
}

// The serial number steps on once the board holds the one written.
bool EepromPage::showRun(int step) {
    const EepromRun& run = board.decoder().eepromRun;
    ui->progressBarEeprom->setValue(run.progress());
    ui->labelEeprom->setText(run.text());
    runOn = run.isRunning();
    if (step != EepromRun::number(EepromRun::Step::Done))
        return false;
    if (run.kind() == EepromRun::Kind::Full && ui->checkBoxIncrementProductionCode->isChecked())
        ui->lineProductionCode->setText(
            QString::number(static_cast<quint16>(run.image().serial_number + 1)));
    return true;
}

void EepromPage::end(const QString& text) {
    board.stopEepromRun(text);
}
