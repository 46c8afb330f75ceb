// The main window's loader list on the EEPROM page.
#include "control_panel.h"
#include "logging.h"
#include "ui_control_panel.h"

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
