#ifndef CONTROL_PANEL_H
#define CONTROL_PANEL_H

#include "board/linkstatusbar.h"
#include "board/statuswording.h"
#include "console/consolepage.h"
#include "console/loaderpanel.h"
#include "console/playerpanel.h"
#include "console/playpage.h"
#include "firmware/flashpage.h"
#include "flags/flagmonitor.h"
#include "flags/flagplot.h"
#include "flags/flagspage.h"
#include "laser/lasercurrentpage.h"
#include "laser/laserpage.h"
#include "linkpair.h"
#include "production/audiobytepage.h"
#include "production/eeprompage.h"
#include "production/servopage.h"
#include "serial_info.h"
#include "service/servicemodepage.h"
#include "service/servicepanel.h"
#include "settings/sessionfiles.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <memory>

class CD_Board;
class CFlags;
class PortFactory;
class Focus_Coefs;
class LaserList;
class Register_Dialog;
class ResultsPage;
class RunFiles;
class RunPanel;
class RunSession;
class TestRoutine;
class QCloseEvent;
class QKeyEvent;
class QMessageBox;
class QResizeEvent;
class QSettings;

namespace Ui {
class Control_Panel;
}

// The main window: owns the board link, the form, the settings store and the files, and hands
// each subsystem's page the widgets and callbacks it works on. Its slots forward to those pages,
// one line each; each subsystem's wiring (and what does not fit a line) is in that subsystem's
// directory (control_panel_*.cpp), this file's own source holds start-up, layout and shut-down.
class Control_Panel : public QMainWindow {
    Q_OBJECT

public:
    // The delivered program shows the Data Log and Flags pages only; the service build keeps
    // every page of the form.
    enum class Configuration { Delivered, Service };

    // `ports` gives the links their devices and the adapter discovery its ports.
    explicit Control_Panel(PortFactory& ports, QWidget* parent = nullptr,
                           Configuration configuration = Configuration::Delivered);
    ~Control_Panel() override;

    // ---- what tests and benchmarks look at ----
    CD_Board* cdBoard() const { return board; }
    LinkSupervisor& boardSupervisor() { return boardLink; }
    LinkSupervisor& flagSupervisor() { return flagLink; }
    // The board link's Retry/Abort question while it is up.
    QMessageBox* portQuestion() const;
    // Runs once to end the program (after Abort).
    QTimer& quitTimer() { return abortTimer; }
    const SettingsValues& settingsInForce() const { return currentSettings; }
    const LogFile& logFile() const { return files.log(); }
    const LogFile& flagFile() const { return files.flags(); }
    const LaserList& laserReadings() const { return *laserList; }
    const Focus_Coefs& servoCoefficients() const { return *focusCoefs; }
    bool programmingRunning() const;
    ConsolePage& console() const { return *consolePage; }
    PlayerPanel& player() const { return *playerPanel; }
    FlashPage& firmwarePage() const { return *flashPage; }
    RunPanel& flagRun() const { return flagMonitor->panel(); }
    FlagPlot& livePlot() const { return flagsPage->plot(); }
    RunSession& flagSession() const { return flagMonitor->session(); }
    RunFiles& flagFiles() const { return flagMonitor->files(); }

    // ---- what the board tells the window (its signals) ----
    void showStatusBar(const StatusWording::Bar& bar) {
        statusView->show(bar);
        flagsPage->showLinkMessage(bar.message);
    }
    void appendFlagFirmware(int version) { statusView->appendFlagFirmware(version); }
    void showLoaderType(const QString& text) { statusView->showLoaderType(text); }
    void clearDiscId() { playerPanel->clearDiscId(); }
    void pushLaserReading(quint16 value);
    void flagRecordAdded(CFlags* record, bool fromFlagBoard);
    void clearLoaderList() { eepromPage->clearLoaders(); }
    void addLoaderEntry(const QString& text, int code) { eepromPage->addLoader(text, code); }
    bool selectLoaderEntry(int code) { return eepromPage->selectLoader(code); }

