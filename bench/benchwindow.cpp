#include "benchwindow.h"

#include "cd_board.h"
#include "control_panel.h"
#include "openlink.h"
#include "ui_control_panel.h"

#include <QApplication>
#include <QDir>

BenchWindow::BenchWindow(bool files) {
    TestEnv::setVirtualPorts({pty.slavePath()});
    env.setSetting("logFileDirectory", env.path());
    env.setSetting("flagFileDirectory", env.path());
    env.setSetting("storeLogFile", files);
    env.setSetting("storeFlagFile_csv", files);
    panel = std::make_unique<Control_Panel>();
    openLinkIfClosed(panel.get(), pty);
    panel->ui->chkLog->setChecked(true);
    panel->ui->horizontalSliderFlagsGraph->setValue(60);
    panel->show();
    settle();
}

BenchWindow::~BenchWindow() {
    panel.reset();
    settle();
}

void BenchWindow::settle() {
    QApplication::processEvents();
    pty.readAvailable();
}
