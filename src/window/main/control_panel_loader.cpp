// The main window's loader and pickup actions (LoaderPanel).
#include "console/loaderpanel.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::wireLoader() {
    loaderPanel = std::make_unique<LoaderPanel>(
        QVector<QAction*>{ui->actionTray_Loader, ui->actionTop_Loader, ui->actionSlot_Loader,
                          ui->actionTray_Loader_Tria},
        QVector<QAction*>{ui->actionSony_KHM, ui->actionSanyo_HD850, ui->actionSanyo_DA11},
        *settings);
}
