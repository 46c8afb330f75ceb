#ifndef CONTROL_PANEL_H
#define CONTROL_PANEL_H

#include "boardwindow.h"
#include "eepromrun.h"
#include "filewarnings.h"
#include "hexinput.h"
#include "linksupervisor.h"
#include "logfile.h"
#include "serial_info.h"
#include "servicemode.h"
#include "settingsstore.h"
#include "trafficfeed.h"
#include "traycalibration.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QMap>
#include <QMetaObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>

class CD_Board;
class CFlags;
class FlagPlot;
class Focus_Coefs;
class IspRun;
class LaserList;
class RunPanel;
class TestRoutine;
class TrafficView;
class Register_Dialog;
class QButtonGroup;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QMessageBox;
class QPushButton;
class QResizeEvent;
class QSettings;

namespace Ui {
class Control_Panel;
}

// The main window: owns the board link, the form, the timers, the settings store and the files,
// and wires the subsystems together. The slots of each subsystem are defined in that subsystem's
// directory (control_panel_*.cpp); this file's own source holds start-up, layout and shut-down.
class Control_Panel : public QMainWindow, public BoardWindow {
    Q_OBJECT

public:
    // The delivered program shows the Data Log and Flags pages only; the service build keeps
    // every page of the form.
    enum class Configuration { Delivered, Service };

    explicit Control_Panel(QWidget* parent = nullptr,
                           Configuration configuration = Configuration::Delivered);
    ~Control_Panel() override;

    // ---- form and owned objects ----
    Ui::Control_Panel* ui = nullptr;
    CD_Board* board = nullptr;
    Serial_Info serialInfo;
    // One supervisor per link: discovery, open, watchdogs, retry (board/linksupervisor.h).
    LinkSupervisor boardLink{serialInfo, LinkSupervisor::Link::Board};
    LinkSupervisor flagLink{serialInfo, LinkSupervisor::Link::Other};
    Focus_Coefs* focusCoefs = nullptr;
    LaserList* laserList = nullptr;
    TestRoutine* testRoutine = nullptr;
    QSettings* settings = nullptr;
    QButtonGroup* audioByteGroup = nullptr;
    // ---- firmware (firmware/) ----
    // The ISP tool's run; while it runs the board link leaves the port to the tool.
    IspRun* ispRun = nullptr;
    bool firmwareRunning() const;
    // ---- end firmware ----

    QTimer trayTimer;
    // The board link's firmware and loader watchdogs, kept by its supervisor.
    QTimer& fwTimer = boardLink.answerWatchdog;
    QTimer& evLoaderOkTimer = boardLink.loaderWatchdog;
    QTimer abortTimer;
    // Elapsed time since start-up for the time stamps of the traffic lines and files.
    QElapsedTimer sessionClock;
    QMenu* playModeMenu = nullptr;

    QString hexFileName;
    QString hexFileDir;
    bool hexFileNameKnown = false;
    QMessageBox* portMessageBox = nullptr;

    // ---- status bar ----
    QLabel* boardLabel = nullptr;
    QLabel* spdifLabel = nullptr;
    QLabel* cflagLabel = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* connectionLabel = nullptr;
    QPushButton* connectButton = nullptr;

    // ---- flag plot ----
    FlagPlot* flagPlot = nullptr;

    // ---- flag monitor: run summary, limits, whole-run view, export, review (flags/) ----
    RunPanel* runPanel = nullptr;
    // The link to the board opened: a line in the log file after it was down, the interval the
    // operator chose sent again (the board starts at 1 s).
    void flagLinkOpened();
    // The link went down (a port error, the watchdog, the operator): a line in the log file and
    // a gap in the run.
    void flagLinkDown(const QString& reason);
    // ---- end of flag monitor ----

    // ---- settings, log and flag files ----
    // The settings in force (directories and switches of the files, link rate, flag limits).
    SettingsValues currentSettings;
    LogFile logFile;
    LogFile flagFile;

    // ---- traffic view ----
    qint64 sent_bytes_index = 0;
    qint64 inputTextIndex = 0;
    qint64 receivedIndex = 0;
    bool testPanelShown = false;
    bool playing = false;
    // The traffic view keeps the newest lines only; the log file keeps them all.
    static constexpr int MaxTrafficLines = 20000;
    // Adds the lines of one pass to the traffic view (only while "show data" is checked).
    void showTrafficLines(const QStringList& lines);
    TrafficView* trafficView = nullptr;