    // ---- log and flag files (settings/) ----
    void openLogFile();
    void openFlagFile();
    void closeLogFile() { files.closeLog(); }
    void closeFlagFile() { files.closeFlags(); }
    // Writes the lines of one pass at once (one write and one flush).
    void writeLogLines(const QStringList& lines) { files.writeLogLines(lines); }
    // Adds the lines of one pass to the traffic view (only while "show data" is checked).
    void showTrafficLines(const QStringList& lines) { consolePage->show(lines); }

    // ---- link (board/) ----
    void resetBaudrate(int baud, bool reconnect);
    // The system refuses this user the serial port: the fix, said once.
    void portAccessDenied(const QString& portName);

signals:
    void recievedCFlags(CFlags* cflags);
    // The programming run ended with its last step confirmed.
    void flashSuccess();

public slots:
    // ---- link (board/): the links' supervisors do the work ----
    void startup() { boardLink.start(); }
    void startup_other() { flagLink.start(); }
    void no_avaliable_port() { boardLink.noPortAvailable(); }
    void no_avaliable_port_other() { flagLink.noPortAvailable(); }
    void abort_now();
    void handleConnectDisconnect() { boardLink.toggle(); }
    void handleConnectDisconnectOther() { flagLink.toggle(); }
    void is_connected() { boardLink.checkConnection(); }
    void is_connected_other() { flagLink.checkConnection(); }
    void update_connection_label();
    void fw_version_detected();
    void fw_timer_interrupt() { boardLink.answerTimedOut(); }
    void ev_loader_ok_detected();
    void ev_loader_ok_timer_interrupt() { boardLink.loaderTimedOut(); }

    // ---- traffic view and typed requests (console/) ----
    void update_information() {
        files.flushFlagRows();
        consolePage->takeReceived();
    }
    void put_send_bytes() { consolePage->takeSent(); }
    void debug_message() { consolePage->takeDebugText(); }
    void sendCustomData() { consolePage->sendTyped(); }
    void textChanged() { consolePage->formatTyped(); }
    void text_pressedUp() { consolePage->recallOlder(); }
    void text_pressedDown() { consolePage->recallNewer(); }
    void showPllState(int state) { playerPanel->showPllState(state); }

    // ---- flag monitor (flags/) ----
    void plotCFlags() { flagsPage->plotRecords(); }
    void rescalePlotXAxis() { flagsPage->restartPlot(); }
    void rescalePlotYAxis() { flagsPage->plot().rescaleRates(); }
    void send_flagrate_setting(int selection) { flagsPage->chooseInterval(selection); }

    // ---- files and settings (settings/) ----
    void writeCFlagsToFlagFile_cvs();
    void openSettings();
    // File -> "Results...": the runs in the results database.
    void showResults();

    // ---- EEPROM (production/) ----
    void handleEepromState() { eepromPage->showRun(); }

    // ---- firmware (firmware/) ----
    void browseHexFile() { flashPage->browse(); }
    // The button while idle (FlashPage wires it), and Return on the flash page.
    void flashFirmware() { flashPage->flash(); }
    void flashFirmwareStandardOutputHandler(const QString& text) { flashPage->showOutput(text); }
    // Every run ends here; the link comes back as after an unplug.
    void flashFirmwareFinished(bool success) { flashPage->finished(success); }
    void abortFlashingFirmware() { flashPage->abort(); }

    // ---- laser plots (laser/) ----
    void plotLaserHistory(int runtime, int last_index, const quint8* values,
                          const quint8* values_t);
    void plotZeroByte(int zerobyte) { laserCurrentPage->plotZeroHourByte(zerobyte); }

