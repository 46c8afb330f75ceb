#include "main/mainpages.h"

#include "cd_board.h"
#include "laser/laserhistory.h"
#include "shell/logging.h"

#include <QMainWindow>
#include <QTabBar>
#include <QTabWidget>

MainPages::MainPages(CD_Board& board, QSettings& settings, Focus_Coefs& focusCoefs,
                     LaserList& laserList, QTabWidget& tabs, bool delivered, Window window)
    : board(board), tabs(tabs) {
    playerPanel = std::make_unique<PlayerPanel>(board);
    playPage = new PlayPage(*playerPanel);
    window.console.memoryBusy = [this] { return memoryBusy(); };
    consolePage = new ConsolePage(board, *playerPanel, laserList, window.console);
    flagsPage = new FlagsPage(board, &settings);
    laserPage = new LaserPage(board);
    laserCurrentPage = new LaserCurrentPage(
        board, *playerPanel, [this] { return memoryBusy(); },
        [this] { return eepromPage->running(); });
    eepromPage = new EepromPage(board);
    servoPage = new ServoPage(focusCoefs);
    audioBytePage = new AudioBytePage;
    flashPage = std::make_unique<FlashPage>(window.port, settings);
    servicePanel = std::make_unique<ServicePanel>(board);
    serviceModePage = new ServiceModePage(*servicePanel);
    // The pages not shown are built all the same.
    for (QWidget* page : std::initializer_list<QWidget*>{
             playPage, consolePage, flagsPage, eepromPage, servoPage, audioBytePage,
             flashPage.get(), laserPage, serviceModePage, laserCurrentPage}) {
        if (!delivered || page == consolePage || page == flagsPage) {
            tabs.addTab(page, page->windowTitle());
        } else {
            page->setParent(tabs.window());
            page->hide();
        }
    }
}

MainPages::~MainPages() = default;

QString MainPages::memoryBusy() const {
    if (eepromPage->running())
        return LaserHistory::busyText();
    if (const MemorySequence* running = board.decoder().runningSequence())
        return LaserHistory::waitText(running->what());
    return QString();
}

void MainPages::wire(bool service) {
    QObject::connect(consolePage, &ConsolePage::positionShown, playPage, &PlayPage::showPosition);
    QObject::connect(consolePage, &ConsolePage::positionShown, laserCurrentPage,
                     &LaserCurrentPage::showPosition);
    QObject::connect(eepromPage, &EepromPage::commandText, consolePage, &ConsolePage::sendText);
    QObject::connect(eepromPage, &EepromPage::audioByteShown, audioBytePage,
                     &AudioBytePage::showRead);
    QObject::connect(audioBytePage, &AudioBytePage::byteChosen, eepromPage,
                     [this](const QString& text) {
                         eepromPage->setAudioByte(text);
                         tabs.setCurrentWidget(eepromPage);
                     });
    // The full run has no control of its own in the form.
    if (service)
        eepromPage->offerFullRun();
    QObject::connect(laserPage, &LaserPage::useForEeprom, eepromPage,
                     [this](double k, double d) { eepromPage->takeLaser(k, d); });
    ServicePanel* panel = servicePanel.get();
    QObject::connect(panel, &ServicePanel::laserButtonShown, laserPage,
                     &LaserPage::showLaserButton);
    QObject::connect(panel, &ServicePanel::warningsShown, playPage, &PlayPage::showServiceWarning);
    QObject::connect(panel, &ServicePanel::warningsShown, consolePage,
                     &ConsolePage::showServiceWarning);
    QObject::connect(panel, &ServicePanel::warningsShown, flagsPage,
                     &FlagsPage::showServiceWarning);
    QObject::connect(panel, &ServicePanel::warningsShown, eepromPage,
                     &EepromPage::showServiceWarning);
    QObject::connect(panel, &ServicePanel::warningsShown, flashPage.get(),
                     &FlashPage::showServiceWarning);
    QObject::connect(panel, &ServicePanel::warningsShown, laserPage,
                     &LaserPage::showServiceWarning);
}

void MainPages::applyDeliveredConfiguration(QMainWindow& window) {
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
    window.setWindowTitle("KXRT DADO-Tool Version 4");
    tabs.move(0, 0);
    // the console page shows the traffic only
    consolePage->showTrafficOnly(window.size());
    tabs.setTabText(0, "Data Log");
    tabs.setCurrentIndex(1);
    qCDebug(dk61App) << "CUSTOMER VERSION";
    eepromPage->lockProductionFields();
}

void MainPages::relayout(int W, int H) {
    // The pages are the tab widget less its tab bar and frame.
    tabs.resize(W, H - 60);
    const QSize page(W - 4, H - 64 - tabs.tabBar()->sizeHint().height());
    consolePage->fitWindow(page, W, H);
    flagsPage->fitWindow(page, W, H);
    laserCurrentPage->fitWindow(page, W, H);
    servoPage->fitWindow(W, H);
}