    // Where the ISP tool was found (empty when it was not); the flash button is wired only then.
    QString ispToolPath;

    // Searches the program's directory, then PATH, for the ISP tool (lpc21isp.exe or lpc21isp)
    // that can be run.
    static QString findIspTool(const QString& programDir);

    // ---- log and flag files (settings/) ----
    void openLogFile();
    void openFlagFile();
    void closeLogFile();
    void closeFlagFile();
    // Writes the lines of one pass at once (one write and one flush).
    void writeLogLines(const QStringList& lines);
    // Tells the operator in the status bar that a file cannot be written (the program goes on).
    void reportFileFault(const QString& what, const QString& fileName, const QString& error);

    // ---- link (board/) ----
    void resetBaudrate(int baud, bool reconnect);
    // While the board link is down against the operator's will, its supervisor looks for the
    // adapter once a second.
    QTimer& linkRetryTimer = boardLink.retryTimer;
    QMessageBox* otherPortMessageBox = nullptr;

    // ---- what the board tells the window (BoardWindow) ----
    void showStatusBar(const StatusWording::Bar& bar) override;
    void appendFlagFirmware(int version) override;
    void showLoaderType(const QString& text) override;
    void clearDiscId() override;
    void pushLaserReading(quint16 value) override;
    void flagRecordAdded(CFlags* record, bool fromFlagBoard) override;
    // the loader list on the EEPROM page (console/)
    void clearLoaderList() override;
    void addLoaderEntry(const QString& text, int code) override;
    bool selectLoaderEntry(int code) override;

    // ==== production and laser (production/, laser/) ====
    // A programming run is on (as the board's run last reported): the buttons and Return do
    // nothing until it ends.
    bool eepromChainRunning = false;
    // Says what the two programming buttons write (service build only).
    QLabel* labelEepromButtons = nullptr;
    // The audio byte page's working copy.
    quint8 audio_byte_edit = 0;
    // Starts the full programming chain after a confirmation (service build only).
    QPushButton* buttonProgramAll = nullptr;
    // On the expert page beside "to EEPROM": what became of the zero-hour byte.
    QLabel* labelZeroHourByte = nullptr;
    // Beside each "Get ADC Value": how many of the point's readings have arrived.
    QLabel* labelAdcProgress[2] = {};
    Register_Dialog* registerDialog = nullptr;
    // ==== end production and laser ====

signals:
    void recievedCFlags(CFlags* cflags);
    // ---- production: the programming run ended with its last step confirmed ----
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
    // ---- end firmware ----

    // ---- laser plots (laser/) ----
    void plotLaserHistory(int runtime, int last_index, const quint8* values,
                          const quint8* values_t) override;
    void plotZeroByte(int zerobyte) override;

    // ==== production and laser (production/, laser/) ====
    // EEPROM page and programming chain
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
    // audio byte and servo pages, register dialog
    void handleAudioByteTab();
    void sendAudioByte();
    // Takes the audio byte read from the board apart onto both pages.
    void showReadAudioByte();
    void update_horizontalScrollBar(int value);
    void update_verticalScrollBar(int value);
    void handleWriteToRegister();
    void handleWriteRegisterWindowDestroyed();
    // laser calibration
    void handleAdcValue_1();
    void handleAdcValue_2();
    void calculateLaserParams();
    void update_laser_average();
    void updateLaserADCAverage(int index);
    void writeLaserCurrentToEEPROM();
    void handleModuleOff();
    // laser current page
    void getLaserHistory();
    void getZeroByte();
    void resetLaserHistory();
    void getLaserCurrent();
    void updateLaserCurrent();
    void memoryExchangeFailed(const QString& text);
    void showAdcProgress();
    void zeroByteWriteEnded(bool written, const QString& text);
    // ==== end production and laser ====

public:
    // ---- Help menu (app/control_panel_about.cpp) ----
    QString aboutText() const;
    // The system refuses this user the serial port: the fix, said once.
    void portAccessDenied(const QString& portName);
    bool portAccessHintShown = false;

public slots:
    void showAbout();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Configuration configuration = Configuration::Delivered;
    void buildStatusBar();
    void setupLaserPlot();
    void applyDeliveredConfiguration();
    void relayout(int width, int height);

