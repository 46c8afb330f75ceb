#include "control_panel.h"

#include "cd_board.h"
#include "focus_coefs.h"
#include "isprun.h" // firmware
#include "laserlist.h"
#include "logging.h"
#include "runpanel.h"
#include "testroutine.h"
#include "ui_control_panel.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QSettings>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QStatusBar>

namespace {

// The seven-segment face of the time displays, registered once from the resource. Where the
// build found no such face, the displays use the system's default face.
QString inkFamily() {
    static QString family;
    if (family.isEmpty()) {
        const int id = QFontDatabase::addApplicationFont(":/fonts/INK.ttf");
        const QStringList families =
            id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        if (families.isEmpty())
            qCDebug(dk61App) << "no seven-segment face built in; the time displays use the "
                                "system font";
        family = families.isEmpty() ? QStringLiteral("INK") : families.first();
    }
    return family;
}

} // namespace

Control_Panel::Control_Panel(QWidget* parent, Configuration configuration)
    : QMainWindow(parent), configuration(configuration) {
    // 1-3: members, the board, the form
    ui = new Ui::Control_Panel;
    focusCoefs = new Focus_Coefs(this);
    qCDebug(dk61App) << "focus coefs 1 at: " << focusCoefs;
    board = new CD_Board(this, this);
    serialInfo.setParent(this);
    ui->setupUi(this);
    // The console font is asked for by name; where it is not installed a fixed-pitch face stands
    // in.
    QFont consoleFont = ui->textBrowser->font();
    consoleFont.setStyleHint(QFont::Monospace);
    ui->textBrowser->setFont(consoleFont);

    // 4: status bar
    buildStatusBar();

    // 5: the servo-parameter page is not offered
    ui->tabWidget->removeTab(4);
    laserList = new LaserList(nullptr);
    laserList->setParent(this);

    // 6: an unconfigured database handle, for a debug line only
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dk61-probe");
        if (db.open())
            qCDebug(dk61App) << "Database Open" << db.tables();
        else
            qCDebug(dk61App) << "Database NOT Open";
    }
    QSqlDatabase::removeDatabase("dk61-probe");

    // 7
    ui->labelLogFile->hide();

    // 8: wiring
    wireLink();
    wireConsole();
    wireFlags();
    wireSettings();
    wireProduction(configuration); // production and laser
    wireAbout();
    wireFirmware(); // firmware
    wireService();  // service mode and tray calibration
    trayTimer.setSingleShot(true);

    // 9
    ui->labelOnTime->clear();
    ui->label_Offset->clear();
    ui->label_Derivative->clear();
    ui->label_ProductionCode->clear();
    ui->label_ProductionDate->clear();
    ui->buttonRecordLaser->hide();
    ui->buttonWriteToRegister->hide();
    ui->labelPLL->hide();

    // 10: the segment face for the time displays
    QFont big(inkFamily(), 28, 1, false);
    QFont small(inkFamily(), 20, 1, false);
    ui->time_display->setFont(big);
    ui->track_number_display->setFont(big);
    ui->time_display_2->setFont(small);
    ui->track_number_display_2->setFont(small);

    // 11
    ui->CustomInputWarningLabel->clear();
    ui->SongTitleLabel->hide();
    ui->ArtistLabel->hide();
    ui->VolumeSlider->hide();
    ui->TrackTimeSlider->hide();
    ui->laserCurrenLabel->hide();

    // 12: session clock and the play-mode menu
    sessionClock.start();
    playModeMenu = new QMenu(this);
    for (const char* text :
         {"Normal Play", "Shuffle All", "Shuffle Repeat All Disc", "Shuffle Folder",
          "Shuffle Repeat All Folder", "Repeat Disc", "Repeat Folder", "Repeat Track"})
        playModeMenu->addAction(QString::fromLatin1(text));
    ui->ExpertButtonPlay->setMenu(playModeMenu);
    wirePlayModeMenu(); // operator console

    // 13: EEPROM and laser page texts
    ui->labelEepromError->clear();
    ui->progressBarFlashingTotal->setRange(0, 8);
    ui->labelFlashingTotal->clear();
    ui->labelEeprom->clear();
    ui->labelBrowserError->clear();
    ui->labelDerivative->clear();
    ui->labelOffset->clear();
    ui->labelCalculatorWarning->clear();
    ui->lineAdcValue_1->setReadOnly(true);
    ui->lineAdcValue_2->setReadOnly(true);
    ui->labelDiscID->clear();

    // 14: settings store, link rate, files
    settings = new QSettings(nullptr);
    logFile.setFaultHandler([this](const QString& name, const QString& error) {
        reportFileFault(QStringLiteral("Log file"), name, error);
    });
    flagFile.setFaultHandler([this](const QString& name, const QString& error) {
        reportFileFault(QStringLiteral("Flag file"), name, error);
    });
    takeSettings(SettingsStore::load(*settings));
    board->setBaudRate(currentSettings.baudRate);
    openLogFile();
    openFlagFile();

    // 15-16: plots (the flag plot is set up with its wiring)
    setupLaserPlot();
    wireFlagMonitor(); // flag monitor: run summary, whole-run view, export, review

    // 17: last firmware file
    if (settings->contains("hexFilename")) {
        hexFileName = settings->value("hexFilename").toString();
        hexFileNameKnown = true;
        ui->lineHexFileName->setText(hexFileName);
        hexFileDir = hexFileName;
        while (!hexFileDir.isEmpty() && !hexFileDir.endsWith('/'))
            hexFileDir.chop(1);
        qCDebug(dk61App) << "hex-filename:" << hexFileName << "hex-filedir:" << hexFileDir;
    }

    // 18: last page
    ui->tabWidget->setCurrentIndex(settings->value("selectedTab", 0).toInt());

    // 19: the ISP tool
    const QString programDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programDir);
    ispToolPath = findIspTool(programDir);
    if (ispToolPath.isEmpty()) {
        qCDebug(dk61App) << " cannot flash, no lpc21isp.exe";
        ui->labelBrowserError->setText("Firmware cannot be flashed. Please make sure lpc21isp.exe "
                                       "is in PC Tool's directory");
    }

    // 20: the delivered page configuration (the service build keeps every page)
    if (configuration == Configuration::Delivered)
        applyDeliveredConfiguration();
    else
        applyServiceConfiguration(); // operator console and service functions

    // 21
    resize(900, 700);
    ui->label_possible_loader_types_list->clear();

    // 22: find an adapter and open the board link
    startup();

    // 23
    testRoutine = new TestRoutine(this);
    connect(this, &Control_Panel::recievedCFlags, testRoutine, &TestRoutine::parseCFLags);
    ui->groupBoxTest->hide();

    // 24: baud-rate and R31 lists of the EEPROM page
    // Each entry carries the byte the EEPROM stores for it as a one-character item data.
    ui->comboBox_selected_baud_rate->addItem("128000", QString(QChar(0xFF)));
    ui->comboBox_selected_baud_rate->addItem("115200", QString(QChar(0x01)));
    ui->comboBox_selected_baud_rate->removeItem(0);
    ui->comboBox_selected_focus->addItem("R31 = 18kOhm", QString(QChar(0xFF)));
    ui->comboBox_selected_focus->addItem("R31 = 12kOhm", QString(QChar(0x01)));
    ui->comboBox_selected_focus->removeItem(0);
    ui->comboBox_selected_baud_rate->setCurrentIndex(board->baudRate == 115200 ? 1 : 0);
    ui->BaudrateWarningLabel->setVisible(board->baudRate != 115200 && board->baudRate != 128000);
    ui->comboBox_selected_focus->setCurrentIndex(
        board->state.eeprom.image.focus_setting == 0x01 ? 1 : 0);

    // 25
    ui->lblWarnLaserHistory->hide();
    ui->lblWarningRuntime->hide();
    ui->btnResetLaserHistory->hide();
}

