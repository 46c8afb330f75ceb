// The main window form: pages, object names, classes, captions and initial widget states as
// setupUi builds them on a bare QMainWindow.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QSlider>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

#include "formwidget.h"
#include "main/controlpanelform.h"

namespace {

const char* const kServiceWarning =
    "Warning! You are now in service mode. To exit service mode, send AC_Exit_Service_Mode or "
    "unplug and then plug in the DK-61's power supply.";
const char* const kRed = "QLabel  { color: red}";

// Every object the form names: object name, class, the page (direct child of tabWidget) that
// holds it ("" outside the pages) and its caption (text, group title, action text; nullptr when
// the form gives none).
struct FormObject {
    const char* name;
    const char* className;
    const char* page;
    const char* text;
};

const FormObject kFormObjects[] = {
    {"centralwidget", "QWidget", "", nullptr},
    {"tabWidget", "QTabWidget", "", nullptr},
    {"tabPlayMode", "QWidget", "tabPlayMode", nullptr},
    {"title_label", "QLabel", "tabPlayMode", "DK-61 Controls"},
    {"time_display", "QLabel", "tabPlayMode", "00:00:00"},
    {"track_number_display", "QLabel", "tabPlayMode", "0"},
    {"TrackTimeSlider", "QSlider", "tabPlayMode", nullptr},
    {"Button_Previous", "QPushButton", "tabPlayMode", "Previous"},
    {"Button_Play", "QPushButton", "tabPlayMode", "Play"},
    {"Button_Stop", "QPushButton", "tabPlayMode", "Stop"},
    {"Button_Next", "QPushButton", "tabPlayMode", "Next"},
    {"Button_Open_Close", "QPushButton", "tabPlayMode", "Open/Close"},
    {"VolumeSlider", "QSlider", "tabPlayMode", nullptr},
    {"ArtistLabel", "QLabel", "tabPlayMode", "Artist"},
    {"SongTitleLabel", "QLabel", "tabPlayMode", "SongTitle"},
    {"laserCurrenLabel", "QLabel", "tabPlayMode", "Laser"},
    {"labelDiscID", "QLabel", "tabPlayMode", "TextLabel"},
    {"labelLogFile", "QLabel", "tabPlayMode", "Log File is located at:"},
    {"ServiceModeWarningLabel_1", "QLabel", "tabPlayMode", kServiceWarning},
    {"tabExpertMode", "QWidget", "tabExpertMode", nullptr},
    {"textBrowser", "TrafficLogEdit", "tabExpertMode", nullptr},
    {"CustomInputWarningLabel", "QLabel", "tabExpertMode", "TextLabel"},
    {"InputText", "SLineEdit", "tabExpertMode", nullptr},
    {"SendButton", "QPushButton", "tabExpertMode", "Send"},
    {"connect_disconnect", "QPushButton", "tabExpertMode", "Connect"},
    {"CheckBoxClear", "QCheckBox", "tabExpertMode", "Delete posted Bytes after sending"},
    {"chkLog", "QCheckBox", "tabExpertMode", "show data"},
    {"ExpertButtonPlay", "QPushButton", "tabExpertMode", "Play"},
    {"ExpertButtonPause", "QPushButton", "tabExpertMode", "Pause"},
    {"ExpertButtonStop", "QPushButton", "tabExpertMode", "Stop"},
    {"ExpertEvTag", "QPushButton", "tabExpertMode", "EV Tag"},
    {"ExpertButtonPrevious", "QPushButton", "tabExpertMode", "Previous"},
    {"ExpertButtonNext", "QPushButton", "tabExpertMode", "Next"},
    {"ExpertButtonOpen", "QPushButton", "tabExpertMode", "Open"},
    {"ExperButtonClose", "QPushButton", "tabExpertMode", "Close"},
    {"ExpertGetLaser", "QPushButton", "tabExpertMode", "Laser"},
    {"buttonRecordLaser", "QPushButton", "tabExpertMode", "RecordLaser"},
    {"label_19", "QLabel", "tabExpertMode", "Laser Current: "},
    {"labelLaserCurrent", "QLabel", "tabExpertMode", "Not Yet Measured"},
    {"labelAvgLaserHexValue", "QLabel", "tabExpertMode", "Average Laser ADC Value"},
    {"lineLaserListAverage", "QLineEdit", "tabExpertMode", nullptr},
    {"pushButtonFlush", "QPushButton", "tabExpertMode", "Flush"},
    {"btnLaserToEeprom", "QPushButton", "tabExpertMode", "to EEPROM"},
    {"buttonWriteToRegister", "QPushButton", "tabExpertMode", "Write to SAA7824"},
    {"labelPLL", "QLabel", "tabExpertMode", "PLL State: UNDEFINED"},
    {"checkBoxPlayInit", "QCheckBox", "tabExpertMode", "PlayInit"},
    {"btnTestfunctions", "QPushButton", "tabExpertMode", "Show Testbuttons"},
    {"ServiceModeWarningLabel_2", "QLabel", "tabExpertMode", kServiceWarning},
    {"groupBoxTest", "QGroupBox", "tabExpertMode", "TEST BUTTONS"},
    {"btnClickPlay", "QPushButton", "tabExpertMode", "Play 11 01"},
    {"txtInputPlay", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickPlayTrackXY", "QPushButton", "tabExpertMode", "Play Track XY 12 04"},
    {"txtInputPlayTrackXY", "QLineEdit", "tabExpertMode", "00 01 FF 00"},
    {"btnClickPause", "QPushButton", "tabExpertMode", "Pause 13 00"},
    {"btnClickStop", "QPushButton", "tabExpertMode", "Stop 14 00"},
    {"btnClickNext", "QPushButton", "tabExpertMode", "Next 15 00"},
    {"btnClickPrevious", "QPushButton", "tabExpertMode", "Previous 16 00"},
    {"btnClickSearchForward", "QPushButton", "tabExpertMode", "Search Forward 19 01"},
    {"txtInputSearchForward", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickSearchBackward", "QPushButton", "tabExpertMode", "Search Backward 1A 01"},
    {"txtInputSearchBackward", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickSetTrackXY", "QPushButton", "tabExpertMode", "Set Track XY 1B 03"},
    {"txtInputSetTrackXY", "QLineEdit", "tabExpertMode", "00 01 FF"},
    {"btnClickAddProgramXY", "QPushButton", "tabExpertMode", "Add Program XY 1C 03"},
    {"txtInputAddProgramXY", "QLineEdit", "tabExpertMode", "00 01 FF"},
    {"btnClickClearProgram", "QPushButton", "tabExpertMode", "Clear Program 1D 00"},
    {"btnClickSearchUser", "QPushButton", "tabExpertMode", "Search User 1E 03"},
    {"txtInputSearchUser", "QLineEdit", "tabExpertMode", "00 0F 08"},
    {"btnClickGotoTime", "QPushButton", "tabExpertMode", "Goto Time 1F 03"},
    {"txtInputGotoTime", "QLineEdit", "tabExpertMode", "01 01 01"},
    {"btnClickGetState", "QPushButton", "tabExpertMode", "Get State 20 00"},
    {"btnClickGetDiscContents", "QPushButton", "tabExpertMode", "Get Disc Contents 21 00"},
    {"btnClickGetPlayMode", "QPushButton", "tabExpertMode", "Get Play Mode 22 00"},
    {"btnClickGetDiscID", "QPushButton", "tabExpertMode", "Get Disc ID 24 00"},
    {"btnClickGetTrackLengthXY", "QPushButton", "tabExpertMode", "Get Track Length XY 25 03"},
    {"txtInputGetTrackLengthXY", "QLineEdit", "tabExpertMode", "00 01 FF"},
    {"btnClickGetTagXY", "QPushButton", "tabExpertMode", "Get Tag XY 26 04"},
    {"txtInputGetTagXY", "QLineEdit", "tabExpertMode", "00 01 FF 02"},
    {"btnClickGetCurrentTrackFolderNumber", "QPushButton", "tabExpertMode",
     "Get Current Track Folder Num 27 00"},
    {"btnClickGetCurrentTime", "QPushButton", "tabExpertMode", "Get Current Time 28 01"},
    {"txtInputGetCurrentTime", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickGetTrackLengthXYFrames", "QPushButton", "tabExpertMode",
     "Get Track Length XY Frames 29 03"},
    {"txtInputGetTrackLengthXYFrames", "QLineEdit", "tabExpertMode", "00 01 FF"},
    {"btnClickGetFWVersion", "QPushButton", "tabExpertMode", "Get FW Version 2D 00"},
    {"btnClickGetProgramDetails", "QPushButton", "tabExpertMode", "Get Program Details 2E 00"},
    {"btnClickGetCurrentTimeFrames", "QPushButton", "tabExpertMode",
     "Get Current Time Frames 2F 01"},
    {"txtInputGetCurrentTimeFrames", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickTrayOpen", "QPushButton", "tabExpertMode", "Tray Open 31 01"},
    {"txtInputTrayOpen", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickTrayClose", "QPushButton", "tabExpertMode", "Tray Close 32 01"},
    {"txtInputTrayClose", "QLineEdit", "tabExpertMode", "00"},
    {"btnClickIsDiscStopped", "QPushButton", "tabExpertMode", "Is Disc Stopped 33 00"},
    {"btnClickAudioMute", "QPushButton", "tabExpertMode", "Audio Mute 43 02"},
    {"txtInputAudioMute", "QLineEdit", "tabExpertMode", "00 00"},
    {"btnClickGetLaserCurrent", "QPushButton", "tabExpertMode", "Get Laser Current 54 00"},
    {"btnClickGetBLER", "QPushButton", "tabExpertMode", "Get BLER 55 00"},
    {"btnClickPreparePowerDown", "QPushButton", "tabExpertMode", "Prepare Power Down 61 00"},
    {"btnClickSetLoaderType", "QPushButton", "tabExpertMode", "Set Loader Type 65 01"},
    {"txtInputSetLoaderType", "QLineEdit", "tabExpertMode", "02"},
    {"btnClickCmdDecoder", "QPushButton", "tabExpertMode", "Cmd Decoder 66"},
    {"txtInputCmdDecoder", "QLineEdit", "tabExpertMode", "01 01 01"},
    {"btnClickReturnPossibleLoaders", "QPushButton", "tabExpertMode",
     "Return Possible Loader Types 70 00"},
    {"btnClickCalibrateLoader", "QPushButton", "tabExpertMode", "Calibrate Loader 71"},
    {"txtInputCalibrateLoader", "QLineEdit", "tabExpertMode", "02 00 00"},
    {"btnClickSetAudiobyte", "QPushButton", "tabExpertMode", "Set Audiobyte 72 01"},
    {"txtInputSetAudiobyte", "QLineEdit", "tabExpertMode", "5E"},
    {"tabFlags", "QWidget", "tabFlags", nullptr},
    {"customPlot", "QuickPlot", "tabFlags", nullptr},
    {"lblConnect_flagrate", "QLabel", "tabFlags", "Output interval:"},
    {"comboCFLAGInterval", "QComboBox", "tabFlags", nullptr},
    {"lbl_plot_flagrate", "QLabel", "tabFlags", "PLOT:"},
    {"checkBoxC1", "QCheckBox", "tabFlags", "C1"},
    {"checkBoxC1U", "QCheckBox", "tabFlags", "uncorr. C1"},
    {"checkBoxC2", "QCheckBox", "tabFlags", "C2"},
    {"checkBoxC2U", "QCheckBox", "tabFlags", "uncorr. C2"},
    {"checkBoxInterpol", "QCheckBox", "tabFlags", "interpol."},
    {"label_scale", "QLabel", "tabFlags", "Scale"},
    {"verticalSliderFlagsGraph", "QSlider", "tabFlags", nullptr},
    {"horizontalSliderFlagsGraph", "QSlider", "tabFlags", nullptr},
    {"labelPlotWindow", "QLabel", "tabFlags", "Window: 30 s"},
    {"status_description_spdif_label", "QLabel", "tabFlags", ""},
    {"lblConnect_other", "QLabel", "tabFlags", "Not connected"},
    {"txtOther", "QLineEdit", "tabFlags", nullptr},
    {"btnSetOther", "QPushButton", "tabFlags", "Set Flag Rate"},
    {"chkOther", "QCheckBox", "tabFlags", "get flags from other board"},
    {"btnConnectOther", "QPushButton", "tabFlags", "Connect"},
    {"ServiceModeWarningLabel_3", "QLabel", "tabFlags", kServiceWarning},
    // ---- flag monitor: run summary, whole-run view (flags page) ----
    {"customPlotRun", "QuickPlot", "tabFlags", nullptr},
    {"labelFileWarning", "QLabel", "tabFlags", ""},
    {"frameRunSummary", "QFrame", "tabFlags", nullptr},
    {"labelRunHeadC1", "QLabel", "tabFlags", "C1"},
    {"labelRunHeadC1U", "QLabel", "tabFlags", "uncorr. C1"},
    {"labelRunHeadC2", "QLabel", "tabFlags", "C2"},
    {"labelRunHeadC2U", "QLabel", "tabFlags", "uncorr. C2"},
    {"labelRunHeadInterp", "QLabel", "tabFlags", "interpol."},
    {"labelRunTotal", "QLabel", "tabFlags", "Total"},
    {"labelTotalC1", "QLabel", "tabFlags", "0"},
    {"labelTotalC1U", "QLabel", "tabFlags", "0"},
    {"labelTotalC2", "QLabel", "tabFlags", "0"},
    {"labelTotalC2U", "QLabel", "tabFlags", "0"},
    {"labelTotalInterp", "QLabel", "tabFlags", "0"},
    {"labelRunMaximum", "QLabel", "tabFlags", "Maximum"},
    {"labelMaxC1", "QLabel", "tabFlags", "0.000 % (0)"},
    {"labelMaxC1U", "QLabel", "tabFlags", "0.000 % (0)"},
    {"labelMaxC2", "QLabel", "tabFlags", "0.000 % (0)"},
    {"labelMaxC2U", "QLabel", "tabFlags", "0.000 % (0)"},
    {"labelMaxInterp", "QLabel", "tabFlags", "0.000 % (0)"},
    {"labelRunAverage", "QLabel", "tabFlags", "Average"},
    {"labelAvgC1", "QLabel", "tabFlags", "0.000 %"},
    {"labelAvgC1U", "QLabel", "tabFlags", "0.000 %"},
    {"labelAvgC2", "QLabel", "tabFlags", "0.000 %"},
    {"labelAvgC2U", "QLabel", "tabFlags", "0.000 %"},
    {"labelAvgInterp", "QLabel", "tabFlags", "0.000 %"},
    {"labelRunOverLimit", "QLabel", "tabFlags", "Over limit"},
    {"labelOverC1", "QLabel", "tabFlags", "no limit"},
    {"labelOverC1U", "QLabel", "tabFlags", "no limit"},
    {"labelOverC2", "QLabel", "tabFlags", "no limit"},
    {"labelOverC2U", "QLabel", "tabFlags", "no limit"},
    {"labelOverInterp", "QLabel", "tabFlags", "no limit"},
    {"labelRunLengthHead", "QLabel", "tabFlags", "Run length:"},
    {"labelRunLength", "QLabel", "tabFlags", "00:00:00"},
    {"labelRunRecordsHead", "QLabel", "tabFlags", "Records:"},
    {"labelRunRecords", "QLabel", "tabFlags", "0"},
    {"labelRunTroubledHead", "QLabel", "tabFlags", "Uncorr./interp.:"},
    {"labelRunTroubled", "QLabel", "tabFlags", "0"},
    {"labelRunVerdictHead", "QLabel", "tabFlags", "Limits:"},
    {"labelRunVerdict", "QLabel", "tabFlags", "no limits set"},
    {"labelRunBlerHead", "QLabel", "tabFlags", "Max. BLER (10 s):"},
    {"labelRunBler", "QLabel", "tabFlags", "0/s over 0 s"},
    {"labelRunE32Head", "QLabel", "tabFlags", "E32:"},
    {"labelRunE32", "QLabel", "tabFlags", "0"},
    {"labelRunStandardHead", "QLabel", "tabFlags", "CD standard:"},
    {"labelRunStandard", "QLabel", "tabFlags", "no records"},
    {"labelRunUnitHead", "QLabel", "tabFlags", "Unit:"},
    {"labelRunUnit", "QLabel", "tabFlags", "not identified"},
    {"labelUnitIdHead", "QLabel", "tabFlags", "Unit ID:"},
    {"lineEditUnitId", "QLineEdit", "tabFlags", nullptr},
    {"checkBoxClearUnitId", "QCheckBox", "tabFlags", "Clear unit ID on New run"},
    {"labelNextUnit", "QLabel", "tabFlags", ""},
    {"buttonStartRun", "QPushButton", "tabFlags", "Start run"},
    {"buttonEndRun", "QPushButton", "tabFlags", "End run"},
    {"labelRunSource", "QLabel", "tabFlags", ""},
    {"buttonNewRun", "QPushButton", "tabFlags", "New run"},
    {"buttonBackToLive", "QPushButton", "tabFlags", "Back to live run"},
    {"buttonPauseLive", "QPushButton", "tabFlags", "Pause"},
    {"buttonWholeRun", "QPushButton", "tabFlags", "Whole run"},
    // ---- end of flag monitor ----
    {"tabEeprom", "QWidget", "tabEeprom", nullptr},
    {"label_2", "QLabel", "tabEeprom", "Laser Curve Derivative"},
    {"label_Derivative", "QLabel", "tabEeprom", "label_Derivative"},
    {"Line_Derivative", "QLineEdit", "tabEeprom", nullptr},
    {"checkBoxSetLaserToDefault", "QCheckBox", "tabEeprom", "Set to Default"},
    {"label", "QLabel", "tabEeprom", "Laser Curve Offset"},
    {"label_Offset", "QLabel", "tabEeprom", "label_Offset"},
    {"Line_Offset", "QLineEdit", "tabEeprom", nullptr},
    {"label_3", "QLabel", "tabEeprom", "Serial Number"},
    {"label_ProductionCode", "QLabel", "tabEeprom", "label_ProductionCode"},
    {"lineProductionCode", "QLineEdit", "tabEeprom", nullptr},
    {"checkBoxIncrementProductionCode", "QCheckBox", "tabEeprom",
     "Increment Serial Number after writing into eeprom"},
    {"label_4", "QLabel", "tabEeprom", "Flash Date"},
    {"label_ProductionDate", "QLabel", "tabEeprom", "label_ProductionDate"},
    {"dateProduction", "QDateEdit", "tabEeprom", nullptr},
    {"checkBoxSetDateToToday", "QCheckBox", "tabEeprom", "Set to today"},
    {"label_7", "QLabel", "tabEeprom", "Flashed by"},
    {"labelFlashedBy", "QLabel", "tabEeprom", "label_FlashedBy"},
    {"lineEditFlashedBy", "QLineEdit", "tabEeprom", nullptr},
    {"label_Customer", "QLabel", "tabEeprom", "Customer ID"},
    {"label_CustomerID", "QLabel", "tabEeprom", "label_Customer_ID"},
    {"lineEditCustomerID", "QLineEdit", "tabEeprom", nullptr},
    {"label_20", "QLabel", "tabEeprom", "Laser On-Time (s)"},
    {"labelOnTime", "QLabel", "tabEeprom", "LabelOnTime"},
    {"lineOnTime", "QLineEdit", "tabEeprom", nullptr},
    {"checkResetOnTime", "QCheckBox", "tabEeprom", "Reset On-Time"},
    {"lblWarningRuntime", "QLabel", "tabEeprom",
     "Please restart CD-Board immediatley after reset of On-Time "},
    {"labelAudioByte", "QLabel", "tabEeprom", "Audio Byte"},
    {"lineAudioByte", "QLineEdit", "tabEeprom", nullptr},
    {"label_21", "QLabel", "tabEeprom", "Used Focus Hardware"},
    {"comboBox_selected_focus", "QComboBox", "tabEeprom", nullptr},
    {"label_69", "QLabel", "tabEeprom", "Selected Baudrate (Bits/s)"},
    {"comboBox_selected_baud_rate", "QComboBox", "tabEeprom", nullptr},
    {"BaudrateWarningLabel", "QLabel", "tabEeprom",
     "New baud rate active after reflash and restart of CD-Board. Please consider change of baud "
     "rate in settings (options) of the PC-Tool!"},
    {"label_6", "QLabel", "tabEeprom", "Selected Loader Type"},
    {"comboBox_selected_loader_type", "QComboBox", "tabEeprom", nullptr},
    {"label_5", "QLabel", "tabEeprom", "Possible Loader Types"},
    {"label_possible_loader_types_list", "QLabel", "tabEeprom", ""},
    {"groupLoaderCalibration", "QGroupBox", "tabEeprom", "DK-Tria Tray Loader Calibration"},
    {"labelSpeed", "QLabel", "tabEeprom", "Speed:"},
    {"txtInputTrayBoth", "QLineEdit", "tabEeprom", "FF"},
    {"btnClickTrayOpen_2", "QPushButton", "tabEeprom", "Open"},
    {"btnClickTrayClose_2", "QPushButton", "tabEeprom", "Close"},
    {"btnCalibrationDelete", "QPushButton", "tabEeprom", "Reset"},
    {"labelDistance", "QLabel", "tabEeprom", "Dist.:"},
    {"txtBrakeDistance", "QLineEdit", "tabEeprom", "0A"},
    {"btnCalibrationSet1", "QPushButton", "tabEeprom", "SetDistance"},
    {"btnCalibrationSet2", "QPushButton", "tabEeprom", "SetTiming"},
    {"lblCalibrationHint", "QLabel", "tabEeprom", ""},
    {"ServiceModeWarningLabel_4", "QLabel", "tabEeprom", kServiceWarning},
    {"ButtonFlashEeprom", "QPushButton", "tabEeprom", "Flash to Eeprom"},
    {"progressBarEeprom", "QProgressBar", "tabEeprom", nullptr},
    {"labelEeprom", "QLabel", "tabEeprom", ""},
    {"labelEepromError", "QLabel", "tabEeprom", "Error Message will be Here"},
    {"tabServoParameters", "QWidget", "tabServoParameters", nullptr},
    {"servoParameterArea", "QWidget", "tabServoParameters", nullptr},
    {"label_22", "QLabel", "tabServoParameters", "ramp incr.:"},
    {"comboBox_ramp_increase", "QComboBox", "tabServoParameters", nullptr},
    {"label_23", "QLabel", "tabServoParameters", "Remark:"},
    {"lineEdit", "QLineEdit", "tabServoParameters", nullptr},
    {"label_25", "QLabel", "tabServoParameters", "ramp offset:"},
    {"comboBox_ramp_offset", "QComboBox", "tabServoParameters", nullptr},
    {"label_26", "QLabel", "tabServoParameters", "foc lead length:"},
    {"comboBox_foc_lead_length", "QComboBox", "tabServoParameters", nullptr},
    {"label_27", "QLabel", "tabServoParameters", "BLER:"},
    {"label_28", "QLabel", "tabServoParameters", "Focus INT:"},
    {"comboBox_foc_int", "QComboBox", "tabServoParameters", nullptr},
    {"label_29", "QLabel", "tabServoParameters", "CA start:"},
    {"comboBox_CA_start", "QComboBox", "tabServoParameters", nullptr},
    {"label_30", "QLabel", "tabServoParameters", "FE start:"},
    {"comboBox_FE_start", "QComboBox", "tabServoParameters", nullptr},
    {"label_31", "QLabel", "tabServoParameters", "ramp height:"},
    {"comboBox_ramp_height", "QComboBox", "tabServoParameters", nullptr},
    {"label_32", "QLabel", "tabServoParameters", "Focus gain:"},
    {"comboBox_focus_gain", "QComboBox", "tabServoParameters", nullptr},
    {"label_33", "QLabel", "tabServoParameters", "def. parm1:"},
    {"comboBox_21", "QComboBox", "tabServoParameters", nullptr},
    {"label_34", "QLabel", "tabServoParameters", "def. parm2:"},
    {"comboBox_22", "QComboBox", "tabServoParameters", nullptr},
    {"label_35", "QLabel", "tabServoParameters", "def. parm3:"},
    {"comboBox_23", "QComboBox", "tabServoParameters", nullptr},
    {"label_36", "QLabel", "tabServoParameters", "def. parm4:"},
    {"comboBox_24", "QComboBox", "tabServoParameters", nullptr},
    {"label_37", "QLabel", "tabServoParameters", "rad parm jump:"},
    {"comboBox_7", "QComboBox", "tabServoParameters", nullptr},
    {"label_38", "QLabel", "tabServoParameters", "vel setp:"},
    {"comboBox_5", "QComboBox", "tabServoParameters", nullptr},
    {"label_39", "QLabel", "tabServoParameters", "vel min:"},
    {"comboBox_6", "QComboBox", "tabServoParameters", nullptr},
    {"label_40", "QLabel", "tabServoParameters", "vel prop:"},
    {"comboBox_vel_prop", "QComboBox", "tabServoParameters", nullptr},
    {"label_41", "QLabel", "tabServoParameters", "vel int:"},
    {"comboBox_11", "QComboBox", "tabServoParameters", nullptr},
    {"label_42", "QLabel", "tabServoParameters", "foc pole lead:"},
    {"comboBox_8", "QComboBox", "tabServoParameters", nullptr},
    {"label_43", "QLabel", "tabServoParameters", "def. det. sw:"},
    {"comboBox_13", "QComboBox", "tabServoParameters", nullptr},
    {"label_44", "QLabel", "tabServoParameters", "OTD sel.:"},
    {"comboBox_14", "QComboBox", "tabServoParameters", nullptr},
    {"label_45", "QLabel", "tabServoParameters", "foc pol noise:"},
    {"comboBox_12", "QComboBox", "tabServoParameters", nullptr},
    {"label_46", "QLabel", "tabServoParameters", "det array:"},
    {"comboBox_16", "QComboBox", "tabServoParameters", nullptr},
    {"label_47", "QLabel", "tabServoParameters", "CA drop:"},
    {"comboBox_17", "QComboBox", "tabServoParameters", nullptr},
    {"label_48", "QLabel", "tabServoParameters", "rad lead length:"},
    {"comboBox_rad_lead_length", "QComboBox", "tabServoParameters", nullptr},
    {"label_49", "QLabel", "tabServoParameters", "Radial INT:"},
    {"comboBox_9", "QComboBox", "tabServoParameters", nullptr},
    {"label_50", "QLabel", "tabServoParameters", "rad parm play:"},
    {"comboBox_15", "QComboBox", "tabServoParameters", nullptr},
    {"label_51", "QLabel", "tabServoParameters", "rad pole noise:"},
    {"comboBox_18", "QComboBox", "tabServoParameters", nullptr},
    {"label_52", "QLabel", "tabServoParameters", "Radial gain:"},
    {"comboBox_radial_gain", "QComboBox", "tabServoParameters", nullptr},
    {"label_53", "QLabel", "tabServoParameters", "sledge gain:"},
    {"comboBox_sledge_gain", "QComboBox", "tabServoParameters", nullptr},
    {"label_54", "QLabel", "tabServoParameters", "range D1-D4:"},
    {"comboBox_26", "QComboBox", "tabServoParameters", nullptr},
    {"label_55", "QLabel", "tabServoParameters", "range R1-R2:"},
    {"comboBox_27", "QComboBox", "tabServoParameters", nullptr},
    {"label_56", "QLabel", "tabServoParameters", "PLL BW:"},
    {"comboBox_29", "QComboBox", "tabServoParameters", nullptr},
    {"label_57", "QLabel", "tabServoParameters", "RF equaliser:"},
    {"comboBox_25", "QComboBox", "tabServoParameters", nullptr},
    {"label_58", "QLabel", "tabServoParameters", "PLL equaliser:"},
    {"comboBox_20", "QComboBox", "tabServoParameters", nullptr},
    {"label_59", "QLabel", "tabServoParameters", "HF gain:"},
    {"comboBox_28", "QComboBox", "tabServoParameters", nullptr},
    {"label_60", "QLabel", "tabServoParameters", "data slicer:"},
    {"comboBox_10", "QComboBox", "tabServoParameters", nullptr},
    {"label_61", "QLabel", "tabServoParameters", "equal. speed:"},
    {"label_62", "QLabel", "tabServoParameters", "high-pass filter:"},
    {"comboBox_2", "QComboBox", "tabServoParameters", nullptr},
    {"label_63", "QLabel", "tabServoParameters", "EBU:"},
    {"comboBox_32", "QComboBox", "tabServoParameters", nullptr},
    {"label_64", "QLabel", "tabServoParameters", "EBU data:"},
    {"comboBox_31", "QComboBox", "tabServoParameters", nullptr},
    {"label_65", "QLabel", "tabServoParameters", "EBU flags:"},
    {"comboBox_30", "QComboBox", "tabServoParameters", nullptr},
    {"label_66", "QLabel", "tabServoParameters", "Clock accuracy:"},
    {"comboBox_33", "QComboBox", "tabServoParameters", nullptr},
    {"label_24", "QLabel", "tabServoParameters", "focus coefs 1"},
    {"horizontalScrollBar", "QScrollBar", "tabServoParameters", nullptr},
    {"verticalScrollBar", "QScrollBar", "tabServoParameters", nullptr},
    {"tabAudioByte", "QWidget", "tabAudioByte", nullptr},
    {"gBDecoderSettings", "QGroupBox", "tabAudioByte", "Decoder Settings (LSB)"},
    {"rB1010", "QRadioButton", "tabAudioByte",
     "fs,   16 bits,      2.1168 MHz, CD-ROM, I2S,    no interpolation"},
    {"rB1011", "QRadioButton", "tabAudioByte",
     "fs,   16 bits,      2.1168 MHz, CD-ROM, EIAJ,  no interpolation"},
    {"rB1110", "QRadioButton", "tabAudioByte",
     "fs,   16/18 bits, 2.1168 MHz,                I2S,          interpolation"},
    {"rB0010", "QRadioButton", "tabAudioByte",
     "fs,   16 bits,      2.1168 MHz,                 EIAJ,       interpolation"},
    {"rB0110", "QRadioButton", "tabAudioByte",
     "fs,   18 bits,      2.1168 MHz,                 EIAJ,       interpolation"},
    {"rB0000", "QRadioButton", "tabAudioByte",
     "4fs, 16 bits,      8.4672 MHz,                 EIAJ,       interpolation"},
    {"rB0100", "QRadioButton", "tabAudioByte",
     "4fs, 18 bits,      8.4672 MHz,                 EIAJ,       interpolation"},
    {"rB1100", "QRadioButton", "tabAudioByte",
     "4fs, 16 bits,      8.4672 MHz,                 I2S,         interpolation"},
    {"rB0011", "QRadioButton", "tabAudioByte",
     "2fs, 16 bits,      4.2336 MHz,                 EIAJ,       interpolation"},
    {"rB0111", "QRadioButton", "tabAudioByte",
     "2fs, 18 bits,      4.2336 MHz,                 EIAJ,       interpolation"},
    {"rB1111", "QRadioButton", "tabAudioByte",
     "2fs, 18 bits,      4.2336 MHz,                 I2S,         interpolation"},
    {"gBEBUSettings", "QGroupBox", "tabAudioByte", "EBU and Deemphasis Settings (MSB)"},
    {"label_74", "QLabel", "tabAudioByte", "Clock Accuracy:"},
    {"cBClockAccuracy", "QComboBox", "tabAudioByte", nullptr},
    {"label_75", "QLabel", "tabAudioByte", "EBU Flags:"},
    {"cBEBUFlags", "QComboBox", "tabAudioByte", nullptr},
    {"label_76", "QLabel", "tabAudioByte", "De-emphasis:"},
    {"cBDeemph", "QComboBox", "tabAudioByte", nullptr},
    {"label_67", "QLabel", "tabAudioByte", "Audio Byte: "},
    {"lineAudioByteByteTab", "QLineEdit", "tabAudioByte", nullptr},
    {"pBSetAudioByte", "QPushButton", "tabAudioByte", "Set Audio Byte"},
    {"label_68", "QLabel", "tabAudioByte",
     "(This will only set the value in the EEPROM Parameters tab)"},
    {"tabFlash", "QWidget", "tabFlash", nullptr},
    {"label_8", "QLabel", "tabFlash", "Select hex-File to flash"},
    {"lineHexFileName", "QLineEdit", "tabFlash", nullptr},
    {"buttonBrowseHexFile", "QPushButton", "tabFlash", "Browse..."},
    {"component_group_box", "QGroupBox", "tabFlash", "Component to be flashed is:"},
    {"rBDK6x", "QRadioButton", "tabFlash", "DK-6x"},
    {"rBHLB6x", "QRadioButton", "tabFlash", "HLB-6x"},
    {"buttonFlashFirmware", "QPushButton", "tabFlash", "Flash Firmware"},
    {"labelFlashingTotal", "QLabel", "tabFlash", "ProgressLabel........."},
    {"progressBarFlashingTotal", "QProgressBar", "tabFlash", nullptr},
    {"labelBrowserError", "QLabel", "tabFlash", "ErrorLabel"},
    {"flashTextBrowser", "QTextBrowser", "tabFlash", nullptr},
    {"ServiceModeWarningLabel_5", "QLabel", "tabFlash", kServiceWarning},
    {"tabLaser", "QWidget", "tabLaser", nullptr},
    {"label_9", "QLabel", "tabLaser", "Measurment 1"},
    {"label_11", "QLabel", "tabLaser", "Measured Current"},
    {"lineCurrent_1", "QLineEdit", "tabLaser", nullptr},
    {"boxUnitSelector_1", "QComboBox", "tabLaser", nullptr},
    {"buttonGetAdcValue_1", "QPushButton", "tabLaser", "Get ADC Value"},
    {"label_15", "QLabel", "tabLaser", "Mean"},
    {"lineAdcValue_1", "QLineEdit", "tabLaser", nullptr},
    {"label_17", "QLabel", "tabLaser", "Variance"},
    {"lineAdcValue_1_Variance", "QLineEdit", "tabLaser", nullptr},
    {"label_10", "QLabel", "tabLaser", "Measurment 2"},
    {"label_12", "QLabel", "tabLaser", "Measured Current"},
    {"lineCurrent_2", "QLineEdit", "tabLaser", nullptr},
    {"boxUnitSelector_2", "QComboBox", "tabLaser", nullptr},
    {"buttonGetAdcValue_2", "QPushButton", "tabLaser", "Get ADC Value"},
    {"label_16", "QLabel", "tabLaser", "Mean"},
    {"lineAdcValue_2", "QLineEdit", "tabLaser", nullptr},
    {"label_18", "QLabel", "tabLaser", "Variance"},
    {"lineAdcValue_2_Variance", "QLineEdit", "tabLaser", nullptr},
    {"buttonLaserOnOff", "QPushButton", "tabLaser", "Turn Laser Diode On"},
    {"buttoCalculate", "QPushButton", "tabLaser", "Calculate"},
    {"label_13", "QLabel", "tabLaser", "Derivative:"},
    {"labelDerivative", "QLabel", "tabLaser", "TextLabel"},
    {"label_14", "QLabel", "tabLaser", "Offset:"},
    {"labelOffset", "QLabel", "tabLaser", "TextLabel"},
    {"labelCalculatorWarning", "QLabel", "tabLaser", "Warning Label"},
    {"ServiceModeWarningLabel_6", "QLabel", "tabLaser", kServiceWarning},
    {"tabServiceMode", "QWidget", "tabServiceMode", nullptr},
    {"btnServiceModeStart", "QPushButton", "tabServiceMode", "Start Service Mode"},
    {"btnServiceModeNext", "QPushButton", "tabServiceMode", "Goto next step"},
    {"btnServiceModeExit", "QPushButton", "tabServiceMode", "Exit Service Mode"},
    {"btnServiceMode_1", "QPushButton", "tabServiceMode", "Step 1: Laser turns on"},
    {"labelService1", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_2", "QPushButton", "tabServiceMode", "Step 2: Laser turns off"},
    {"labelService2", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_3", "QPushButton", "tabServiceMode", "Step 3: Sledge moves outward"},
    {"labelService3", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_4", "QPushButton", "tabServiceMode", "Step 4: Sledge stops"},
    {"labelService4", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_5", "QPushButton", "tabServiceMode", "Step 5: Sledge moves inward"},
    {"labelService5", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_6", "QPushButton", "tabServiceMode", "Step 6: Sledge stops"},
    {"labelService6", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_7", "QPushButton", "tabServiceMode", "Step 7: Turn table turns clockwise"},
    {"labelService7", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_8", "QPushButton", "tabServiceMode", "Step 8: Turn table stops"},
    {"labelService8", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_9", "QPushButton", "tabServiceMode",
     "Step 9: Turn table turns counter-clockwise"},
    {"labelService9", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_10", "QPushButton", "tabServiceMode", "Step 10: Turn table stops"},
    {"labelService10", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_11", "QPushButton", "tabServiceMode", "Step 11: Searches for Focus"},
    {"labelService11", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_12", "QPushButton", "tabServiceMode",
     "Step 12: Stops and tells if focus found"},
    {"labelService12", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_13", "QPushButton", "tabServiceMode",
     "Step 13: Spins disc and tries to lock PLL"},
    {"labelService13", "QLabel", "tabServiceMode", "X"},
    {"btnServiceMode_14", "QPushButton", "tabServiceMode",
     "Step 14: Resets but remains in service mode"},
    {"labelService14", "QLabel", "tabServiceMode", "X"},
    {"ServiceModeWarningLabel_7", "QLabel", "tabServiceMode", kServiceWarning},
    {"tabLaserCurrent", "QWidget", "tabLaserCurrent", nullptr},
    {"customPlotLaser", "QCustomPlot", "tabLaserCurrent", nullptr},
    {"btnGetLaserHistory", "QPushButton", "tabLaserCurrent", "Get history of laser values"},
    {"btnGetZeroByte", "QPushButton", "tabLaserCurrent", "Get zero hour current"},
    {"btnResetLaserHistory", "QPushButton", "tabLaserCurrent", "Reset history of laser"},
    {"lblWarnLaserHistory", "QLabel", "tabLaserCurrent",
     "Please use this function only during STOP mode!"},
    {"groupBox", "QGroupBox", "tabLaserCurrent", "Laser Current"},
    {"Button_Previous_2", "QPushButton", "tabLaserCurrent", "Previous"},
    {"Button_Play_2", "QPushButton", "tabLaserCurrent", "Play"},
    {"Button_Stop_2", "QPushButton", "tabLaserCurrent", "Stop"},
    {"Button_Next_2", "QPushButton", "tabLaserCurrent", "Next"},
    {"Button_Open_Close_2", "QPushButton", "tabLaserCurrent", "Open/Close"},
    {"time_display_2", "QLabel", "tabLaserCurrent", "00:00:00"},
    {"track_number_display_2", "QLabel", "tabLaserCurrent", "0"},
    {"menubar", "QMenuBar", "", nullptr},
    {"menuSettings", "QMenu", "", "File"},
    {"menuOptions", "QMenu", "", "Options"},
    {"statusbar", "QStatusBar", "", nullptr},
    {"actionExit", "QAction", "", "Exit"},
    // flag monitor: the File menu
    {"actionOpenFlagFile", "QAction", "", "Open Flag File..."},
    {"actionSavePlotPng", "QAction", "", "Save Plot as PNG..."},
    {"actionSavePlotPdf", "QAction", "", "Save Plot as PDF..."},
    {"actionExportRunCsv", "QAction", "", "Export Run as CSV..."},
    {"actionExportReport", "QAction", "", "Export report..."},
    {"optionsSettings", "QAction", "", "Settings"},
    {"actionOptions", "QAction", "", "Options"},
    {"actionSettings", "QAction", "", "Settings"},
    {"actionTray_Loader", "QAction", "", "Tray Loader"},
    {"actionSlot_Loader", "QAction", "", "Slot Loader"},
    {"actionTop_Loader", "QAction", "", "Top Loader"},
    {"actionTray_Loader_Tria", "QAction", "", "Tray Loader Tria"},
    {"actionSanyo_HD850", "QAction", "", "Sanyo HD850"},
    {"actionSony_KHM", "QAction", "", "Sony KHM"},
    {"actionSanyo_DA11", "QAction", "", "Sanyo DA11"},
};

QString captionOf(const QObject* object) {
    if (auto* group = qobject_cast<const QGroupBox*>(object))
        return group->title();
    if (auto* menu = qobject_cast<const QMenu*>(object))
        return menu->title();
    if (auto* action = qobject_cast<const QAction*>(object))
        return action->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(object))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(object))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(object))
        return edit->text();
    return object->property("text").toString();
}

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList khzA() {
    return {"1.97 kHz",  "2.29 kHz",  "2.61 kHz",  "2.94 kHz",  "3.26 kHz",
            "3.9 kHz",   "4.55 kHz",  "5.19 kHz",  "5.82 kHz",  "6.46 kHz",
            "7.72 kHz",  "8.98 kHz",  "10.22 kHz", "11.46 kHz", "12.69 kHz",
            "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz"};
}

QStringList millivolts() {
    return {"20 mV",  "25 mV",  "30 mV",  "40 mV",  "60 mV",  "75 mV",  "100 mV", "120 mV",
            "150 mV", "200 mV", "270 mV", "350 mV", "450 mV", "600 mV", "720 mV", "960 mV"};
}

} // namespace

class tst_Form : public QObject {
    Q_OBJECT

private slots:
    // One form for the tests that only read it; those that change it build their own.
    void initTestCase();
    void cleanupTestCase();

    void pages_areTenInFormOrder_data();
    void pages_areTenInFormOrder();
    void objectName_resolvesToOneObjectOfItsClass_data();
    void objectName_resolvesToOneObjectOfItsClass();
    void everyNamedObjectIsListed();
    void window_titleSizesAndMenus();
    void actions_outsideMenusAreCheckableWhereTheyChooseHardware_data();
    void actions_outsideMenusAreCheckableWhereTheyChooseHardware();
    void styleSheets_keepTheirBlanks_data();
    void styleSheets_keepTheirBlanks();
    void comboLists_data();
    void comboLists();
    void comboLists_surviveRetranslate();
    void initialChecks_data();
    void initialChecks();
    void sliderRanges_data();
    void sliderRanges();
    void progressBars_data();
    void progressBars();
    void fonts_data();
    void fonts();
    void editFlags_data();
    void editFlags();
    void disabledWidgets_data();
    void disabledWidgets();
    void testButtons_sitInTheTestGroupWithTheirInputs();
    void audioRadios_formOneExclusiveSet();

private:
    template <typename T> T* find(const QString& name) { return window->findChild<T*>(name); }
    static std::unique_ptr<QMainWindow> freshForm();

    QMainWindow* window = nullptr;
};

std::unique_ptr<QMainWindow> tst_Form::freshForm() {
    auto form = std::make_unique<QMainWindow>();
    ControlPanelForm::setUp(form.get());
    return form;
}

void tst_Form::initTestCase() {
    window = freshForm().release();
}

void tst_Form::cleanupTestCase() {
    delete window;
    window = nullptr;
}

void tst_Form::pages_areTenInFormOrder_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tabText");
    const char* pages[][2] = {{"tabPlayMode", "Play Mode"},
                              {"tabExpertMode", "Expert Mode"},
                              {"tabFlags", "Flags"},
                              {"tabEeprom", "EEPROM Parameters"},
                              {"tabServoParameters", "Servo Parameters"},
                              {"tabAudioByte", "Audio Byte"},
                              {"tabFlash", "Flash Firmware"},
                              {"tabLaser", "Laser Calibration"},
                              {"tabServiceMode", "Service Mode"},
                              {"tabLaserCurrent", "Laser Current"}};
    for (int i = 0; i < 10; ++i)
        QTest::newRow(pages[i][0]) << i << pages[i][0] << pages[i][1];
}

void tst_Form::pages_areTenInFormOrder() {
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QString, tabText);
    QCOMPARE(formWidget<QTabWidget>(window, "tabWidget")->count(), 10);
    QCOMPARE(formWidget<QTabWidget>(window, "tabWidget")->widget(index)->objectName(), name);
    QCOMPARE(formWidget<QTabWidget>(window, "tabWidget")->tabText(index), tabText);
}

void tst_Form::objectName_resolvesToOneObjectOfItsClass_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("hasText");
    QTest::addColumn<QString>("text");
    for (const FormObject& o : kFormObjects)
        QTest::newRow(o.name) << o.name << o.className << o.page << (o.text != nullptr)
                              << QString::fromUtf8(o.text ? o.text : "");
}

void tst_Form::objectName_resolvesToOneObjectOfItsClass() {
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, page);
    QFETCH(bool, hasText);
    QFETCH(QString, text);

    const QList<QObject*> found = window->findChildren<QObject*>(name);
    QCOMPARE(found.size(), 1);
    QObject* object = found.first();
    QCOMPARE(QString::fromLatin1(object->metaObject()->className()), className);

    // the page that carries the object: removing a page removes exactly these objects
    QString holder;
    for (QObject* o = object; o; o = o->parent()) {
        if (o->parent() && o->parent()->parent() == formWidget<QTabWidget>(window, "tabWidget")) {
            holder = o->objectName();
            break;
        }
    }
    QCOMPARE(holder, page);

    if (hasText)
        QCOMPARE(captionOf(object), text);
}

void tst_Form::everyNamedObjectIsListed() {
    QSet<QString> listed;
    for (const FormObject& o : kFormObjects)
        listed.insert(QString::fromLatin1(o.name));

    QStringList unlisted;
    const QList<QObject*> all = window->findChildren<QObject*>();
    for (QObject* o : all) {
        const QString name = o->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        if (!o->isWidgetType() && !qobject_cast<QAction*>(o))
            continue;
        if (qobject_cast<QTabBar*>(o->parent())) // the tab bar's own scroll buttons
            continue;
        if (!listed.contains(name))
            unlisted << name;
    }
    QVERIFY2(unlisted.isEmpty(), qPrintable(unlisted.join(' ')));
}

void tst_Form::window_titleSizesAndMenus() {
    QCOMPARE(window->objectName(), QString("Control_Panel"));
    QCOMPARE(window->windowTitle(), QString("DK-61/65 PC Tool V 0.0.49"));
    QCOMPARE(window->size(), QSize(1539, 861));
    QCOMPARE(window->minimumSize(), QSize(800, 600));
    QCOMPARE(window->centralWidget(), formWidget<QWidget>(window, "centralwidget"));
    QCOMPARE(formWidget<QTabWidget>(window, "tabWidget")->parentWidget(),
             formWidget<QWidget>(window, "centralwidget"));
    QCOMPARE(window->menuBar(), formWidget<QMenuBar>(window, "menubar"));
    QCOMPARE(window->statusBar(), formWidget<QStatusBar>(window, "statusbar"));

    const QList<QAction*> menus = formWidget<QMenuBar>(window, "menubar")->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus.at(0)->menu(), formWidget<QMenu>(window, "menuSettings"));
    QCOMPARE(menus.at(1)->menu(), formWidget<QMenu>(window, "menuOptions"));
    QCOMPARE(formWidget<QMenu>(window, "menuSettings")->title(), QString("File"));
    QCOMPARE(formWidget<QMenu>(window, "menuOptions")->title(), QString("Options"));
    // The File menu: the flag monitor's entries, a separator, Exit.
    const QList<QAction*> file = formWidget<QMenu>(window, "menuSettings")->actions();
    QCOMPARE(file.size(), 7);
    QVERIFY(file.at(5)->isSeparator());
    QCOMPARE(file.at(6), formWidget<QAction>(window, "actionExit"));
    QCOMPARE(formWidget<QMenu>(window, "menuOptions")->actions(),
             QList<QAction*>{formWidget<QAction>(window, "optionsSettings")});

    QCOMPARE(formWidget<QAction>(window, "actionExit")->text(), QString("Exit"));
    QCOMPARE(formWidget<QAction>(window, "actionExit")->toolTip(), QString("Exit"));
    QCOMPARE(formWidget<QAction>(window, "actionExit")->statusTip(), QString("Exit"));
    QCOMPARE(formWidget<QAction>(window, "optionsSettings")->text(), QString("Settings"));
}

void tst_Form::actions_outsideMenusAreCheckableWhereTheyChooseHardware_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("actionOptions") << "actionOptions" << false << "Options";
    QTest::newRow("actionSettings") << "actionSettings" << false << "Settings";
    QTest::newRow("actionTray_Loader") << "actionTray_Loader" << true << "Tray Loader";
    QTest::newRow("actionSlot_Loader") << "actionSlot_Loader" << true << "Slot Loader";
    QTest::newRow("actionTop_Loader") << "actionTop_Loader" << true << "Top Loader";
    QTest::newRow("actionTray_Loader_Tria")
        << "actionTray_Loader_Tria" << true << "Tray Loader Tria";
    QTest::newRow("actionSanyo_HD850") << "actionSanyo_HD850" << true << "Sanyo HD850";
    QTest::newRow("actionSony_KHM") << "actionSony_KHM" << true << "Sony KHM";
    QTest::newRow("actionSanyo_DA11") << "actionSanyo_DA11" << true << "Sanyo DA11";
}

void tst_Form::actions_outsideMenusAreCheckableWhereTheyChooseHardware() {
    QFETCH(QString, name);
    QFETCH(bool, checkable);
    QFETCH(QString, toolTip);
    QAction* action = find<QAction>(name);
    QVERIFY(action);
    QCOMPARE(action->isCheckable(), checkable);
    QVERIFY(!action->isChecked());
    QCOMPARE(action->toolTip(), toolTip);
    QVERIFY(action->associatedWidgets().isEmpty()); // placed in no menu
}

void tst_Form::styleSheets_keepTheirBlanks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("styleSheet");
    const char* redLabels[] = {
        "ServiceModeWarningLabel_1", "ServiceModeWarningLabel_2", "ServiceModeWarningLabel_3",
        "ServiceModeWarningLabel_4", "ServiceModeWarningLabel_5", "ServiceModeWarningLabel_6",
        "ServiceModeWarningLabel_7", "CustomInputWarningLabel",   "status_description_spdif_label",
        "BaudrateWarningLabel",      "lblWarningRuntime",         "lblCalibrationHint",
        "labelCalculatorWarning",    "labelBrowserError",         "lblWarnLaserHistory"};
    for (const char* name : redLabels)
        QTest::newRow(name) << name << kRed;
    QTest::newRow("labelPLL") << "labelPLL"
                              << "QLabel  { color: black}";
    QTest::newRow("labelEeprom") << "labelEeprom"
                                 << "";
    QTest::newRow("labelLaserCurrent") << "labelLaserCurrent"
                                       << "";
}

void tst_Form::styleSheets_keepTheirBlanks() {
    QFETCH(QString, name);
    QFETCH(QString, styleSheet);
    QLabel* label = find<QLabel>(name);
    QVERIFY(label);
    QCOMPARE(label->styleSheet(), styleSheet);
}

void tst_Form::comboLists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    const QStringList none{"None"};
    const QStringList caStart{"0.0225", "0.03", "0.045", "0.06", "0.09", "0.125", "0.18", "1"};
    const QStringList khzB{"3.90 kHz",  "4.55 kHz",  "5.19 kHz",  "5.85 kHz",  "6.46 kHz",
                           "7.72 kHz",  "8.98 kHz",  "10.22 kHz", "11.46 kHz", "12.69 kHz",
                           "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz", "25.40 kHz",
                           "30.26 kHz", "35.08 kHz", "39.86 kHz", "44.56 kHz"};
    QStringList khzC = khzB;
    khzC[0] = "3.9 kHz";
    khzC[3] = "5.82 kHz";

    QTest::newRow("comboCFLAGInterval")
        << "comboCFLAGInterval"
        << QStringList{"7350 samples (1s interval)", "1250 samples (170ms interval)",
                       "220 samples (30ms interval)"};
    QTest::newRow("comboBox_selected_loader_type") << "comboBox_selected_loader_type" << none;
    QTest::newRow("comboBox_selected_baud_rate") << "comboBox_selected_baud_rate" << none;
    QTest::newRow("comboBox_selected_focus") << "comboBox_selected_focus" << none;
    QTest::newRow("boxUnitSelector_1") << "boxUnitSelector_1"
                                       << QStringList{"mA", QString::fromUtf8("\xc2\xb5"
                                                                              "A")};
    QTest::newRow("boxUnitSelector_2") << "boxUnitSelector_2"
                                       << QStringList{"mA", QString::fromUtf8("\xc2\xb5"
                                                                              "A")};
    QTest::newRow("cBClockAccuracy")
        << "cBClockAccuracy"
        << QStringList{"Level II clock accuracy (<1000 ppm)", "Level I clock accuracy (<50 ppm)",
                       "Level III clock accuracy (>1000 ppm)", "EBU off - output LOW"};
    QTest::newRow("cBEBUFlags") << "cBEBUFlags"
                                << QStringList{"flags in EBU off", "flags in EBU on"};
    QTest::newRow("cBDeemph") << "cBDeemph"
                              << QStringList{"de-emphasis intern", "de-emphasis extern"};

    // servo page: fixed lists of the form
    QTest::newRow("comboBox_CA_start") << "comboBox_CA_start" << caStart;
    QTest::newRow("comboBox_17") << "comboBox_17" << caStart;
    QTest::newRow("comboBox_foc_int")
        << "comboBox_foc_int"
        << QStringList{"hold", "1.2",  "2.4",  "3.6",  "4.8",  "6.0",  "7.2",  "8.4",
                       "9.6",  "10.8", "12",   "13.2", "14.4", "15.6", "16.8", "18",
                       "19.2", "20.4", "21.6", "22.8", "24",   "25"};
    QTest::newRow("comboBox_2") << "comboBox_2"
                                << QStringList{"3.5kHz", "7kHz", "14kHz", "reserved"};
    QTest::newRow("comboBox_5") << "comboBox_5" << QStringList{"16ms", "8ms", "4ms", "2ms"};
    QTest::newRow("comboBox_6") << "comboBox_6"
                                << QStringList{"0.25", "0.125", "0.0625", "reserved"};
    QTest::newRow("comboBox_7") << "comboBox_7" << QStringList{"1.0ms", "1.5ms", "2.0ms", "2.5ms"};
    QTest::newRow("comboBox_8") << "comboBox_8" << khzA();
    QTest::newRow("comboBox_12") << "comboBox_12" << khzA();
    QTest::newRow("comboBox_18") << "comboBox_18" << khzA();
    QTest::newRow("comboBox_9") << "comboBox_9"
                                << QStringList{"7.5 ms",  "8.2 ms",  "9 ms",    "9.7 ms",
                                               "10.5 ms", "11.2 ms", "12.5 ms", "14 ms",
                                               "15.5 ms", "16.5 ms", "20.7 ms", "25 ms",
                                               "31.2 ms", "41 ms",   "63 ms",   "128 ms"};
    QTest::newRow("comboBox_10") << "comboBox_10"
                                 << QStringList{"0 kHz", "1 kHz", "2 kHz", "3 kHz",    "4 kHz",
                                                "5 kHz", "6 kHz", "7 kHz", "undefined"};
    QTest::newRow("comboBox_11") << "comboBox_11"
                                 << QStringList{"int. hold", "10/Kv",  "20/Kv",  "30/Kv",
                                                "40/Kv",     "50/Kv",  "60/Kv",  "70/Kv",
                                                "80/Kv",     "90/Kv",  "100/Kv", "110/Kv",
                                                "120/Kv",    "130/Kv", "140/Kv", "150/Kv"};
    QTest::newRow("comboBox_13") << "comboBox_13"
                                 << QStringList{"OFF", "Focus", "Foc & Rad", "reserved"};
    QTest::newRow("comboBox_14") << "comboBox_14" << QStringList{"active 1", "active 0"};
    QTest::newRow("comboBox_15") << "comboBox_15" << khzB;
    QTest::newRow("comboBox_16") << "comboBox_16" << QStringList{"single", "double"};
    QTest::newRow("comboBox_20") << "comboBox_20" << khzC;
    QTest::newRow("comboBox_21") << "comboBox_21" << millivolts();
    QTest::newRow("comboBox_22") << "comboBox_22" << millivolts();
    QTest::newRow("comboBox_23") << "comboBox_23" << millivolts();
    QTest::newRow("comboBox_24") << "comboBox_24" << millivolts();
    QTest::newRow("comboBox_25") << "comboBox_25"
                                 << QStringList{
                                        "    525/8400 kHz", "  263/16800 kHz", "  131/33600 kHz",
                                        "  1050/8400 kHz",  "  525/16800 kHz", "  263/33600 kHz",
                                        "  2101/8400 kHz",  "1050/16800 kHz",  "    525/3600 kHz",
                                        "  4200/8400 kHz",  "2101/16800 kHz",  "1050/33600 kHz"};
    QTest::newRow("comboBox_26") << "comboBox_26"
                                 << QStringList{"1.11 V", "952 mV", "588 mV", "392 mV",
                                                "1.11 V", "952 mV", "588 mV", "392 mV",
                                                "303 mV", "200 mV", "157 mV", "107 mV",
                                                "79 mV",  "54 mV",  "39 mV",  "27 mV"};
    QStringList microamps{QString::fromUtf8("10 \xc2\xb5"
                                            "A (reset)")};
    for (int ua : {10, 20, 30, 50, 60, 70, 80, 100, 110, 120, 130, 150, 160, 170, 180})
        microamps << QString::number(ua) + QString::fromUtf8(" \xc2\xb5"
                                                             "A");
    QTest::newRow("comboBox_27") << "comboBox_27" << microamps;
    QTest::newRow("comboBox_28") << "comboBox_28" << QStringList{"1x", "2x", "4x"};
    QTest::newRow("comboBox_29") << "comboBox_29"
                                 << QStringList{"10/6.367 kHz",  "10/7.31 kHz",   "10/8.395 kHz",
                                                "10/9.247 kHz",  "10/10.186 kHz", "10/11.066 kHz",
                                                "10/12.023 kHz", "20/12.706 kHz", "20/14.588 kHz",
                                                "20/16.520 kHz", "20/18.45 kHz",  "20/20.324 kHz",
                                                "20/22.080 kHz", "20/23.988 kHz", "30/18.967 kHz",
                                                "30/21.777 kHz", "30/24.660 kHz", "30/27.542 kHz",
                                                "30/30.339 kHz", "30/32.961 kHz", "30/35.318 kHz",
                                                "40/25.003 kHz", "40/29.107 kHz", "40/32.961 kHz",
                                                "40/36.307 kHz", "40/39.994 kHz", "40/43.451 kHz",
                                                "40/47.206 kHz"};
    QTest::newRow("comboBox_30") << "comboBox_30" << QStringList{"ON", "OFF"};
    QTest::newRow("comboBox_31") << "comboBox_31"
                                 << QStringList{"before concealment", "after concealment"};
    QTest::newRow("comboBox_32") << "comboBox_32" << QStringList{"ON", "OFF"};
    QTest::newRow("comboBox_33") << "comboBox_33"
                                 << QStringList{"Level I", "Level II", "Level III"};

    // lists the window generates at start-up with item data: the form leaves them empty
    const char* generated[] = {"comboBox_foc_lead_length", "comboBox_ramp_increase",
                               "comboBox_ramp_height",     "comboBox_ramp_offset",
                               "comboBox_FE_start",        "comboBox_focus_gain",
                               "comboBox_vel_prop",        "comboBox_rad_lead_length",
                               "comboBox_radial_gain",     "comboBox_sledge_gain"};
    for (const char* name : generated)
        QTest::newRow(name) << name << QStringList();
}

void tst_Form::comboLists() {
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QComboBox* combo = find<QComboBox>(name);
    QVERIFY(combo);
    QCOMPARE(itemsOf(combo), items);
    QCOMPARE(combo->currentIndex(), items.isEmpty() ? -1 : 0);
}

void tst_Form::comboLists_surviveRetranslate() {
    const auto window = freshForm();
    const QList<QComboBox*> combos = window->findChildren<QComboBox*>();
    QHash<QComboBox*, QStringList> before;
    for (QComboBox* c : combos)
        before.insert(c, itemsOf(c));
    ControlPanelForm::retranslate(window.get());
    for (QComboBox* c : combos)
        QCOMPARE(itemsOf(c), before.value(c));
    QCOMPARE(formWidget<QTabWidget>(window, "tabWidget")->tabText(3), QString("EEPROM Parameters"));
    QCOMPARE(window->windowTitle(), QString("DK-61/65 PC Tool V 0.0.49"));
}

void tst_Form::initialChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checked");
    QTest::newRow("CheckBoxClear") << "CheckBoxClear" << true;
    QTest::newRow("chkLog") << "chkLog" << false;
    QTest::newRow("checkBoxPlayInit") << "checkBoxPlayInit" << false;
    QTest::newRow("checkBoxC1") << "checkBoxC1" << true;
    QTest::newRow("checkBoxC1U") << "checkBoxC1U" << true;
    QTest::newRow("checkBoxC2") << "checkBoxC2" << true;
    QTest::newRow("checkBoxC2U") << "checkBoxC2U" << true;
    QTest::newRow("checkBoxInterpol") << "checkBoxInterpol" << true;
    QTest::newRow("chkOther") << "chkOther" << false;
    QTest::newRow("checkResetOnTime") << "checkResetOnTime" << false;
    QTest::newRow("checkBoxSetLaserToDefault") << "checkBoxSetLaserToDefault" << false;
    QTest::newRow("checkBoxSetDateToToday") << "checkBoxSetDateToToday" << false;
    QTest::newRow("checkBoxIncrementProductionCode") << "checkBoxIncrementProductionCode" << false;
    QTest::newRow("rBDK6x") << "rBDK6x" << true;
    QTest::newRow("rBHLB6x") << "rBHLB6x" << false;
    for (const char* radio : {"rB1010", "rB1011", "rB1110", "rB0010", "rB0110", "rB0000", "rB0100",
                              "rB1100", "rB0011", "rB0111", "rB1111"})
        QTest::newRow(radio) << radio << (QByteArray(radio) == "rB1110");
}

void tst_Form::initialChecks() {
    QFETCH(QString, name);
    QFETCH(bool, checked);
    QAbstractButton* button = find<QAbstractButton>(name);
    QVERIFY(button);
    QVERIFY(button->isCheckable());
    QCOMPARE(button->isChecked(), checked);
}

void tst_Form::sliderRanges_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("singleStep");
    QTest::addColumn<int>("pageStep");
    QTest::newRow("horizontalSliderFlagsGraph")
        << "horizontalSliderFlagsGraph" << int(Qt::Horizontal) << 0 << 60 << 30 << 1 << 5;
    QTest::newRow("verticalSliderFlagsGraph")
        << "verticalSliderFlagsGraph" << int(Qt::Vertical) << 1 << 100 << 30 << 1 << 10;
    QTest::newRow("TrackTimeSlider")
        << "TrackTimeSlider" << int(Qt::Horizontal) << 0 << 99 << 0 << 1 << 10;
    QTest::newRow("VolumeSlider") << "VolumeSlider" << int(Qt::Vertical) << 0 << 99 << 0 << 1 << 10;
}

void tst_Form::sliderRanges() {
    QFETCH(QString, name);
    QFETCH(int, orientation);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(int, singleStep);
    QFETCH(int, pageStep);
    QSlider* slider = find<QSlider>(name);
    QVERIFY(slider);
    QCOMPARE(int(slider->orientation()), orientation);
    QCOMPARE(slider->minimum(), minimum);
    QCOMPARE(slider->maximum(), maximum);
    QCOMPARE(slider->value(), value);
    QCOMPARE(slider->singleStep(), singleStep);
    QCOMPARE(slider->pageStep(), pageStep);
}

void tst_Form::progressBars_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<bool>("textVisible");
    QTest::newRow("progressBarEeprom") << "progressBarEeprom" << 6 << true;
    QTest::newRow("progressBarFlashingTotal") << "progressBarFlashingTotal" << 8 << false;
}

