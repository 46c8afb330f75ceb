#include "main/control_panel.h"

#include "board/linkstatusbar.h"
#include "cd_board.h"
#include "common/plaintext.h"
#include "console/loaderpanel.h"
#include "console/playerpanel.h"
#include "console/trafficconsole.h"
#include "firmware/flashpage.h"
#include "flags/flagplot.h"
#include "flags/resultspage.h"
#include "flags/runfiles.h"
#include "flags/runpanel.h"
#include "flags/runsession.h"
#include "flags/testroutine.h"
#include "laser/laserlist.h"
#include "laser/laserpages.h"
#include "production/audiobytepage.h"
#include "production/eeprompage.h"
#include "production/focus_coefs.h"
#include "service/servicepanel.h"
#include "shell/logging.h"
#include "ui_control_panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
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

void hideAll(std::initializer_list<QWidget*> widgets) {
    for (QWidget* widget : widgets)
        widget->hide();
}

} // namespace

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
    // The console font is asked for by name; where it is not installed a fixed-pitch face stands
    // in.
    QFont consoleFont = ui->textBrowser->font();
    consoleFont.setStyleHint(QFont::Monospace);
    ui->textBrowser->setFont(consoleFont);

    Q_INIT_RESOURCE(icons);
    setWindowIcon(QIcon(QStringLiteral(":/icons/dk61-pc-tool.svg")));

    // 4: status bar
    statusView = std::make_unique<LinkStatusBar>(statusBar(), ui->status_description_spdif_label,
                                                 ui->connect_disconnect);

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

    // 8: wiring; each subsystem's page takes its widgets and sets their first texts
    wireLink();
    wireConsole();
    wireFlags();
    wireSettings();
    wireProduction(); // production and laser
    wireAbout();
    wireFirmware();
    wireService(); // service mode and tray calibration

    // 9-11: widgets this tool does not use
    hideAll({ui->buttonRecordLaser, ui->buttonWriteToRegister, ui->labelPLL, ui->SongTitleLabel,
             ui->ArtistLabel, ui->VolumeSlider, ui->TrackTimeSlider, ui->laserCurrenLabel});
    ui->labelEepromError->clear();

    // 10: the segment face for the time displays
    QFont big(inkFamily(), 28, 1, false);
    QFont small(inkFamily(), 20, 1, false);
    ui->time_display->setFont(big);
    ui->track_number_display->setFont(big);
    ui->time_display_2->setFont(small);
    ui->track_number_display_2->setFont(small);

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
    }

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
    eepromPage->fillLists();

    // 25
    ui->btnResetLaserHistory->hide();

    // What the operator types, the files, the board and the database say is shown as it is.
    PlainText::labels(this);
}

Control_Panel::~Control_Panel() {
    // An ISP tool still running is killed and waited for, so that no orphan keeps the port; the
    // board link is not restarted.
    flashPage.reset();
    // The run going on ends (its row written as ended, its report when asked for), then the run
    // panel (it watches the flag plot) goes before the widgets do.
    if (runSession)
        runSession->finish();
    resultsPage.reset();
    delete runPanel;
    runPanel = nullptr;
    delete runFiles;
    runFiles = nullptr;
    delete runSession;
    runSession = nullptr;
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
    return eepromPage->running();
}

void Control_Panel::applyDeliveredConfiguration() {
    // the service warnings and step markers, the second link's widgets
    hideAll({ui->flashTextBrowser, ui->ServiceModeWarningLabel_1, ui->ServiceModeWarningLabel_3,
             ui->ServiceModeWarningLabel_4, ui->ServiceModeWarningLabel_5,
             ui->ServiceModeWarningLabel_7, ui->chkOther, ui->btnConnectOther, ui->txtOther,
             ui->btnSetOther, ui->lblConnect_other, ui->groupBox});
    for (int i = 1; i <= 14; ++i) {
        if (QLabel* label = findChild<QLabel*>(QStringLiteral("labelService%1").arg(i)))
            label->hide();
    }
    // the Data Log and Flags pages
    ui->tabWidget->removeTab(0);
    ui->tabWidget->setCurrentIndex(1);
    for (int i = 0; i < 6; ++i)
        ui->tabWidget->removeTab(2);
    setWindowTitle("KXRT DADO-Tool Version 4");
    ui->tabWidget->move(0, 0);
    // the console page shows the traffic only
    hideAll({ui->ExpertButtonPlay,
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
             ui->connect_disconnect});
    ui->textBrowser->setGeometry(10, 30, width(), height());
    ui->tabWidget->setTabText(0, "Data Log");
    ui->tabWidget->setCurrentIndex(1);
    qCDebug(dk61App) << "CUSTOMER VERSION";

    // production fields of the EEPROM page
    for (QLineEdit* line : {ui->Line_Derivative, ui->Line_Offset, ui->lineProductionCode,
                            ui->lineEditCustomerID, ui->lineEditFlashedBy})
        line->setReadOnly(true);
    ui->dateProduction->setReadOnly(true);
    ui->label_CustomerID->clear();
    ui->labelFlashedBy->clear();
    for (QWidget* w : {static_cast<QWidget*>(ui->checkBoxSetLaserToDefault),
                       static_cast<QWidget*>(ui->checkBoxSetDateToToday),
                       static_cast<QWidget*>(ui->checkBoxIncrementProductionCode)})
        w->setEnabled(false);
    hideAll({ui->lineOnTime, ui->dateProduction, ui->Line_Derivative, ui->Line_Offset,
             ui->lineProductionCode, ui->lineEditCustomerID, ui->lineEditFlashedBy,
             ui->checkBoxSetLaserToDefault, ui->checkBoxSetDateToToday,
             ui->checkBoxIncrementProductionCode, ui->checkResetOnTime, ui->btnResetLaserHistory});
}

