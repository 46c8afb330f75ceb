#include "production/eeprompage.h"

#include "cd_board.h"
#include "production/eepromprogramming.h"
#include "production/productionrecord.h"
#include "shell/logging.h"

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

} // namespace

EepromPage::EepromPage(const Parts& parts, CD_Board& board, FieldMemory& fields, QObject* parent)
    : QObject(parent), p(parts), board(board), fields(fields) {
    for (QLabel* label : {p.onTime, p.offset, p.slope, p.serial, p.date, p.status})
        label->clear();
    p.runtimeWarning->hide();
}

void EepromPage::fillLists() {
    // The first entry of each list goes again: the form's placeholder.
    p.baudRate->addItem("128000", QString(QChar(0xFF)));
    p.baudRate->addItem("115200", QString(QChar(0x01)));
    p.baudRate->removeItem(0);
    p.focus->addItem("R31 = 18kOhm", QString(QChar(0xFF)));
    p.focus->addItem("R31 = 12kOhm", QString(QChar(0x01)));
    p.focus->removeItem(0);
    p.baudRate->setCurrentIndex(board.baudRate() == 115200 ? 1 : 0);
    p.baudWarning->setVisible(board.baudRate() != 115200 && board.baudRate() != 128000);
    p.focus->setCurrentIndex(board.state().eeprom.image.focus_setting == 0x01 ? 1 : 0);
}

QPushButton* EepromPage::addFullRunButton() {
    auto* button = new QPushButton(QStringLiteral("Program all parameters..."), p.page);
    button->setObjectName(QStringLiteral("buttonProgramAll"));
    button->setAccessibleName(button->text());
    button->setGeometry(10, 500, 170, 28);
    auto* label = new QLabel(EepromProgramming::buttonsText(), p.page);
    label->setObjectName(QStringLiteral("labelEepromButtons"));
    label->setAccessibleName(label->text());
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(466, 472, 424, 64);
    return button;
}

// ---------------------------------------------------------------------------------------------
// The image as read

void EepromPage::showProductionRecord() {
    const EepromParameters& image = board.state().eeprom.image;
    const std::pair<QLabel*, QLineEdit*> numbers[] = {{p.customerId, p.customerIdField},
                                                      {p.flashedBy, p.flashedByField},
                                                      {p.serial, p.serialField}};
    const quint16 values[] = {image.customer_id, image.flashed_by, image.serial_number};
    for (int i = 0; i < 3; ++i) {
        numbers[i].first->setText(QString::number(values[i]));
        fields.refresh(numbers[i].second, QString::number(values[i]));
    }
    p.date->setText(ProductionRecord::dateText(image.production_day));
    fields.refresh(p.dateField, ProductionRecord::date(image.production_day).toString(Qt::ISODate));
}

void EepromPage::showRuntime() {
    p.onTime->setText(QString::number(board.state().eeprom.image.runtime_s));
}

// The labels show the line the board holds; the fields, what the full run writes, follow it
// unless the operator changed them or "Set to Default" holds the default line there.
void EepromPage::showLaser() {
    const EepromParameters& image = board.state().eeprom.image;
    const QString k = EepromProgramming::laserText(static_cast<double>(image.laser_slope));
    const QString d = EepromProgramming::laserText(static_cast<double>(image.laser_offset));
    p.slope->setText(k);
    p.offset->setText(d);
    if (p.laserDefault->isChecked())
        return;
    fields.refresh(p.slopeField, k);
    fields.refresh(p.offsetField, d);
}

void EepromPage::takeLaser(double slope, double offset) {
    if (p.laserDefault->isChecked()) {
        p.laserDefault->setChecked(false);
        toggleLaserDefault();
    }
    p.slopeField->setText(EepromProgramming::laserText(slope));
    p.offsetField->setText(EepromProgramming::laserText(offset));
}

void EepromPage::showBaudSetting() {
    fields.refresh(p.baudRate, QString::number(board.baudRate() != 128000 ? 1 : 0));
}