void tst_Form::progressBars() {
    QFETCH(QString, name);
    QFETCH(int, maximum);
    QFETCH(bool, textVisible);
    QProgressBar* bar = find<QProgressBar>(name);
    QVERIFY(bar);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), maximum);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->isTextVisible(), textVisible);
}

void tst_Form::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family"); // empty: the application's family
    QTest::addColumn<int>("pointSize");
    QTest::newRow("time_display") << "time_display"
                                  << "" << 28;
    QTest::newRow("title_label") << "title_label"
                                 << "" << 22;
    QTest::newRow("time_display_2") << "time_display_2"
                                    << "" << 20;
    QTest::newRow("textBrowser") << "textBrowser"
                                 << "Monospac821 BT" << 10;
    QTest::newRow("ServiceModeWarningLabel_1") << "ServiceModeWarningLabel_1"
                                               << "" << 8;
}

void tst_Form::fonts() {
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(int, pointSize);
    QWidget* widget = find<QWidget>(name);
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSize(), pointSize);
    if (family.isEmpty())
        QCOMPARE(widget->font().family(), QApplication::font().family());
    else
        QCOMPARE(widget->font().family(), family); // the requested family, installed or not
}

void tst_Form::editFlags_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("placeholder");
    const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
    QTest::newRow("InputText") << "InputText" << false << 126 << left << "";
    QTest::newRow("lineLaserListAverage")
        << "lineLaserListAverage" << true << 32767 << int(Qt::AlignCenter) << "";
    QTest::newRow("lineHexFileName") << "lineHexFileName" << true << 32767 << left << "";
    QTest::newRow("lineAudioByteByteTab") << "lineAudioByteByteTab" << true << 32767 << left << "";
    QTest::newRow("lineAudioByte") << "lineAudioByte" << false << 32767 << left << "";
    QTest::newRow("txtOther") << "txtOther" << false << 32767 << left << "flagrate per sec";
}

