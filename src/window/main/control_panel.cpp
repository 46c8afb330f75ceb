#include "main/control_panel.h"

#include "board/linkstatusbar.h"
#include "cd_board.h"
#include "common/plaintext.h"
#include "console/consolepage.h"
#include "console/loaderpanel.h"
#include "console/playerpanel.h"
#include "console/playpage.h"
#include "firmware/flashpage.h"
#include "flags/flagmonitor.h"
#include "flags/flagplot.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "flags/testroutine.h"
#include "laser/lasercurrentpage.h"
#include "laser/laserhistory.h"
#include "laser/laserlist.h"
#include "laser/laserpage.h"
#include "production/audiobytepage.h"
#include "production/eeprompage.h"
#include "production/focus_coefs.h"
#include "service/servicepanel.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QResizeEvent>
#include <QSettings>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBrowser>

#include <algorithm>

Control_Panel::Control_Panel(PortFactory& ports, QWidget* parent, Configuration configuration)
    : QMainWindow(parent), ports(ports), configuration(configuration) {
    // 1-3: members, the board, the form
    ui = new Ui::Control_Panel;
    focusCoefs = new Focus_Coefs(this);
    qCDebug(dk61App) << "focus coefs 1 at: " << focusCoefs;
    board = new CD_Board(ports, this);
    serialInfo.setParent(this);
    settings = new QSettings(nullptr);
    ui->setupUi(this);
    laserList = new LaserList(nullptr);
    laserList->setParent(this);
    buildPages();

    Q_INIT_RESOURCE(icons);
    setWindowIcon(QIcon(QStringLiteral(":/icons/dk61-pc-tool.svg")));

    // 4: status bar
    statusView = std::make_unique<LinkStatusBar>(statusBar());

    // 5: the servo-parameter page is not offered (the delivered tool has no fifth page)
    if (configuration == Configuration::Service)
        ui->tabWidget->removeTab(4);

    // 6: an unconfigured database handle, for a debug line only
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dk61-probe");
        if (db.open())
            qCDebug(dk61App) << "Database Open" << db.tables();
        else
            qCDebug(dk61App) << "Database NOT Open";
    }
    QSqlDatabase::removeDatabase("dk61-probe");

    // 8: wiring; each subsystem's page takes its widgets and sets their first texts
    wireLink();
    wireConsole();
    wireSettings();
    wireProduction(); // production and laser
    wireAbout();
    wireService(); // service mode

    // 10: the segment face for the time displays

    // 12
    sessionClock.start();

    // 14: settings in force, link rate, files
    takeSettings(SettingsStore::load(*settings));
    board->setBaudRate(currentSettings.baudRate);
    openLogFile();
    openFlagFile();

    // 15: the flag plot's run (the plots are set up with their wiring)
    wireFlagMonitor(); // flag monitor: run summary, whole-run view, export, review

    // 17: last firmware file
    flashPage->restoreHexFile();

    // 18: last page
    ui->tabWidget->setCurrentIndex(settings->value("selectedTab", 0).toInt());

    // 19: the ISP tool
    const QString programDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programDir);
    flashPage->setToolPath(FlashPage::findIspTool(programDir));

    // 20: the delivered page configuration (the service build keeps every page)
    if (configuration == Configuration::Delivered) {
        applyDeliveredConfiguration();
    } else {
        loaderPanel->addMenus(ui->menuOptions);
        servicePanel->hideUntilCalledFor();
        eepromPage->offerTrayCalibration(false);
    }

    // 21
    resize(900, 700);

    // 22: find an adapter and open the board link
    startup();

    // 23
    testRoutine = new TestRoutine(this);
    connect(this, &Control_Panel::recievedCFlags, testRoutine, &TestRoutine::parseCFLags);

    // 24: baud-rate and R31 lists of the EEPROM page
    eepromPage->fillLists();

    // 25

    // What the operator types, the files, the board and the database say is shown as it is.
    PlainText::labels(this);
}

Control_Panel::~Control_Panel() {
    // An ISP tool still running is killed and waited for, so that no orphan keeps the port; the
    // board link is not restarted.
    flashPage.reset();
    // The run going on ends (its row written as ended, its report when asked for), then the run
    // panel (it watches the flag plot) goes before the widgets do.
    resultsPage = nullptr;
    flagMonitor.reset();
    delete board;
    board = nullptr;
    closeLogFile();
    closeFlagFile();
    settings->setValue("selectedTab", ui->tabWidget->currentIndex());
    delete ui;
    ui = nullptr;
    delete settings;
}