void EepromPage::showFocusSetting() {
    fields.refresh(p.focus,
                   QString::number(board.state().eeprom.image.focus_setting == 0x01 ? 1 : 0));
}

// ---------------------------------------------------------------------------------------------
// Choices on the page

void EepromPage::baudRateChosen(int index) {
    const int flag = itemByte(p.baudRate, index);
    if (flag < 0)
        return;
    const int rate = p.baudRate->itemText(index).toInt();
    qCDebug(dk61Eeprom) << "set baud rate to" << Qt::hex << flag;
    p.baudWarning->setText(
        "New baud rate active after reflash and restart of CD-Board. Please consider change of "
        "baud rate in settings (options) of the PC-Tool!");
    p.baudWarning->setVisible((rate ? rate : 128000) != board.baudRate());
}

void EepromPage::toggleDate() {
    p.dateField->setDate(p.dateToday->isChecked()
                             ? QDate::currentDate()
                             : ProductionRecord::date(board.state().eeprom.image.production_day));
}

// The fields take the default line, or the one in use again; the labels go on showing the
// board's.
void EepromPage::toggleLaserDefault() {
    const bool byDefault = p.laserDefault->isChecked();
    p.slopeField->setText(EepromProgramming::laserText(
        byDefault ? EepromProgramming::DefaultSlope
                  : static_cast<double>(board.state().laser.laser_slope)));
    p.offsetField->setText(EepromProgramming::laserText(
        byDefault ? EepromProgramming::DefaultOffset
                  : static_cast<double>(board.state().laser.laser_offset)));
    p.slopeField->setReadOnly(byDefault);
    p.offsetField->setReadOnly(byDefault);
}

void EepromPage::showRuntimeHint() {
    p.runtimeWarning->setVisible(p.resetOnTime->isChecked());
}

// ---------------------------------------------------------------------------------------------
// Programming runs

bool EepromPage::take(EepromRun::Kind kind, EepromParameters* image) {
    EepromProgramming::Page page;
    page.loaderEntry = p.loaders->currentIndex();
    page.loaderCode = itemByte(p.loaders, page.loaderEntry);
    page.baudByte = itemByte(p.baudRate, p.baudRate->currentIndex());
    page.focusEntry = p.focus->currentIndex();
    page.audioByte = p.audioByte->text();
    page.slope = p.slopeField->text();
    page.offset = p.offsetField->text();
    page.serial = p.serialField->text();
    page.flashedBy = p.flashedByField->text();
    page.customer = p.customerIdField->text();
    page.date = p.dateField->date();
    const QString why =
        EepromProgramming::imageFromPage(page, board.state(), board.decoder().runningSequence(),
                                         kind == EepromRun::Kind::Full, image);
    if (why.isEmpty())
        return true;
    qCDebug(dk61Eeprom) << why;
    p.status->setText(why);
    return false;
}

void EepromPage::start(EepromRun::Kind kind) {
    EepromParameters image;
    if (runOn || !take(kind, &image))
        return;
    p.baudWarning->hide();
    p.runtimeWarning->hide();
    board.startEepromRun(kind, image);
    showRun();
}

void EepromPage::askFullRun() {
    EepromParameters image;
    if (runOn || !take(EepromRun::Kind::Full, &image))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Program all parameters"),
                                EepromProgramming::fullChainQuestion(),
                                QMessageBox::Yes | QMessageBox::No, p.window);
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
    p.progress->setValue(run.progress());
    p.status->setText(run.text());
    runOn = run.isRunning();
    if (step != EepromRun::number(EepromRun::Step::Done))
        return false;
    if (run.kind() == EepromRun::Kind::Full && p.incrementSerial->isChecked())
        p.serialField->setText(
            QString::number(static_cast<quint16>(run.image().serial_number + 1)));
    return true;
}

void EepromPage::end(const QString& text) {
    board.stopEepromRun(text);
}
