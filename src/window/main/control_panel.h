#ifndef CONTROL_PANEL_H
#define CONTROL_PANEL_H

#include "board/linkstatusbar.h"
#include "board/statuswording.h"
#include "console/loaderpanel.h"
#include "console/playerpanel.h"
#include "console/trafficconsole.h"
#include "firmware/flashpage.h"
#include "flags/flagplot.h"
#include "laser/laserpages.h"
#include "linkpair.h"
#include "production/audiobytepage.h"
#include "production/eeprompage.h"
#include "production/fieldmemory.h"
#include "serial_info.h"
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
    TrafficConsole& console() const { return *trafficConsole; }
    PlayerPanel& player() const { return *playerPanel; }
    FlashPage& firmwarePage() const { return *flashPage; }
    RunPanel& flagRun() const { return *runPanel; }
    RunSession& flagSession() const { return *runSession; }
    RunFiles& flagFiles() const { return *runFiles; }
    FlagPlot& livePlot() const { return *flagPlot; }

    // ---- what the board tells the window (its signals) ----
    void showStatusBar(const StatusWording::Bar& bar) { statusView->show(bar); }
    void appendFlagFirmware(int version) { statusView->appendFlagFirmware(version); }
    void showLoaderType(const QString& text) { statusView->showLoaderType(text); }
    void clearDiscId() { playerPanel->clearDiscId(); }
    void pushLaserReading(quint16 value);
    void flagRecordAdded(CFlags* record, bool fromFlagBoard);
    void clearLoaderList() { loaderPanel->clear(); }
    void addLoaderEntry(const QString& text, int code) { loaderPanel->add(text, code); }
    bool selectLoaderEntry(int code) { return loaderPanel->select(code); }

    // ---- log and flag files (settings/) ----
    void openLogFile();
    void openFlagFile();
    void closeLogFile() { files.closeLog(); }
    void closeFlagFile() { files.closeFlags(); }
    // Writes the lines of one pass at once (one write and one flush).
    void writeLogLines(const QStringList& lines) { files.writeLogLines(lines); }
    // Adds the lines of one pass to the traffic view (only while "show data" is checked).
    void showTrafficLines(const QStringList& lines) { trafficConsole->show(lines); }

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
        trafficConsole->takeReceived();
    }
    void put_send_bytes() { trafficConsole->takeSent(); }
    void debug_message() { trafficConsole->takeDebugText(); }
    void sendCustomData() { trafficConsole->sendTyped(); }
    void textChanged() { trafficConsole->formatTyped(); }
    void text_pressedUp() { trafficConsole->recallOlder(); }
    void text_pressedDown() { trafficConsole->recallNewer(); }
    void showPllState(int state) { playerPanel->showPllState(state); }

    // ---- flag monitor (flags/) ----
    void plotCFlags();
    void rescalePlotXAxis();
    void rescalePlotYAxis() { flagPlot->rescaleRates(); }
    void send_flagrate_setting(int selection);

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
    void plotZeroByte(int zerobyte) { laserPages->plotZeroHourByte(zerobyte); }

    // ---- EEPROM page and programming run (production/) ----
    void beginFlashEeprom() { eepromPage->start(EepromRun::Kind::Settings); }
    void flashEeprom(int step);
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
    // Takes the audio byte read from the board apart onto both pages.
    void showReadAudioByte();
    void update_horizontalScrollBar(int value);
    void update_verticalScrollBar(int value);
    void handleWriteToRegister();
    void handleWriteRegisterWindowDestroyed();
    // ---- laser calibration and laser current (laser/) ----
    void handleAdcValue_1() { laserPages->showPoint(1); }
    void handleAdcValue_2() { laserPages->showPoint(2); }
    void calculateLaserParams() { laserPages->fit(); }
    void update_laser_average() { laserPages->showAverage(); }
    void updateLaserADCAverage(int index) { laserPages->showCount(index); }
    void writeLaserCurrentToEEPROM() { laserPages->writeZeroHourByte(); }
    void handleModuleOff() { laserPages->moduleOff(); }
    void getLaserHistory() { laserPages->readHistory(); }
    void getZeroByte() { laserPages->readZeroHourByte(); }
    void resetLaserHistory() { laserPages->askErase(); }
    void getLaserCurrent() { laserPages->requestCurrent(); }
    void updateLaserCurrent() { laserPages->showCurrent(); }
    void memoryExchangeFailed(const QString& text) { laserPages->exchangeFailed(text); }
    void showAdcProgress() { laserPages->showProgress(); }
    void zeroByteWriteEnded(bool written, const QString& text) {
        laserPages->zeroHourByteWritten(written, text);
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
        trafficConsole->toggleTestButtons();
        relayout(width(), height());
    }
    void handle_other_possible_loader_selected(int index) { loaderPanel->choose(index); }
    void handleLoaderSelection();
    // ---- service mode and tray calibration (service/) ----
    void startServiceMode() { servicePanel->start(); }
    void stepServiceMode() { servicePanel->next(); }
    void gotoServiceMode(int step) { servicePanel->gotoStep(step); }
    // The page changes when the board confirms the end.
    void exitServiceMode() { servicePanel->exit(); }
    void handleServiceModeStep(int step) { servicePanel->showStep(step); }
    void leaveServiceMode() { servicePanel->leave(); }
    void laserOnOff() { servicePanel->laserButtonPressed(); }
    void DK65_AC_Calibrate_Loader_1() { servicePanel->calibrationReset(); }
    void DK65_AC_Calibrate_Loader_2() { servicePanel->calibrationSetDistance(); }
    void DK65_AC_Calibrate_Loader_3() { servicePanel->calibrationSetTiming(); }
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
    // Lays the pages out for a window of W x H: what grows with the window and what keeps to its
    // right or bottom edge.
    void relayout(int W, int H);
    void layoutConsole(const QSize& page, int W, int H);
    void layoutFlags(const QSize& page, int W, int H);
    void layoutLaserCurrent(const QSize& page, int W, int H);

    // One wiring function per subsystem, each defined beside that subsystem's slots and called
    // from the constructor in the order of the wiring table; each builds that subsystem's page.
    void wireLink();
    void wireBoardReports();
    void wireConsole();
    void wirePlayer();
    void wireLoader();
    void wireFlags();
    void wireFlagMonitor();
    void wireResults();
    void wireSettings();
    void wireProduction();
    void wireEditors();
    void wireLaser();
    void wireAbout();
    void wireFirmware();
    void wireService();

    // ---- link (board/) ----
    // A supervisor's question as a Retry/Abort box; Abort on the board link's question quits.
    LinkSupervisor::Answer askRetryOrAbort(LinkSupervisor& link,
                                           const LinkSupervisor::Question& question);
    // ---- flag monitor (flags/) ----
    // The link to the board opened: a line in the log file after it was down, the interval the
    // operator chose sent again (the board starts at 1 s).
    void flagLinkOpened();
    // The link went down (a port error, the watchdog, the operator): a line in the log file and
    // a gap in the run.
    void flagLinkDown(const QString& reason);
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
    std::unique_ptr<TrafficConsole> trafficConsole;
    std::unique_ptr<PlayerPanel> playerPanel;
    std::unique_ptr<LoaderPanel> loaderPanel;
    FieldMemory eepromFields;
    std::unique_ptr<EepromPage> eepromPage;
    std::unique_ptr<AudioBytePage> audioBytePage;
    QPointer<Register_Dialog> registerDialog;
    std::unique_ptr<LaserPages> laserPages;
    std::unique_ptr<ServicePanel> servicePanel;
    std::unique_ptr<FlashPage> flashPage;
    FlagPlot* flagPlot = nullptr;
    RunSession* runSession = nullptr;
    RunFiles* runFiles = nullptr;
    RunPanel* runPanel = nullptr;
    // The console page's column right of the view: each widget with its offset from the column's
    // left edge (found at the first layout).
    QVector<QPair<QWidget*, int>> consoleColumn;
    // The results database, the live run's row in it and the Results dialog.
    std::unique_ptr<ResultsPage> resultsPage;
};

#endif // CONTROL_PANEL_H