    // One wiring function per subsystem, each defined beside that subsystem's slots and called
    // from the constructor in the order of the wiring table.
    void wireLink();
    void wireConsole();
    // What the traffic of a pass changes on the console page.
    void showReceived(const TrafficFeed::Received& update);
    void showSent(const TrafficFeed::Sent& update);
    void sendTypedRequest(const HexInput::Request& request);
    // Puts the written request `index` into the typed-request line.
    void recallRequest(qint64 index);
    void wireFlags();
    void wireSettings();
    // What the settings window hands back on Apply.
    void applySettings(const SettingsValues& shown, const SettingsValues& chosen);
    // The settings as read from the store become the ones in force.
    void takeSettings(const SettingsValues& values);
    FileWarnings fileWarnings;
    void showFileWarning(const FileWarnings::Report& report);
    // flag monitor: after the plots are set up
    void wireFlagMonitor();
    // The flag page's check boxes, one a curve.
    std::array<QCheckBox*, 5> flagCurveBoxes() const;
    // ---- production and laser ----
    void wireProduction(Configuration configuration);
    void wireEditors();
    void wireLaser();
    // Starts a run with the page's values, or says on the page why it cannot start now.
    void startEepromChain(EepromRun::Kind kind);
    // Ends a run that did not complete, with the reason in labelEeprom.
    void endEepromChain(const QString& text);
    // The page's values into `image` (what the run does not write stays as read); false, with
    // the reason on the page, when a run cannot start now.
    bool takeEepromPage(EepromRun::Kind kind, EepromParameters* image);
    // Shows what the board's run reports: progress, text, whether it is on.
    void showEepromRun();
    void eepromRunSucceeded();
    // An editable field of the page takes the board's value only while it still shows what the
    // board last put there: what the operator changed survives a read.
    template <typename Field> bool refreshEepromField(Field* field, const QString& fromBoard);
    QHash<QWidget*, QString> eepromFieldsShown;
    // Whether the laser history may be read or erased now; says why not on the page.
    bool laserMemoryAllowed();
    void showLaserPageMessage(const QString& text);
    void showZeroHourByte(const QString& text, const char* styleSheet);
    void wireAbout();
    // ---- firmware (firmware/) ----
    void wireFirmware();
    // The flash button starts a run, or aborts the one in progress.
    void wireFlashButton(bool running);
    QMetaObject::Connection flashButtonConnection;
    // ---- end firmware ----

    // Sets a status label's text and colour where they differ from what it shows (a style sheet
    // costs a repolish even when it is the same).
    static void showStatusText(QLabel* label, const StatusWording::Text& text);

    // ---- link (board/) ----
    // A supervisor's question as a Retry/Abort box.
    LinkSupervisor::Answer askRetryOrAbort(LinkSupervisor& link,
                                           const LinkSupervisor::Question& question);

    // ==== operator console and service functions (console/, service/) ====
public slots:
    // the player panel (console/control_panel_player.cpp)
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
    // the test buttons (console/control_panel_catalogue.cpp)
    void testsuite_Show_Hide();
    // loader and pickup (console/control_panel_loader.cpp)
    void handle_other_possible_loader_selected(int index);
    void handleLoaderSelection();
    // service mode and tray calibration (service/control_panel_service.cpp)
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

public:
    TrayCalibration trayCalibration;

private:
    void wireCatalogue();
    void wirePlayer();
    void wirePlayModeMenu();
    void wireLoader();
    void wireService();
    // The service build: the loader and pickup menus; warnings, markers and the tray
    // calibration group hidden until the board calls for them.
    void applyServiceConfiguration();
    // A command text through the typed-request line, as if typed there and sent.
    void sendCommandText(const QString& text);
    // Warnings and step markers; `laserButton`: relabel the laser page's laser button too.
    void showServiceView(const ServiceMode::View& view, bool laserButton);
    void applyCalibrationPress(const TrayCalibration::Press& press);
    // Why a brake distance was not sent (beside the tray calibration's hint).
    QLabel* brakeDistanceWarning = nullptr;
    // ==== end of operator console and service functions ====
};

#endif // CONTROL_PANEL_H
