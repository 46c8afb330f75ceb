#include "main/control_panel.h"

#include "cd_board.h"
#include "common/plaintext.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "flags/testroutine.h"
#include "laser/laserlist.h"
#include "production/focus_coefs.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QSettings>
#include <QSqlDatabase>
#include <QStatusBar>

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
    ConsolePage::Services console;
    console.elapsedMs = [this] { return sessionClock.elapsed(); };
    console.logLines = [this](const QStringList& lines) { writeLogLines(lines); };
    console.logDirectory = [this] { return currentSettings.logFileDirectory; };
    const FlashPage::Port port{[this] { return board->link().portName(); },
                               [this] { boardLink.yieldPort(); }, [this] { boardLink.resume(); }};
    pages = std::make_unique<MainPages>(*board, *settings, *focusCoefs, *laserList, *ui->tabWidget,
                                        configuration == Configuration::Delivered,
                                        MainPages::Window{console, port});
    playPage = &pages->play();

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
    connect(HelpMenu::add(*this), &QAction::triggered, this, &Control_Panel::showAbout);
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
    pages->flash().restoreHexFile();

    // 18: last page
    ui->tabWidget->setCurrentIndex(settings->value("selectedTab", 0).toInt());

    // 19: the ISP tool
    const QString programDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programDir);
    pages->flash().setToolPath(FlashPage::findIspTool(programDir));

    // 20: the delivered page configuration (the service build keeps every page)
    if (configuration == Configuration::Delivered) {
        pages->applyDeliveredConfiguration(*this);
    } else {
        loaderPanel->addMenus(ui->menuOptions);
        pages->service().hideUntilCalledFor();
        pages->eeprom().offerTrayCalibration(false);
    }

    // 21
    resize(900, 700);

    // 22: find an adapter and open the board link
    startup();

    // 23
    testRoutine = new TestRoutine(this);
    connect(this, &Control_Panel::recievedCFlags, testRoutine, &TestRoutine::parseCFLags);

    // 24: baud-rate and R31 lists of the EEPROM page
    pages->eeprom().fillLists();

    // 25

    // What the operator types, the files, the board and the database say is shown as it is.
    PlainText::labels(this);
}

Control_Panel::~Control_Panel() {
    // An ISP tool still running is killed and waited for, so that no orphan keeps the port; the
    // board link is not restarted.
    pages->closeFlashPage();
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

bool Control_Panel::programmingRunning() const {
    return pages->eeprom().running();
}

QString Control_Panel::aboutText() const {
    return HelpMenu::aboutText(configuration == Configuration::Service, settings->fileName(),
                               currentSettings);
}

void Control_Panel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int page = ui->tabWidget->currentIndex();
    if (key == Qt::Key_Enter || key == Qt::Key_Return) {
        // Return starts the EEPROM programming on the EEPROM page and the flashing on the flash
        // page (pages the delivered configuration removes), through their buttons' guards.
        if (ui->tabWidget->currentWidget() == &pages->eeprom())
            beginFlashEeprom();
        if (ui->tabWidget->currentWidget() == &pages->flash())
            flashFirmware();
        return;
    }
    qCDebug(dk61App) << "Pressed: " << key << "CurrentTab: " << page;
    QMainWindow::keyPressEvent(event);
}

void Control_Panel::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    pages->relayout(event->size().width(), event->size().height());
}
