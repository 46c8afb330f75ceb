#ifndef CONTROL_PANEL_H
#define CONTROL_PANEL_H

#include "boardwindow.h"
#include "fieldmemory.h"
#include "linksupervisor.h"
#include "serial_info.h"
#include "sessionfiles.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

class AudioBytePage;
class CD_Board;
class CFlags;
class EepromPage;
class FlagPlot;
class FlashPage;
class Focus_Coefs;
class LaserList;
class LaserPages;
class LinkStatusBar;
class LoaderPanel;
class PlayerPanel;
class Register_Dialog;
class RunPanel;
class ServicePanel;
class TestRoutine;
class TrafficConsole;
class QKeyEvent;
class QMessageBox;
class QResizeEvent;
class QSettings;

namespace Ui {
class Control_Panel;
}

// The main window: owns the board link, the form, the settings store and the files, and hands
// each subsystem's page the widgets it works on. Its slots forward to those pages; each
// subsystem's slots are defined in that subsystem's directory (control_panel_*.cpp), this file's
// own source holds start-up, layout and shut-down.
class Control_Panel : public QMainWindow, public BoardWindow {
    Q_OBJECT

public:
    // The delivered program shows the Data Log and Flags pages only; the service build keeps
    // every page of the form.
    enum class Configuration { Delivered, Service };

    explicit Control_Panel(QWidget* parent = nullptr,
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
    FlagPlot& livePlot() const { return *flagPlot; }

    // ---- what the board tells the window (BoardWindow) ----
    void showStatusBar(const StatusWording::Bar& bar) override;
    void appendFlagFirmware(int version) override;
    void showLoaderType(const QString& text) override;
    void clearDiscId() override;
    void pushLaserReading(quint16 value) override;
    void flagRecordAdded(CFlags* record, bool fromFlagBoard) override;
    void clearLoaderList() override;
    void addLoaderEntry(const QString& text, int code) override;
    bool selectLoaderEntry(int code) override;

    // ---- log and flag files (settings/) ----
    void openLogFile();
    void openFlagFile();
    void closeLogFile() { files.closeLog(); }
    void closeFlagFile() { files.closeFlags(); }
    // Writes the lines of one pass at once (one write and one flush).
    void writeLogLines(const QStringList& lines) { files.writeLogLines(lines); }
    // Adds the lines of one pass to the traffic view (only while "show data" is checked).
    void showTrafficLines(const QStringList& lines);

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
    void startup() override { boardLink.start(); }
    void startup_other() override { flagLink.start(); }
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
    void retry_link();

    // ---- traffic view and typed requests (console/) ----
    void update_information();
    void put_send_bytes();
    void debug_message();
    void sendCustomData();
    void textChanged();
    void text_pressedUp();
    void text_pressedDown();
    void showPllState(int state) override;

    // ---- flag monitor (flags/) ----
    void plotCFlags();
    void rescalePlotXAxis();
    void rescalePlotYAxis();
    void send_flagrate_setting(int selection);

    // ---- files and settings (settings/) ----
    void writeCFlagsToFlagFile_cvs();
    void openSettings();

    // ---- EEPROM (production/) ----
    void handleEepromState() override;

    // ---- firmware (firmware/) ----
    void browseHexFile();
    void flashFirmware();
    void flashFirmwareStandardOutputHandler(const QString& text);
    void flashFirmwareFinished(bool success);
    void abortFlashingFirmware();

    // ---- laser plots (laser/) ----
    void plotLaserHistory(int runtime, int last_index, const quint8* values,
                          const quint8* values_t) override;
    void plotZeroByte(int zerobyte) override;

    // ---- EEPROM page and programming run (production/) ----
    void beginFlashEeprom();
    void flashEeprom(int step);
    void flashTimeOut();
    void programAllParameters();
    void updateBaudrateSetting();
    void updateFocGainSetting();
    void handleProductionCode();
    void handleRuntime();
    void handleLaserParamters();
    void handle_baud_rate_selected(int index);
    void toggleFlashDate();
    void toggleLaserDefault();
    void show_hint_runtime_reset();
    // ---- audio byte and servo pages, register dialog (production/) ----
    void handleAudioByteTab();
    void sendAudioByte();
    // Takes the audio byte read from the board apart onto both pages.
    void showReadAudioByte();
    void update_horizontalScrollBar(int value);
    void update_verticalScrollBar(int value);
    void handleWriteToRegister();
    void handleWriteRegisterWindowDestroyed();
    // ---- laser calibration and laser current (laser/) ----
    void handleAdcValue_1();
    void handleAdcValue_2();
    void calculateLaserParams();
    void update_laser_average();
    void updateLaserADCAverage(int index);
    void writeLaserCurrentToEEPROM();
    void handleModuleOff();
    void getLaserHistory();
    void getZeroByte();
    void resetLaserHistory();
    void getLaserCurrent();
    void updateLaserCurrent();
    void memoryExchangeFailed(const QString& text);
    void showAdcProgress();
    void zeroByteWriteEnded(bool written, const QString& text);

    // ---- the player panel (console/) ----
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void open_close();
    void open_tray();
    void close_tray();
    void handle_tray_update();
    void handle_tray_timer_interrupt();
    void button_play();
    void getevtag();
    void set_playwithinit_flag();
    void handleDiscID();
    // ---- the test buttons, loader and pickup (console/) ----
    void testsuite_Show_Hide();
    void handle_other_possible_loader_selected(int index);
    void handleLoaderSelection();
    // ---- service mode and tray calibration (service/) ----
    void startServiceMode();
    void stepServiceMode();
    void gotoServiceMode(int step);
    void exitServiceMode();
    void handleServiceModeStep(int step);
    void leaveServiceMode();
    void laserOnOff();
    void DK65_AC_Calibrate_Loader_1();
    void DK65_AC_Calibrate_Loader_2();
    void DK65_AC_Calibrate_Loader_3();
    // ---- Help menu (app/) ----
    void showAbout();

public:
    QString aboutText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyDeliveredConfiguration();
    void relayout(int width, int height);

    // One wiring function per subsystem, each defined beside that subsystem's slots and called
    // from the constructor in the order of the wiring table; each builds that subsystem's page.
    void wireLink();
    void wireConsole();
    void wirePlayer();
    void wireLoader();
    void wireFlags();
    void wireFlagMonitor();
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

    Configuration configuration = Configuration::Delivered;
    Ui::Control_Panel* ui = nullptr;
    CD_Board* board = nullptr;
    Serial_Info serialInfo;
    // One supervisor per link: discovery, open, watchdogs, retry (board/linksupervisor.h).
    LinkSupervisor boardLink{serialInfo, LinkSupervisor::Link::Board};
    LinkSupervisor flagLink{serialInfo, LinkSupervisor::Link::Other};
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
    TrafficConsole* trafficConsole = nullptr;
    PlayerPanel* playerPanel = nullptr;
    LoaderPanel* loaderPanel = nullptr;
    FieldMemory eepromFields;
    EepromPage* eepromPage = nullptr;
    AudioBytePage* audioBytePage = nullptr;
    QPointer<Register_Dialog> registerDialog;
    LaserPages* laserPages = nullptr;
    ServicePanel* servicePanel = nullptr;
    FlashPage* flashPage = nullptr;
    FlagPlot* flagPlot = nullptr;
    RunPanel* runPanel = nullptr;
};

#endif // CONTROL_PANEL_H