void Control_Panel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int page = ui->tabWidget->currentIndex();
    if (key == Qt::Key_Enter || key == Qt::Key_Return) {
        // Return starts the EEPROM programming on the EEPROM page and the flashing on the flash
        // page (pages the delivered configuration removes), through their buttons' guards.
        if (ui->tabWidget->currentWidget() == ui->tabEeprom)
            beginFlashEeprom();
        if (ui->tabWidget->currentWidget() == ui->tabFlash)
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
    layoutConsole(page, W, H);
    layoutFlags(page, W, H);
    layoutLaserCurrent(page, W, H);
    ui->horizontalScrollBar->setGeometry(0, H - 80, W - 23, 18);
    ui->horizontalScrollBar->setRange(0, 1600 - W);
    ui->verticalScrollBar->setGeometry(W - 23, 0, 18, H - 80);
}

void Control_Panel::layoutConsole(const QSize& page, int W, int H) {
    // The column beside the view ("show data" and the buttons below it, and whatever was put
    // there) keeps to the right edge, left of the test buttons while they are shown; the view
    // takes the width left of it.
    if (consoleColumn.isEmpty()) {
        for (QWidget* widget :
             ui->tabExpertMode->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (widget->x() >= ui->chkLog->x() && widget->y() < ui->CustomInputWarningLabel->y() &&
                widget != ui->groupBoxTest && widget != ui->textBrowser)
                consoleColumn.append({widget, widget->x() - ui->chkLog->x()});
        }
    }
    const bool testButtons = trafficConsole && trafficConsole->testButtonsShown();
    QGroupBox* tests = ui->groupBoxTest;
    tests->move(W - tests->width() - 20, tests->y());
    const int columnRight = (testButtons ? tests->x() : page.width()) - 20;
    const int columnX = columnRight - ui->chkLog->width();
    int columnBottom = 0;
    for (const auto& [widget, offset] : consoleColumn) {
        widget->move(columnX + offset, widget->y());
        if (!widget->isHidden())
            columnBottom = std::max(columnBottom, widget->geometry().bottom());
    }
    QWidget* view = ui->textBrowser;
    view->resize(std::max(0, columnX - 10 - view->x()), H - 210);

    // The typed-request line below the view, narrowed where the column or the page's edge would
    // cut it.
    const int rowY = H - 189;
    const int rowRight = rowY - 20 > columnBottom ? columnRight : columnX - 10;
    const int buttons = ui->SendButton->width() + ui->connect_disconnect->width() + 20;
    ui->InputText->setGeometry(210, rowY, std::min(430, rowRight - 210 - buttons),
                               ui->InputText->height());
    const int inputRight = ui->InputText->geometry().right() + 1;
    ui->SendButton->move(inputRight + 10, rowY);
    ui->connect_disconnect->move(ui->SendButton->geometry().right() + 11, rowY);
    ui->CheckBoxClear->move(210, H - 159);
    ui->CustomInputWarningLabel->setGeometry(210, rowY - 20, std::min(500, rowRight - 210),
                                             ui->CustomInputWarningLabel->height());
}

void Control_Panel::layoutFlags(const QSize& page, int W, int H) {
    // Bottom up: the service warning and the second link's row (where this build shows them),
    // the plot's unit and scale row under the width slider, the slider with the window it sets,
    // the plot above it.
    const bool secondLink = !ui->chkOther->isHidden();
    const int sliderY = page.height() - 49 - (secondLink ? 58 : 0);
    const int plotHeight = sliderY - ui->customPlot->y();
    ui->customPlot->resize(W - 70, plotHeight);
    QSlider* rates = ui->verticalSliderFlagsGraph;
    rates->resize(19, secondLink ? sliderY + 19 - rates->y() : H - 160);
    QLabel* window = ui->labelPlotWindow;
    const int windowWidth = window->fontMetrics().horizontalAdvance(QStringLiteral("Window: 60 s"));
    const int sliderX = rates->x() + 100;
    const int sliderWidth = W - 130 - windowWidth - 6;
    ui->horizontalSliderFlagsGraph->setGeometry(sliderX, sliderY, sliderWidth, 19);
    window->setGeometry(sliderX + sliderWidth + 6, sliderY, windowWidth, 21);
    const int rowY = sliderY + 49;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{ui->lblConnect_other, ui->txtOther, ui->chkOther})
        widget->move(widget->x(), rowY + 1);
    for (QWidget* widget : std::initializer_list<QWidget*>{ui->btnSetOther, ui->btnConnectOther})
        widget->move(widget->x(), rowY);
    ui->ServiceModeWarningLabel_3->setGeometry(30, page.height() - 30, page.width() - 40, 30);
}

void Control_Panel::layoutLaserCurrent(const QSize& page, int W, int H) {
    // Bottom up: the player bar, the history buttons, the plot above them.
    QGroupBox* player = ui->groupBox;
    const int playerHeight =
        player->isHidden() ? 0 : std::max(player->height(), player->childrenRect().bottom() + 3);
    player->setGeometry(0, page.height() - playerHeight, page.width(), playerHeight);
    const int rowY = std::min(H - 160, player->y() - 4 - ui->btnGetLaserHistory->height());
    for (QWidget* widget : std::initializer_list<QWidget*>{
             ui->btnGetLaserHistory, ui->btnGetZeroByte, ui->btnResetLaserHistory})
        widget->move(widget->x(), rowY);
    ui->lblWarnLaserHistory->move(ui->lblWarnLaserHistory->x(), rowY + 2);
    QCustomPlot* plot = ui->customPlotLaser;
    plot->resize(W - 70, rowY - 5 - plot->y());
}
