#ifndef CONTROL_PANEL_H
#define CONTROL_PANEL_H

#include "board/linkstatusbar.h"
#include "board/linkwindow.h"
#include "board/statuswording.h"
#include "console/loaderpanel.h"
#include "flags/flagmonitor.h"
#include "flags/flagplot.h"
#include "linkpair.h"
#include "main/helpmenu.h"
#include "main/mainpages.h"
#include "serial_info.h"
#include "settings/sessionfiles.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

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
    QMessageBox* portQuestion() const { return linkWindow->boardQuestion(); }
    // Runs once to end the program (after Abort).
    QTimer& quitTimer() { return linkWindow->quitTimer(); }
    const SettingsValues& settingsInForce() const { return currentSettings; }
    const LogFile& logFile() const { return files.log(); }
    const LogFile& flagFile() const { return files.flags(); }
    const LaserList& laserReadings() const { return *laserList; }
    const Focus_Coefs& servoCoefficients() const { return *focusCoefs; }
    bool programmingRunning() const;
    ConsolePage& console() const { return pages->console(); }
    PlayerPanel& player() const { return pages->player(); }
    FlashPage& firmwarePage() const { return pages->flash(); }
    RunPanel& flagRun() const { return flagMonitor->panel(); }
    FlagPlot& livePlot() const { return pages->flags().plot(); }
    RunSession& flagSession() const { return flagMonitor->session(); }
    RunFiles& flagFiles() const { return flagMonitor->files(); }

    // ---- what the board tells the window (its signals) ----
    void showStatusBar(const StatusWording::Bar& bar) {
        statusView->show(bar);
        pages->flags().showLinkMessage(bar.message);
    }
    void appendFlagFirmware(int version) { statusView->appendFlagFirmware(version); }
    void showLoaderType(const QString& text) { statusView->showLoaderType(text); }
    void clearDiscId() { pages->player().clearDiscId(); }
    void pushLaserReading(quint16 value);
    void flagRecordAdded(CFlags* record, bool fromFlagBoard);
    void clearLoaderList() { pages->eeprom().clearLoaders(); }
    void addLoaderEntry(const QString& text, int code) { pages->eeprom().addLoader(text, code); }
    bool selectLoaderEntry(int code) { return pages->eeprom().selectLoader(code); }

    // ---- log and flag files (settings/) ----
    void openLogFile();
    void openFlagFile();
    void closeLogFile() { files.closeLog(); }
    void closeFlagFile() { files.closeFlags(); }
    // Writes the lines of one pass at once (one write and one flush).
    void writeLogLines(const QStringList& lines) { files.writeLogLines(lines); }
    // Adds the lines of one pass to the traffic view (only while "show data" is checked).
    void showTrafficLines(const QStringList& lines) { pages->console().show(lines); }

    // ---- link (board/) ----
    void resetBaudrate(int baud, bool reconnect) { links.changeBaudRate(baud, reconnect); }
    // The system refuses this user the serial port: the fix, said once.
    void portAccessDenied(const QString& portName) { linkWindow->portAccessDenied(portName); }

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
    void fw_version_detected() { links.firmwareAnswered(); }
    void fw_timer_interrupt() { boardLink.answerTimedOut(); }
    // The loader answered: a Retry/Abort box that is up goes when control returns to it.
    void ev_loader_ok_detected() { links.loaderAnswered(); }
    void ev_loader_ok_timer_interrupt() { boardLink.loaderTimedOut(); }

    // ---- traffic view and typed requests (console/) ----
    void update_information() {
        files.flushFlagRows();
        pages->console().takeReceived();
    }
    void put_send_bytes() { pages->console().takeSent(); }
    void debug_message() { pages->console().takeDebugText(); }
    void sendCustomData() { pages->console().sendTyped(); }
    void textChanged() { pages->console().formatTyped(); }
    void text_pressedUp() { pages->console().recallOlder(); }
    void text_pressedDown() { pages->console().recallNewer(); }
    void showPllState(int state) { pages->player().showPllState(state); }

    // ---- flag monitor (flags/) ----
    void plotCFlags() { pages->flags().plotRecords(); }
    void rescalePlotXAxis() { pages->flags().restartPlot(); }
    void rescalePlotYAxis() { pages->flags().plot().rescaleRates(); }
    void send_flagrate_setting(int selection) { pages->flags().chooseInterval(selection); }

    // ---- files and settings (settings/) ----
    void writeCFlagsToFlagFile_cvs();
    void openSettings();
    // File -> "Results...": the runs in the results database.
    void showResults();

    // ---- EEPROM (production/) ----
    void handleEepromState() { pages->eeprom().showRun(); }

    // ---- firmware (firmware/) ----
    void browseHexFile() { pages->flash().browse(); }
    // The button while idle (FlashPage wires it), and Return on the flash page.
    void flashFirmware() { pages->flash().flash(); }
    void flashFirmwareStandardOutputHandler(const QString& text) {
        pages->flash().showOutput(text);
    }
    // Every run ends here; the link comes back as after an unplug.
    void flashFirmwareFinished(bool success) { pages->flash().finished(success); }
    void abortFlashingFirmware() { pages->flash().abort(); }

    // ---- laser plots (laser/) ----
    void plotLaserHistory(int runtime, int last_index, const quint8* values,
                          const quint8* values_t);
    void plotZeroByte(int zerobyte) { pages->laserCurrent().plotZeroHourByte(zerobyte); }

    // ---- EEPROM page and programming run (production/) ----
    void beginFlashEeprom() { pages->eeprom().start(EepromRun::Kind::Settings); }
    void flashEeprom(int step) {
        if (pages->eeprom().showRun(step))
            emit flashSuccess();
    }
    // Connected to the board's eepromRunFailed: a refused write, no answer, bytes that differ, the
    // link lost.
    void flashTimeOut() { pages->eeprom().showRun(); }
    void programAllParameters() { pages->eeprom().askFullRun(); }
    void updateBaudrateSetting() { pages->eeprom().showBaudSetting(); }
    void updateFocGainSetting() { pages->eeprom().showFocusSetting(); }
    void handleProductionCode() { pages->eeprom().showProductionRecord(); }
    void handleRuntime() { pages->eeprom().showRuntime(); }
    void handleLaserParamters() { pages->eeprom().showLaser(); }
    void handle_baud_rate_selected(int index) { pages->eeprom().baudRateChosen(index); }
    void toggleFlashDate() { pages->eeprom().toggleDate(); }
    void toggleLaserDefault() { pages->eeprom().toggleLaserDefault(); }
    void show_hint_runtime_reset() { pages->eeprom().showRuntimeHint(); }
    // ---- audio byte and servo pages, register dialog (production/) ----
    void handleAudioByteTab() { pages->audioByte().compose(); }
    void sendAudioByte() { pages->audioByte().copyToEeprom(); }
    void update_horizontalScrollBar(int value) { pages->servo().scrollAcross(value); }
    void update_verticalScrollBar(int value) { pages->servo().scrollDown(value); }
    void handleWriteToRegister();
    void handleWriteRegisterWindowDestroyed();
    // ---- laser calibration and laser current (laser/) ----
    void handleAdcValue_1() { pages->laser().showPoint(1); }
    void handleAdcValue_2() { pages->laser().showPoint(2); }
    void calculateLaserParams() { pages->laser().fit(); }
    void update_laser_average() { pages->console().showAverage(); }
    void updateLaserADCAverage(int index) { pages->console().showCount(index); }
    void writeLaserCurrentToEEPROM() { pages->console().writeZeroHourByte(); }
    void handleModuleOff() { pages->laser().moduleOff(); }
    void getLaserHistory() { pages->laserCurrent().readHistory(); }
    void getZeroByte() { pages->laserCurrent().readZeroHourByte(); }
    void resetLaserHistory() { pages->laserCurrent().askErase(); }
    void getLaserCurrent() { pages->console().requestCurrent(); }
    void updateLaserCurrent() { pages->console().showCurrent(); }
    void memoryExchangeFailed(const QString& text) { pages->laserCurrent().exchangeFailed(text); }
    void showAdcProgress() { pages->laser().showProgress(); }
    void zeroByteWriteEnded(bool written, const QString& text) {
        pages->console().zeroHourByteWritten(written, text);
    }

    // ---- the player panel (console/) ----
    void play() { pages->player().playPause(); }
    void pause() { pages->player().pause(); }
    void stop() { pages->player().stop(); }
    void next() { pages->player().next(); }
    void previous() { pages->player().previous(); }
    void open_close() { pages->player().openClose(); }
    void open_tray() { pages->player().openTray(); }
    void close_tray() { pages->player().closeTray(); }
    void handle_tray_update() { pages->player().trayUpdate(); }
    void handle_tray_timer_interrupt() { pages->player().trayUpdate(); }
    // Not on any button: Play with mode 00, after Get Disc Contents when "PlayInit" is checked.
    void button_play() { pages->player().playFromStart(); }
    void getevtag() { pages->player().askDiscContents(); }
    void set_playwithinit_flag() { pages->player().takePlayInit(); }
    void handleDiscID() { pages->player().showDiscId(); }
    // ---- the test buttons, loader and pickup (console/) ----
    void testsuite_Show_Hide() {
        pages->console().toggleTestButtons();
        pages->relayout(width(), height());
    }
    void handle_other_possible_loader_selected(int index) { pages->eeprom().chooseLoader(index); }
    void handleLoaderSelection() { pages->eeprom().showEepromLoader(); }
    // ---- service mode and tray calibration (service/) ----
    void startServiceMode() { pages->service().start(); }
    void stepServiceMode() { pages->service().next(); }
    void gotoServiceMode(int step) { pages->service().gotoStep(step); }
    // The page changes when the board confirms the end.
    void exitServiceMode() { pages->service().exit(); }
    void handleServiceModeStep(int step) { pages->service().showStep(step); }
    void leaveServiceMode() { pages->service().leave(); }
    void laserOnOff() { pages->service().laserButtonPressed(); }
    void DK65_AC_Calibrate_Loader_1() { pages->eeprom().calibrationReset(); }
    void DK65_AC_Calibrate_Loader_2() { pages->eeprom().calibrationSetDistance(); }
    void DK65_AC_Calibrate_Loader_3() { pages->eeprom().calibrationSetTiming(); }
    // ---- Help menu (app/) ----
    void showAbout() { HelpMenu::showAbout(*this, aboutText()); }

public:
    QString aboutText() const;

protected:
    // Runs that no place took are not left behind unasked (results/).
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
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
    void wireService();

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
    LinkWindow* linkWindow = nullptr;
    Focus_Coefs* focusCoefs = nullptr;
    LaserList* laserList = nullptr;
    TestRoutine* testRoutine = nullptr;
    QSettings* settings = nullptr;
    // Elapsed time since start-up for the time stamps of the traffic lines and files.
    QElapsedTimer sessionClock;
    // The settings in force (directories and switches of the files, link rate, flag limits).
    SettingsValues currentSettings;
    SessionFiles files{[this](const FileWarnings::Report& report) { showFileWarning(report); }};

    // ---- each subsystem's page ----
    std::unique_ptr<LinkStatusBar> statusView;
    std::unique_ptr<MainPages> pages;
    PlayPage* playPage = nullptr;
    std::unique_ptr<LoaderPanel> loaderPanel;
    QPointer<Register_Dialog> registerDialog;
    std::unique_ptr<FlagMonitor> flagMonitor;
    // The results database, the live run's row in it and the Results dialog.
    ResultsPage* resultsPage = nullptr; // the flag monitor's
};

#endif // CONTROL_PANEL_H
