// The main window's loader list on the EEPROM page.
#include "cd_board.h"
#include "control_panel.h"
#include "loaderchoice.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QActionGroup>

// Empties the list label and removes every combo entry but the placeholder "None".
void Control_Panel::clearLoaderList() {
    ui->label_possible_loader_types_list->clear();
    while (ui->comboBox_selected_loader_type->count() > 1)
        ui->comboBox_selected_loader_type->removeItem(1);
}

// One supported loader code: a combo entry carrying the code as a one-character item data, and
// a line of the list label.
void Control_Panel::addLoaderEntry(const QString& text, int code) {
    ui->comboBox_selected_loader_type->addItem(text, QString(QChar(code & 0xFF)));
    ui->label_possible_loader_types_list->setText(ui->label_possible_loader_types_list->text() +
                                                  text + "\n");
}

// Makes the entry of a loader code current; the placeholder is never selected this way.
bool Control_Panel::selectLoaderEntry(int code) {
    const int index = ui->comboBox_selected_loader_type->findData(QString(QChar(code & 0xFF)));
    qCDebug(dk61Console) << index << __LINE__ << "control_panel.cpp";
    if (index < 1)
        return false;
    ui->comboBox_selected_loader_type->setCurrentIndex(index);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The loader choice: the combo on the EEPROM page, the loader code read from the EEPROM, and the
// loader and pickup actions (in the service build under Options > Loader and Options > Pickup).

void Control_Panel::wireLoader() {
    connect(ui->comboBox_selected_loader_type, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &Control_Panel::handle_other_possible_loader_selected);
    connect(board, &CD_Board::retrievedloaderTypeFromEeprom, this,
            &Control_Panel::handleLoaderSelection);
    // Each action checks itself and unchecks the others of its group, and stores its nibble.
    for (const QVector<LoaderChoice::Action>* table :
         {&LoaderChoice::loaderActions(), &LoaderChoice::pickupActions()}) {
        auto* group = new QActionGroup(this);
        group->setExclusive(true);
        for (const LoaderChoice::Action& entry : *table) {
            QAction* action = findChild<QAction*>(QString::fromLatin1(entry.action));
            if (!action)
                continue;
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, entry] {
                settings->setValue(QString::fromLatin1(entry.key), entry.value);
            });
        }
    }
}

void Control_Panel::handle_other_possible_loader_selected(int index) {
    const QString data = ui->comboBox_selected_loader_type->itemData(index).toString();
    const quint8 code = data.isEmpty() ? 0 : static_cast<quint8>(data.at(0).toLatin1());
    qCDebug(dk61Console) << "set selected Loader Type to" << Qt::hex << code << "in line" << Qt::dec
                         << __LINE__;
    board->chooseLoaderType(code);
}

// The board's list has arrived after its EEPROM named a loader: show that loader, the tray
// calibration when it is the DK-Tria tray loader, and the audio byte of the same block.
void Control_Panel::handleLoaderSelection() {
    const quint8 code = board->state.loader.eeprom_loader_code;
    QComboBox* combo = ui->comboBox_selected_loader_type;
    combo->setCurrentIndex(LoaderChoice::entryToShow(combo->findData(QString(QChar(code)))));
    const bool calibration = LoaderChoice::offersTrayCalibration(code);
    ui->groupLoaderCalibration->setVisible(calibration);
    if (calibration)
        ui->lblCalibrationHint->clear();
    showReadAudioByte();
}
