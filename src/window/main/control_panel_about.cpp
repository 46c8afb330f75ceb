// The main window's Help menu: the About box, and the hint when the system refuses a serial port.
#include "cd_board.h"
#include "dk61version.h"
#include "main/control_panel.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>

namespace {

QMessageBox* infoBox(QWidget* parent, const QString& name, const QString& title,
                     const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Information, title, QString(), QMessageBox::Ok, parent);
    // Folder and port names are shown as they are.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->open();
    return box;
}

} // namespace

void Control_Panel::wireAbout() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction* about = help->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("actionAbout"));
    connect(about, &QAction::triggered, this, &Control_Panel::showAbout);
}

QString Control_Panel::aboutText() const {
    const bool service = configuration == Configuration::Service;
    const auto place = [](bool on, const QString& directory) {
        return QDir::toNativeSeparators(QDir(directory).absolutePath()) +
               (on ? QString() : QStringLiteral(" (switched off in Options > Settings)"));
    };
    return QStringLiteral("%1 %2\n\nSettings: %3\nLog files: %4\nFlag files: %5")
        .arg(service ? QStringLiteral("DK-61 Service Tool") : QStringLiteral("DK-61 PC-Tool"),
             QStringLiteral(DK61_VERSION), QDir::toNativeSeparators(settings->fileName()),
             place(currentSettings.storeLogFile, currentSettings.logFileDirectory),
             place(currentSettings.storeFlagFile, currentSettings.flagFileDirectory));
}

void Control_Panel::portAccessDenied(const QString& portName) {
    if (portAccessHintShown)
        return;
    portAccessHintShown = true;
    qCDebug(dk61Link) << "no permission to open" << portName;
    infoBox(this, QStringLiteral("portAccessBox"), QStringLiteral("Serial port"),
            QStringLiteral("The system does not allow this user to open %1, so the board cannot "
                           "be reached. To fix it, add yourself to the dialout group and log in "
                           "again (for example: sudo adduser $USER dialout). The tool keeps "
                           "trying.")
                .arg(portName));
}

void Control_Panel::showAbout() {
    infoBox(this, QStringLiteral("aboutBox"), QStringLiteral("About"), aboutText());
}
