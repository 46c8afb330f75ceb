// The main window's loader list on the EEPROM page and the loader and pickup actions
// (LoaderPanel).
#include "cd_board.h"
#include "console/loaderpanel.h"
#include "main/control_panel.h"
#include "production/audiobytepage.h"
#include "service/servicepanel.h"
#include "ui_control_panel.h"

void Control_Panel::wireLoader() {
    loaderPanel =
        std::make_unique<LoaderPanel>(LoaderPanel::Parts{this, ui->comboBox_selected_loader_type,
                                                         ui->label_possible_loader_types_list},
                                      *board, *settings);
    connect(ui->comboBox_selected_loader_type, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &Control_Panel::handle_other_possible_loader_selected);
    connect(board, &CD_Board::retrievedloaderTypeFromEeprom, this,
            &Control_Panel::handleLoaderSelection);
}

// The board's list has arrived after its EEPROM named a loader: show that loader, the tray
// calibration when it is the DK-Tria tray loader, and the audio byte of the same block.
void Control_Panel::handleLoaderSelection() {
    servicePanel->offerTrayCalibration(loaderPanel->showEepromLoader());
    showReadAudioByte();
}
