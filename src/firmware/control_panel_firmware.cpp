// The main window's flash page: choosing the hex file and running the ISP tool on the board
// link's port, which the link leaves to the tool for the length of the run (FlashPage).
#include "cd_board.h"
#include "control_panel.h"
#include "flashpage.h"
#include "isprun.h"
#include "ui_control_panel.h"

void Control_Panel::wireFirmware() {
    flashPage = new FlashPage({this, ui->lineHexFileName, ui->buttonBrowseHexFile,
                               ui->buttonFlashFirmware, ui->rBHLB6x, ui->labelBrowserError,
                               ui->labelFlashingTotal, ui->progressBarFlashingTotal,
                               ui->flashTextBrowser, [this] { return board->link.portName(); },
                               [this] { boardLink.yieldPort(); }, [this] { boardLink.resume(); }},
                              *settings, this);
    connect(&flashPage->run(), &IspRun::outputShown, this,
            &Control_Panel::flashFirmwareStandardOutputHandler);
    connect(&flashPage->run(), &IspRun::finished, this, &Control_Panel::flashFirmwareFinished);
    connect(ui->buttonBrowseHexFile, &QPushButton::clicked, this, &Control_Panel::browseHexFile);
}

void Control_Panel::browseHexFile() {
    flashPage->browse();
}

// The button while idle (FlashPage wires it), and Return on the flash page.
void Control_Panel::flashFirmware() {
    flashPage->flash();
}

void Control_Panel::flashFirmwareStandardOutputHandler(const QString& text) {
    flashPage->showOutput(text);
}

// Every run ends here; the link comes back as after an unplug.
void Control_Panel::flashFirmwareFinished(bool success) {
    flashPage->finished(success);
}

void Control_Panel::abortFlashingFirmware() {
    flashPage->abort();
}