Control_Panel::~Control_Panel() {
    // ---- firmware: an ISP tool still running is killed and waited for, so that no orphan keeps
    // the port; the board link is not restarted ----
    delete ispRun;
    ispRun = nullptr;
    // ---- end firmware ----
    // The run panel watches the flag plot; it goes before the widgets do.
    delete runPanel;
    runPanel = nullptr;
    delete board;
    board = nullptr;
    closeLogFile();
    closeFlagFile();
    if (settings)
        settings->setValue("selectedTab", ui->tabWidget->currentIndex());
    delete ui;
    ui = nullptr;
    delete settings;
}

QString Control_Panel::findIspTool(const QString& programDir) {
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

void Control_Panel::buildStatusBar() {
    boardLabel = new QLabel(this);
    spdifLabel = new QLabel(this);
    cflagLabel = new QLabel(this);
    showStatusBar(StatusWording::start());
    statusLabel = new QLabel(this);
    connectionLabel = new QLabel(StatusWording::notConnected(), this);
    connectButton = new QPushButton("Connect", this);
    statusBar()->addPermanentWidget(boardLabel);
    statusBar()->addPermanentWidget(spdifLabel);
    statusBar()->addPermanentWidget(cflagLabel);
    statusBar()->addPermanentWidget(statusLabel, 1);
    statusBar()->addPermanentWidget(connectionLabel);
    statusBar()->addPermanentWidget(connectButton);
}

void Control_Panel::setupLaserPlot() {
    QCustomPlot* plot = ui->customPlotLaser;
    plot->addGraph()->setName("Laser Current (mA)");
    plot->graph(0)->setPen(QPen(Qt::red));
    plot->addGraph()->setName("Zero Hour Laser Current (mA)");
    plot->graph(1)->setPen(QPen(Qt::blue));
    plot->xAxis->setLabel("Playime (s)");
    plot->yAxis->setLabel("Laser Current (mA)");
    plot->xAxis->setRange(0, 5000);
    plot->yAxis->setRange(0, 200);
    plot->replot();
}

void Control_Panel::applyDeliveredConfiguration() {
    ui->flashTextBrowser->hide();
    for (QWidget* w : {static_cast<QWidget*>(ui->ServiceModeWarningLabel_1),
                       static_cast<QWidget*>(ui->ServiceModeWarningLabel_2),
                       static_cast<QWidget*>(ui->ServiceModeWarningLabel_3),
                       static_cast<QWidget*>(ui->ServiceModeWarningLabel_4),
                       static_cast<QWidget*>(ui->ServiceModeWarningLabel_5),
                       static_cast<QWidget*>(ui->ServiceModeWarningLabel_7)})
        w->hide();
    for (int i = 1; i <= 14; ++i) {
        if (QLabel* label = findChild<QLabel*>(QStringLiteral("labelService%1").arg(i)))
            label->hide();
    }
    ui->tabWidget->removeTab(0);
    ui->tabWidget->setCurrentIndex(1);
    for (int i = 0; i < 6; ++i)
        ui->tabWidget->removeTab(2);
    ui->groupBox->hide();
    setWindowTitle("KXRT DADO-Tool Version 4");
    for (QWidget* w :
         {static_cast<QWidget*>(ui->chkOther), static_cast<QWidget*>(ui->btnConnectOther),
          static_cast<QWidget*>(ui->txtOther), static_cast<QWidget*>(ui->btnSetOther),
          static_cast<QWidget*>(ui->lblConnect_other)})
        w->hide();
    ui->tabWidget->move(0, 0);
    const QList<QWidget*> consoleHidden = {ui->ExpertButtonPlay,
                                           ui->ExpertButtonPause,
                                           ui->ExpertButtonStop,
                                           ui->ExpertEvTag,
                                           ui->ExpertButtonPrevious,
                                           ui->ExpertButtonNext,
                                           ui->ExpertButtonOpen,
                                           ui->ExperButtonClose,
                                           ui->checkBoxPlayInit,
                                           ui->ExpertGetLaser,
                                           ui->label_19,
                                           ui->labelLaserCurrent,
                                           ui->buttonRecordLaser,
                                           ui->btnLaserToEeprom,
                                           ui->labelAvgLaserHexValue,
                                           ui->lineLaserListAverage,
                                           ui->pushButtonFlush,
                                           ui->buttonWriteToRegister,
                                           ui->btnTestfunctions,
                                           ui->labelPLL,
                                           ui->ServiceModeWarningLabel_2,
                                           ui->CustomInputWarningLabel,
                                           ui->InputText,
                                           ui->CheckBoxClear,
                                           ui->SendButton,
                                           ui->connect_disconnect};
    for (QWidget* w : consoleHidden)
        w->hide();
    ui->textBrowser->setGeometry(10, 30, width(), height());
    ui->tabWidget->setTabText(0, "Data Log");
    ui->tabWidget->setCurrentIndex(1);
    qCDebug(dk61App) << "CUSTOMER VERSION";

    // production fields of the EEPROM page
    ui->lineOnTime->hide();
    ui->dateProduction->hide();
    for (QLineEdit* line : {ui->Line_Derivative, ui->Line_Offset, ui->lineProductionCode,
                            ui->lineEditCustomerID, ui->lineEditFlashedBy}) {
        line->setReadOnly(true);
        line->hide();
    }
    ui->dateProduction->setReadOnly(true);
    ui->label_CustomerID->clear();
    ui->labelFlashedBy->clear();
    for (QWidget* w : {static_cast<QWidget*>(ui->checkBoxSetLaserToDefault),
                       static_cast<QWidget*>(ui->checkBoxSetDateToToday),
                       static_cast<QWidget*>(ui->checkBoxIncrementProductionCode)}) {
        w->setEnabled(false);
        w->hide();
    }
    for (QWidget* w :
         {static_cast<QWidget*>(ui->label_19), static_cast<QWidget*>(ui->labelLaserCurrent),
          static_cast<QWidget*>(ui->checkResetOnTime),
          static_cast<QWidget*>(ui->btnResetLaserHistory),
          static_cast<QWidget*>(ui->btnLaserToEeprom)})
        w->hide();
}

void Control_Panel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int page = ui->tabWidget->currentIndex();
    if (key == Qt::Key_Enter || key == Qt::Key_Return) {
        // Enter starts the EEPROM programming on page 3 and the firmware flashing on page 5;
        // those pages are not part of the delivered configuration.
        // ---- production: page 3, the EEPROM page ----
        if (ui->tabWidget->currentWidget() == ui->tabEeprom)
            beginFlashEeprom();
        // ---- end production ----
        // ---- firmware: Return on the flash page, through the button's guards ----
        if (ui->tabWidget->currentWidget() == ui->tabFlash)
            flashFirmware();
        // ---- end firmware ----
        return;
    }
    qCDebug(dk61App) << "Pressed: " << key << "CurrentTab: " << page;
    QMainWindow::keyPressEvent(event);
}