void tst_Form::editFlags() {
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    QFETCH(int, maxLength);
    QFETCH(int, alignment);
    QFETCH(QString, placeholder);
    QLineEdit* edit = find<QLineEdit>(name);
    QVERIFY(edit);
    QCOMPARE(edit->isReadOnly(), readOnly);
    QCOMPARE(edit->maxLength(), maxLength);
    QCOMPARE(int(edit->alignment()), alignment);
    QCOMPARE(edit->placeholderText(), placeholder);
}

void tst_Form::disabledWidgets_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("tabServoParameters") << "tabServoParameters" << false;
    QTest::newRow("btnResetLaserHistory") << "btnResetLaserHistory" << false;
    QTest::newRow("btnGetLaserHistory") << "btnGetLaserHistory" << true;
    QTest::newRow("tabLaserCurrent") << "tabLaserCurrent" << true;
    QTest::newRow("ButtonFlashEeprom") << "ButtonFlashEeprom" << true;
    QTest::newRow("groupBoxTest") << "groupBoxTest" << true;
}

void tst_Form::disabledWidgets() {
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QWidget* widget = find<QWidget>(name);
    QVERIFY(widget);
    QCOMPARE(widget->isEnabledTo(window), enabled);
}

void tst_Form::testButtons_sitInTheTestGroupWithTheirInputs() {
    int buttons = 0;
    int inputs = 0;
    for (QPushButton* b :
         formWidget<QGroupBox>(window, "groupBoxTest")->findChildren<QPushButton*>()) {
        QVERIFY2(b->objectName().startsWith("btnClick"), qPrintable(b->objectName()));
        ++buttons;
    }
    for (QLineEdit* e : formWidget<QGroupBox>(window, "groupBoxTest")->findChildren<QLineEdit*>()) {
        QVERIFY2(e->objectName().startsWith("txtInput"), qPrintable(e->objectName()));
        // every input sits on the row of its button, right of it, inside the group
        const QString buttonName = "btnClick" + e->objectName().mid(8);
        QPushButton* b =
            formWidget<QGroupBox>(window, "groupBoxTest")->findChild<QPushButton*>(buttonName);
        QVERIFY2(b, qPrintable(buttonName));
        QVERIFY(qAbs(b->geometry().center().y() - e->geometry().center().y()) <= 2);
        QVERIFY(e->x() >= b->geometry().right());
        QVERIFY(formWidget<QGroupBox>(window, "groupBoxTest")->rect().contains(e->geometry()));
        ++inputs;
    }
    QCOMPARE(buttons, 37);
    QCOMPARE(inputs, 20);
    // the tray controls of the loader calibration live elsewhere
    QCOMPARE(formWidget<QPushButton>(window, "btnClickTrayOpen_2")->parentWidget(),
             formWidget<QGroupBox>(window, "groupLoaderCalibration"));
    QCOMPARE(formWidget<QLineEdit>(window, "txtInputTrayBoth")->parentWidget(),
             formWidget<QGroupBox>(window, "groupLoaderCalibration"));
}

void tst_Form::audioRadios_formOneExclusiveSet() {
    const auto window = freshForm();
    const QList<QRadioButton*> radios =
        formWidget<QGroupBox>(window, "gBDecoderSettings")->findChildren<QRadioButton*>();
    QCOMPARE(radios.size(), 11);
    formWidget<QRadioButton>(window, "rB0011")->click();
    for (QRadioButton* r : radios)
        QCOMPARE(r->isChecked(), r == formWidget<QRadioButton>(window, "rB0011"));
    formWidget<QRadioButton>(window, "rBHLB6x")->click();
    QVERIFY(!formWidget<QRadioButton>(window, "rBDK6x")->isChecked());
    QVERIFY(formWidget<QRadioButton>(window, "rB0011")
                ->isChecked()); // the component choice is a set of its own
}

QTEST_MAIN(tst_Form)
#include "tst_form.moc"