    // ---- EEPROM page and programming run (production/) ----
    void beginFlashEeprom() { eepromPage->start(EepromRun::Kind::Settings); }
    void flashEeprom(int step) {
        if (eepromPage->showRun(step))
            emit flashSuccess();
    }
    // Connected to the board's eepromRunFailed: a refused write, no answer, bytes that differ, the
    // link lost.
    void flashTimeOut() { eepromPage->showRun(); }
    void programAllParameters() { eepromPage->askFullRun(); }
    void updateBaudrateSetting() { eepromPage->showBaudSetting(); }
    void updateFocGainSetting() { eepromPage->showFocusSetting(); }
    void handleProductionCode() { eepromPage->showProductionRecord(); }
    void handleRuntime() { eepromPage->showRuntime(); }
    void handleLaserParamters() { eepromPage->showLaser(); }
    void handle_baud_rate_selected(int index) { eepromPage->baudRateChosen(index); }
    void toggleFlashDate() { eepromPage->toggleDate(); }
    void toggleLaserDefault() { eepromPage->toggleLaserDefault(); }
    void show_hint_runtime_reset() { eepromPage->showRuntimeHint(); }
    // ---- audio byte and servo pages, register dialog (production/) ----
    void handleAudioByteTab() { audioBytePage->compose(); }
    void sendAudioByte() { audioBytePage->copyToEeprom(); }
    void update_horizontalScrollBar(int value) { servoPage->scrollAcross(value); }
    void update_verticalScrollBar(int value) { servoPage->scrollDown(value); }
    void handleWriteToRegister();
    void handleWriteRegisterWindowDestroyed();
    // ---- laser calibration and laser current (laser/) ----
    void handleAdcValue_1() { laserPage->showPoint(1); }
    void handleAdcValue_2() { laserPage->showPoint(2); }
    void calculateLaserParams() { laserPage->fit(); }
    void update_laser_average() { consolePage->showAverage(); }
    void updateLaserADCAverage(int index) { consolePage->showCount(index); }
    void writeLaserCurrentToEEPROM() { consolePage->writeZeroHourByte(); }
    void handleModuleOff() { laserPage->moduleOff(); }
    void getLaserHistory() { laserCurrentPage->readHistory(); }
    void getZeroByte() { laserCurrentPage->readZeroHourByte(); }
    void resetLaserHistory() { laserCurrentPage->askErase(); }
    void getLaserCurrent() { consolePage->requestCurrent(); }
    void updateLaserCurrent() { consolePage->showCurrent(); }
    void memoryExchangeFailed(const QString& text) { laserCurrentPage->exchangeFailed(text); }
    void showAdcProgress() { laserPage->showProgress(); }
    void zeroByteWriteEnded(bool written, const QString& text) {
        consolePage->zeroHourByteWritten(written, text);
    }

    // ---- the player panel (console/) ----
    void play() { playerPanel->playPause(); }
    void pause() { playerPanel->pause(); }
    void stop() { playerPanel->stop(); }
    void next() { playerPanel->next(); }
    void previous() { playerPanel->previous(); }
    void open_close() { playerPanel->openClose(); }
    void open_tray() { playerPanel->openTray(); }
    void close_tray() { playerPanel->closeTray(); }
    void handle_tray_update() { playerPanel->trayUpdate(); }
    void handle_tray_timer_interrupt() { playerPanel->trayUpdate(); }
    // Not on any button: Play with mode 00, after Get Disc Contents when "PlayInit" is checked.
    void button_play() { playerPanel->playFromStart(); }
    void getevtag() { playerPanel->askDiscContents(); }
    void set_playwithinit_flag() { playerPanel->takePlayInit(); }
    void handleDiscID() { playerPanel->showDiscId(); }
    // ---- the test buttons, loader and pickup (console/) ----
    void testsuite_Show_Hide() {
        consolePage->toggleTestButtons();
        relayout(width(), height());
    }
    void handle_other_possible_loader_selected(int index) { eepromPage->chooseLoader(index); }
    void handleLoaderSelection() { eepromPage->showEepromLoader(); }
    // ---- service mode and tray calibration (service/) ----
    void startServiceMode() { servicePanel->start(); }
    void stepServiceMode() { servicePanel->next(); }
    void gotoServiceMode(int step) { servicePanel->gotoStep(step); }
    // The page changes when the board confirms the end.
    void exitServiceMode() { servicePanel->exit(); }
    void handleServiceModeStep(int step) { servicePanel->showStep(step); }
    void leaveServiceMode() { servicePanel->leave(); }
    void laserOnOff() { servicePanel->laserButtonPressed(); }
    void DK65_AC_Calibrate_Loader_1() { eepromPage->calibrationReset(); }
    void DK65_AC_Calibrate_Loader_2() { eepromPage->calibrationSetDistance(); }
    void DK65_AC_Calibrate_Loader_3() { eepromPage->calibrationSetTiming(); }
    // ---- Help menu (app/) ----
    void showAbout();

public:
    QString aboutText() const;

protected:
    // Runs that no place took are not left behind unasked (results/).
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyDeliveredConfiguration();
    // Every page, in tab order, with the parts they share.
    void buildPages();
    // Why no exchange with the board's memory can start now (empty: it can).
    QString memoryBusy() const;
    // Lays the pages out for a window of W x H: what grows with the window and what keeps to its
    // right or bottom edge.
    void relayout(int W, int H);