void Control_Panel::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    relayout(event->size().width(), event->size().height());
}

void Control_Panel::relayout(int W, int H) {
    const int consoleShift = testPanelShown ? -ui->groupBoxTest->width() - 244 : -214;
    ui->tabWidget->resize(W, H - 60);
    ui->textBrowser->resize(W + consoleShift, H - 210);
    ui->customPlot->resize(W - 70, H - 170);
    ui->customPlotLaser->resize(W - 70, H - 170);
    ui->btnGetLaserHistory->move(ui->btnGetLaserHistory->x(), H - 160);
    ui->btnGetZeroByte->move(ui->btnGetZeroByte->x(), H - 160);
    ui->verticalSliderFlagsGraph->resize(19, H - 160);
    ui->horizontalSliderFlagsGraph->setGeometry(ui->verticalSliderFlagsGraph->x() + 100, H - 150,
                                                W - 130, 19);
    ui->InputText->move(210, H - 189);
    ui->CheckBoxClear->move(210, H - 159);
    ui->SendButton->move(650, H - 190);
    ui->CustomInputWarningLabel->move(210, H - 209);
    ui->connect_disconnect->move(720, H - 190);
    ui->ServiceModeWarningLabel_3->move(30, H - 50);
    ui->horizontalScrollBar->setGeometry(0, H - 80, W - 23, 18);
    ui->horizontalScrollBar->setRange(0, 1600 - W);
    ui->verticalScrollBar->setGeometry(W - 23, 0, 18, H - 80);
    ui->groupBoxTest->move(W - ui->groupBoxTest->width() - 20, ui->groupBoxTest->y());
    ui->groupBox->resize(W, ui->groupBox->height());
}
