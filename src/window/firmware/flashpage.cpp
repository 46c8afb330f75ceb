#include "firmware/flashpage.h"

#include "firmware/isprun.h"
#include "shell/logging.h"
#include "ui_flashpage.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTextBrowser>

FlashPage::FlashPage(Port port, QSettings& settings, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::FlashPage>()), port(std::move(port)),
      settings(settings) {
    ui->setupUi(this);
    ispRun = new IspRun(this);
    connect(ispRun, &IspRun::outputShown, this, &FlashPage::showOutput);
    connect(ispRun, &IspRun::finished, this, &FlashPage::finished);
    connect(ui->buttonBrowseHexFile, &QPushButton::clicked, this, &FlashPage::browse);
    connect(ispRun, &IspRun::labelChanged, ui->labelFlashingTotal, &QLabel::setText);
    connect(ispRun, &IspRun::progressChanged, ui->progressBarFlashingTotal,
            &QProgressBar::setValue);
    // The tool's output, bounded: the run hands it over in batches of at most as many lines.
    ui->flashTextBrowser->document()->setMaximumBlockCount(IspRun::ShownLines);
    ui->flashTextBrowser->setAccessibleName("Flash tool output");
    ui->progressBarFlashingTotal->setRange(0, 8);
    ui->labelFlashingTotal->clear();
    ui->labelBrowserError->clear();
    wireButton(false);
}

FlashPage::~FlashPage() {
    delete ispRun;
}

void FlashPage::showServiceWarning(bool shown) {
    ui->ServiceModeWarningLabel_5->setVisible(shown);
}

void FlashPage::hideOutput() {
    ui->flashTextBrowser->hide();
}

QString FlashPage::findIspTool(const QString& programDir) {
    // A file of that name that cannot be run (copied without its mode) gives way to the next.
    for (const QStringList& dirs : {QStringList{programDir}, QStringList()}) {
        for (const char* name : {"lpc21isp.exe", "lpc21isp"}) {
            const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name), dirs);
            if (!found.isEmpty())
                return found;
        }
    }
    return QString();
}

void FlashPage::setToolPath(const QString& path) {
    tool = path;
    if (!tool.isEmpty())
        return;
    qCDebug(dk61Firmware) << " cannot flash, no lpc21isp.exe";
    ui->labelBrowserError->setText(
        "Firmware cannot be flashed. Please make sure lpc21isp.exe is in PC Tool's "
        "directory");
}

void FlashPage::setHexFile(const QString& path) {
    hex = path;
    ui->lineHexFileName->setText(hex);
    hexDir = hex.left(hex.lastIndexOf('/') + 1);
}

void FlashPage::restoreHexFile() {
    if (!settings.contains("hexFilename"))
        return;
    setHexFile(settings.value("hexFilename").toString());
    hexKnown = true;
    qCDebug(dk61Firmware) << "hex-filename:" << hex << "hex-filedir:" << hexDir;
}

void FlashPage::wireButton(bool running) {
    disconnect(buttonConnection);
    ui->buttonFlashFirmware->setText(running ? "Abort" : "Flash Firmware");
    // The file stored after a successful run must be the one flashed.
    ui->buttonBrowseHexFile->setEnabled(!running);
    buttonConnection =
        running ? connect(ui->buttonFlashFirmware, &QPushButton::clicked, this, &FlashPage::abort)
                : connect(ui->buttonFlashFirmware, &QPushButton::clicked, this, &FlashPage::flash);
}

bool FlashPage::running() const {
    return ispRun->isRunning();
}

void FlashPage::browse() {
    const QString startDir = hexKnown ? hexDir : QCoreApplication::applicationDirPath();
    const QString chosen =
        QFileDialog::getOpenFileName(this, "Open File", startDir, "Hex-Files (*.hex)");
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile())
        hex = chosen;
    if (!hex.isEmpty()) {
        setHexFile(hex);
        settings.setValue("hexFilename", hex);
    }
    qCDebug(dk61Firmware) << hex;
}

void FlashPage::flash() {
    if (tool.isEmpty() || running())
        return;
    const QString device = IspRun::devicePath(port.name());
    const QString refused = ispRun->refusal(hex, device);
    ui->labelBrowserError->setText(refused);
    if (!refused.isEmpty())
        return;
    // Nothing of ours opens the port under the tool until the run ends.
    port.release();
    const auto component =
        ui->rBHLB6x->isChecked() ? IspRun::Component::HLB6x : IspRun::Component::DK6x;
    ui->flashTextBrowser->clear();
    // The file is read again as the run starts: one changed meanwhile is refused there too.
    const QString refusedAtStart = ispRun->start(tool, hex, device, component);
    if (!refusedAtStart.isEmpty()) {
        ui->labelBrowserError->setText(refusedAtStart);
        port.resume();
        return;
    }
    wireButton(true);
}

void FlashPage::showOutput(const QString& text) {
    ui->flashTextBrowser->moveCursor(QTextCursor::End);
    ui->flashTextBrowser->insertPlainText(text);
}

void FlashPage::finished(bool success) {
    if (success) {
        settings.setValue("hexFilename", hex);
        qCDebug(dk61Firmware) << "flashed, setting hexFilename" << hex;
    }
    wireButton(false);
    port.resume();
}

void FlashPage::abort() {
    ispRun->abort();
}