    // One wiring function per subsystem, each defined beside that subsystem's slots and called
    // from the constructor in the order of the wiring table; each builds that subsystem's page.
    void wireLink();
    void wireBoardReports();
    void wireConsole();
    void wireLoader();
    void wireFlagMonitor();
    void wireResults();
    void wireSettings();
    void wireProduction();
    void wireLaser();
    void wireAbout();
    void wireService();

    // ---- link (board/) ----
    // A supervisor's question as a Retry/Abort box; Abort on the board link's question quits.
    LinkSupervisor::Answer askRetryOrAbort(LinkSupervisor& link,
                                           const LinkSupervisor::Question& question);
    // ---- flag monitor (flags/) ----
    // The board link opened / went down (a port error, the watchdog, the operator).
    void flagLinkOpened() {
        if (flagMonitor)
            flagMonitor->linkOpened();
    }
    void flagLinkDown(const QString& reason) {
        if (flagMonitor)
            flagMonitor->linkDown(reason);
    }
    // ---- settings (settings/) ----
    // What the settings window hands back on Apply.
    void applySettings(const SettingsValues& shown, const SettingsValues& chosen);
    // The settings as read from the store become the ones in force.
    void takeSettings(const SettingsValues& values);
    void showFileWarning(const FileWarnings::Report& report);

    PortFactory& ports;
    Configuration configuration = Configuration::Delivered;
    Ui::Control_Panel* ui = nullptr;
    CD_Board* board = nullptr;
    Serial_Info serialInfo;
    // One supervisor per link: discovery, open, watchdogs, retry (link/linkpair.h).
    LinkPair links{serialInfo};
    LinkSupervisor& boardLink = links.boardSide();
    LinkSupervisor& flagLink = links.flagSide();
    // The Retry/Abort questions while they are up.
    QPointer<QMessageBox> portMessageBox;
    QPointer<QMessageBox> otherPortMessageBox;
    bool portAccessHintShown = false;
    Focus_Coefs* focusCoefs = nullptr;
    LaserList* laserList = nullptr;
    TestRoutine* testRoutine = nullptr;
    QSettings* settings = nullptr;
    QTimer abortTimer;
    // Elapsed time since start-up for the time stamps of the traffic lines and files.
    QElapsedTimer sessionClock;
    // The settings in force (directories and switches of the files, link rate, flag limits).
    SettingsValues currentSettings;
    SessionFiles files{[this](const FileWarnings::Report& report) { showFileWarning(report); }};

    // ---- each subsystem's page ----
    std::unique_ptr<LinkStatusBar> statusView;
    ConsolePage* consolePage = nullptr;
    std::unique_ptr<PlayerPanel> playerPanel;
    PlayPage* playPage = nullptr;
    std::unique_ptr<LoaderPanel> loaderPanel;
    EepromPage* eepromPage = nullptr;
    ServoPage* servoPage = nullptr;
    AudioBytePage* audioBytePage = nullptr;
    QPointer<Register_Dialog> registerDialog;
    LaserPage* laserPage = nullptr;
    LaserCurrentPage* laserCurrentPage = nullptr;
    std::unique_ptr<ServicePanel> servicePanel;
    ServiceModePage* serviceModePage = nullptr;
    std::unique_ptr<FlashPage> flashPage;
    FlagsPage* flagsPage = nullptr;
    std::unique_ptr<FlagMonitor> flagMonitor;
    // The results database, the live run's row in it and the Results dialog.
    ResultsPage* resultsPage = nullptr; // the flag monitor's
};

#endif // CONTROL_PANEL_H
