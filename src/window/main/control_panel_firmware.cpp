// The main window's flash page: choosing the hex file and running the ISP tool on the board
// link's port, which the link leaves to the tool for the length of the run (FlashPage).
#include "cd_board.h"
#include "firmware/flashpage.h"
#include "firmware/isprun.h"
#include "main/control_panel.h"
#include "ui_control_panel.h"

void Control_Panel::wireFirmware() {
    flashPage = std::make_unique<FlashPage>(
        FlashPage::Parts{
            this,
            ui->lineHexFileName,
            ui->buttonBrowseHexFile,
            ui->labelBrowserError,
            {ui->labelFlashingTotal, ui->progressBarFlashingTotal, ui->flashTextBrowser},
            ui->buttonFlashFirmware,
            ui->rBHLB6x,
            [this] { return board->link().portName(); },
            [this] { boardLink.yieldPort(); },
            [this] { boardLink.resume(); }},
        *settings);
    connect(&flashPage->run(), &IspRun::outputShown, this,
            &Control_Panel::flashFirmwareStandardOutputHandler);
    connect(&flashPage->run(), &IspRun::finished, this, &Control_Panel::flashFirmwareFinished);
    connect(ui->buttonBrowseHexFile, &QPushButton::clicked, this, &Control_Panel::browseHexFile);
}
