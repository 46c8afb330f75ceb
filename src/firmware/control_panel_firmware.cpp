// The main window's flash page: choosing the hex file and running the ISP tool (IspRun) on the
// board link's port, which the link leaves to the tool for the length of the run.
#include "cd_board.h"
#include "control_panel.h"
#include "isprun.h"
#include "logging.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

void Control_Panel::wireFirmware() {
    ispRun = new IspRun(this);
    connect(ispRun, &IspRun::labelChanged, ui->labelFlashingTotal, &QLabel::setText);
    connect(ispRun, &IspRun::progressChanged, ui->progressBarFlashingTotal,
            &QProgressBar::setValue);
    connect(ispRun, &IspRun::outputShown, this, &Control_Panel::flashFirmwareStandardOutputHandler);
    // The tool's output, bounded: the run hands it over in batches of at most as many lines.
    ui->flashTextBrowser->document()->setMaximumBlockCount(IspRun::ShownLines);
    ui->flashTextBrowser->setAccessibleName("Flash tool output");
    connect(ispRun, &IspRun::finished, this, &Control_Panel::flashFirmwareFinished);
    connect(ui->buttonBrowseHexFile, &QPushButton::clicked, this, &Control_Panel::browseHexFile);
    // Without the ISP tool (ispToolPath, found later in start-up) the button does nothing.
    wireFlashButton(false);
}

void Control_Panel::wireFlashButton(bool running) {
    disconnect(flashButtonConnection);
    ui->buttonFlashFirmware->setText(running ? "Abort" : "Flash Firmware");
    // The file stored after a successful run must be the one flashed.
    ui->buttonBrowseHexFile->setEnabled(!running);
    flashButtonConnection = running ? connect(ui->buttonFlashFirmware, &QPushButton::clicked, this,
                                              &Control_Panel::abortFlashingFirmware)
                                    : connect(ui->buttonFlashFirmware, &QPushButton::clicked, this,
                                              &Control_Panel::flashFirmware);
}

bool Control_Panel::firmwareRunning() const {
    return ispRun && ispRun->isRunning();
}

void Control_Panel::browseHexFile() {
    const QString startDir = hexFileNameKnown ? hexFileDir : QCoreApplication::applicationDirPath();
    const QString chosen =
        QFileDialog::getOpenFileName(this, "Open File", startDir, "Hex-Files (*.hex)");
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile())
        hexFileName = chosen;
    if (!hexFileName.isEmpty()) {
        ui->lineHexFileName->setText(hexFileName);
        settings->setValue("hexFilename", hexFileName);
        hexFileDir = hexFileName.left(hexFileName.lastIndexOf('/') + 1);
    }
    qCDebug(dk61Firmware) << hexFileName;
}

// The button while idle, and Return on the flash page.
void Control_Panel::flashFirmware() {
    if (ispToolPath.isEmpty() || firmwareRunning())
        return;
    const QString port = IspRun::devicePath(board->link.portName());
    const QString refused = ispRun->refusal(hexFileName, port);
    ui->labelBrowserError->setText(refused);
    if (!refused.isEmpty())
        return;
    // Nothing of ours opens the port under the tool: the watchdogs and the rediscovery of a lost
    // link rest until the run ends (startup() refuses while it runs).
    fwTimer.stop();
    evLoaderOkTimer.stop();
    linkRetryTimer.stop();
    board->closePort();
    const auto component =
        ui->rBHLB6x->isChecked() ? IspRun::Component::HLB6x : IspRun::Component::DK6x;
    ui->flashTextBrowser->clear();
    ispRun->start(ispToolPath, hexFileName, port, component);
    wireFlashButton(true);
}

void Control_Panel::flashFirmwareStandardOutputHandler(const QString& text) {
    ui->flashTextBrowser->moveCursor(QTextCursor::End);
    ui->flashTextBrowser->insertPlainText(text);
}

// Every run ends here, a tool that could not be started included; the label has its final text.
void Control_Panel::flashFirmwareFinished(bool success) {
    if (success) {
        settings->setValue("hexFilename", hexFileName);
        qCDebug(dk61Firmware) << "flashed, setting hexFilename" << hexFileName;
    }
    wireFlashButton(false);
    boardLink.resume();
}

void Control_Panel::abortFlashingFirmware() {
    ispRun->abort();
}