void Control_Panel::buildPages() {
    playerPanel = std::make_unique<PlayerPanel>(*board);
    playPage = new PlayPage(*playerPanel);
    ConsolePage::Services console;
    console.elapsedMs = [this] { return sessionClock.elapsed(); };
    console.logLines = [this](const QStringList& lines) { writeLogLines(lines); };
    console.logDirectory = [this] { return currentSettings.logFileDirectory; };
    console.memoryBusy = [this] { return memoryBusy(); };
    consolePage = new ConsolePage(*board, *playerPanel, *laserList, console);
    flagsPage = new FlagsPage(*board, settings);
    laserPage = new LaserPage(*board);
    laserCurrentPage = new LaserCurrentPage(
        *board, *playerPanel, [this] { return memoryBusy(); },
        [this] { return eepromPage->running(); });
    eepromPage = new EepromPage(*board);
    servoPage = new ServoPage(*focusCoefs);
    audioBytePage = new AudioBytePage;
    flashPage = std::make_unique<FlashPage>(
        FlashPage::Port{[this] { return board->link().portName(); },
                        [this] { boardLink.yieldPort(); }, [this] { boardLink.resume(); }},
        *settings);
    servicePanel = std::make_unique<ServicePanel>(*board);
    serviceModePage = new ServiceModePage(*servicePanel);
    // The delivered tool shows the console and flags pages; the others are built all the same.
    const bool delivered = configuration == Configuration::Delivered;
    for (QWidget* page : std::initializer_list<QWidget*>{
             playPage, consolePage, flagsPage, eepromPage, servoPage, audioBytePage,
             flashPage.get(), laserPage, serviceModePage, laserCurrentPage}) {
        if (!delivered || page == consolePage || page == flagsPage) {
            ui->tabWidget->addTab(page, page->windowTitle());
        } else {
            page->setParent(this);
            page->hide();
        }
    }
}

QString Control_Panel::memoryBusy() const {
    if (eepromPage->running())
        return LaserHistory::busyText();
    if (const MemorySequence* running = board->decoder().runningSequence())
        return LaserHistory::waitText(running->what());
    return QString();
}

bool Control_Panel::programmingRunning() const {
    return eepromPage->running();
}

void Control_Panel::applyDeliveredConfiguration() {
    // the service warnings and step markers, the second link's widgets
    playPage->showServiceWarning(false);
    flashPage->hideOutput();
    eepromPage->showServiceWarning(false);
    flashPage->showServiceWarning(false);
    serviceModePage->showServiceWarning(false);
    serviceModePage->markStep(0);
    laserCurrentPage->hidePlayer();
    flagsPage->hideSecondLink();
    flagsPage->showServiceWarning(false);
    consolePage->showServiceWarning(false);
    setWindowTitle("KXRT DADO-Tool Version 4");
    ui->tabWidget->move(0, 0);
    // the console page shows the traffic only
    consolePage->showTrafficOnly(size());
    ui->tabWidget->setTabText(0, "Data Log");
    ui->tabWidget->setCurrentIndex(1);
    qCDebug(dk61App) << "CUSTOMER VERSION";

    eepromPage->lockProductionFields();
}

void Control_Panel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int page = ui->tabWidget->currentIndex();
    if (key == Qt::Key_Enter || key == Qt::Key_Return) {
        // Return starts the EEPROM programming on the EEPROM page and the flashing on the flash
        // page (pages the delivered configuration removes), through their buttons' guards.
        if (ui->tabWidget->currentWidget() == eepromPage)
            beginFlashEeprom();
        if (ui->tabWidget->currentWidget() == flashPage.get())
            flashFirmware();
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
    // The pages are the tab widget less its tab bar and frame.
    ui->tabWidget->resize(W, H - 60);
    const QSize page(W - 4, H - 64 - ui->tabWidget->tabBar()->sizeHint().height());
    consolePage->fitWindow(page, W, H);
    flagsPage->fitWindow(page, W, H);
    laserCurrentPage->fitWindow(page, W, H);
    servoPage->fitWindow(W, H);
}
