#include "firmware/flashpage.h"

#include "firmware/isprun.h"
#include "shell/logging.h"

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

FlashPage::FlashPage(const Parts& parts, QSettings& settings, QObject* parent)
    : QObject(parent), p(parts), settings(settings) {
    ispRun = new IspRun(this);
    connect(ispRun, &IspRun::labelChanged, p.run.total, &QLabel::setText);
    connect(ispRun, &IspRun::progressChanged, p.run.progress, &QProgressBar::setValue);
    // The tool's output, bounded: the run hands it over in batches of at most as many lines.
    p.run.output->document()->setMaximumBlockCount(IspRun::ShownLines);
    p.run.output->setAccessibleName("Flash tool output");
    p.run.progress->setRange(0, 8);
    p.run.total->clear();
    p.error->clear();
    wireButton(false);
}

FlashPage::~FlashPage() {
    delete ispRun;
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
    p.error->setText("Firmware cannot be flashed. Please make sure lpc21isp.exe is in PC Tool's "
                     "directory");
}

void FlashPage::setHexFile(const QString& path) {
    hex = path;
    p.hexFile->setText(hex);
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
    p.flash->setText(running ? "Abort" : "Flash Firmware");
    // The file stored after a successful run must be the one flashed.
    p.browse->setEnabled(!running);
    buttonConnection = running ? connect(p.flash, &QPushButton::clicked, this, &FlashPage::abort)
                               : connect(p.flash, &QPushButton::clicked, this, &FlashPage::flash);
}

bool FlashPage::running() const {
    return ispRun->isRunning();
}

void FlashPage::browse() {
    const QString startDir = hexKnown ? hexDir : QCoreApplication::applicationDirPath();
    const QString chosen =
        QFileDialog::getOpenFileName(p.window, "Open File", startDir, "Hex-Files (*.hex)");
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
    const QString port = IspRun::devicePath(p.portName());
    const QString refused = ispRun->refusal(hex, port);
    p.error->setText(refused);
    if (!refused.isEmpty())
        return;
    // Nothing of ours opens the port under the tool until the run ends.
    p.releasePort();
    const auto component =
        p.hlb6x->isChecked() ? IspRun::Component::HLB6x : IspRun::Component::DK6x;
    p.run.output->clear();
    // The file is read again as the run starts: one changed meanwhile is refused there too.
    const QString refusedAtStart = ispRun->start(tool, hex, port, component);
    if (!refusedAtStart.isEmpty()) {
        p.error->setText(refusedAtStart);
        p.resumePort();
        return;
    }
    wireButton(true);
}

void FlashPage::showOutput(const QString& text) {
    p.run.output->moveCursor(QTextCursor::End);
    p.run.output->insertPlainText(text);
}

void FlashPage::finished(bool success) {
    if (success) {
        settings.setValue("hexFilename", hex);
        qCDebug(dk61Firmware) << "flashed, setting hexFilename" << hex;
    }
    wireButton(false);
    p.resumePort();
}

void FlashPage::abort() {
    ispRun->abort();
}
