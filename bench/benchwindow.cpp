#include "benchwindow.h"

#include "cd_board.h"
#include "formwidget.h"
#include "main/control_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QSlider>

BenchWindow::BenchWindow(bool files) {
    env.setSetting("logFileDirectory", env.path());
    env.setSetting("flagFileDirectory", env.path());
    env.setSetting("storeLogFile", files);
    env.setSetting("storeFlagFile_csv", files);
    panel = std::make_unique<Control_Panel>(ports);
    CD_Board* board = panel->cdBoard();
    if (!board->isPortOpen()) {
        board->setPortName(pty.slavePath());
        board->applyPortSettings();
        board->openPort();
    }
    formWidget<QCheckBox>(panel, "chkLog")->setChecked(true);
    formWidget<QSlider>(panel, "horizontalSliderFlagsGraph")->setValue(60);
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
