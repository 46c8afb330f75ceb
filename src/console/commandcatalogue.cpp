#include "commandcatalogue.h"

const QVector<CommandCatalogue::Command>& CommandCatalogue::commands() {
    // "Audio Mute 43 02" sends the count 01: boards in the field are built against that frame.
    // "Cmd Decoder 66" has no count byte of its own: the operator types it with the parameters.
    static const QVector<Command> table = {
        {"DK65_AC_Play", "btnClickPlay", "txtInputPlay", "11 01 "},
        {"DK65_AC_Play_Track_XY", "btnClickPlayTrackXY", "txtInputPlayTrackXY", "12 04 "},
        {"DK65_AC_Pause", "btnClickPause", nullptr, "13 00"},
        {"DK65_AC_Stop", "btnClickStop", nullptr, "14 00"},
        {"DK65_AC_Next_Track", "btnClickNext", nullptr, "15 00"},
        {"DK65_AC_Previous_Track", "btnClickPrevious", nullptr, "16 00"},
        {"DK65_AC_Search_Forward", "btnClickSearchForward", "txtInputSearchForward", "19 01 "},
        {"DK65_AC_Search_Backward", "btnClickSearchBackward", "txtInputSearchBackward", "1a 01 "},
        {"DK65_AC_Set_Track_XY", "btnClickSetTrackXY", "txtInputSetTrackXY", "1b 03 "},
        {"DK65_AC_Add_Program_XY", "btnClickAddProgramXY", "txtInputAddProgramXY", "1c 03 "},
        {"DK65_AC_Clear_Program", "btnClickClearProgram", nullptr, "1d 00"},
        {"DK65_AC_Search_User", "btnClickSearchUser", "txtInputSearchUser", "1e 03 "},
        {"DK65_AC_Goto_Time", "btnClickGotoTime", "txtInputGotoTime", "1f 03 "},
        {"DK65_AC_Get_State", "btnClickGetState", nullptr, "20 00"},
        {"DK65_AC_Get_Disc_Contents", "btnClickGetDiscContents", nullptr, "21 00"},
        {"DK65_AC_Get_Play_Mode", "btnClickGetPlayMode", nullptr, "22 00"},
        {"DK65_AC_Get_Disc_ID", "btnClickGetDiscID", nullptr, "24 00"},
        {"DK65_AC_Get_Track_Length_XY", "btnClickGetTrackLengthXY", "txtInputGetTrackLengthXY",
         "25 03 "},
        {"DK65_AC_Get_Track_Length_XY_Frames", "btnClickGetTrackLengthXYFrames",
         "txtInputGetTrackLengthXYFrames", "29 03 "},
        {"DK65_AC_Get_Tag_XY", "btnClickGetTagXY", "txtInputGetTagXY", "26 04 "},
        {"DK65_AC_Get_Current_Track_Folder_Number", "btnClickGetCurrentTrackFolderNumber", nullptr,
         "27 00"},
        {"DK65_AC_Get_Current_Time", "btnClickGetCurrentTime", "txtInputGetCurrentTime", "28 01 "},
        {"DK65_AC_Get_Current_Time_Frames", "btnClickGetCurrentTimeFrames",
         "txtInputGetCurrentTimeFrames", "2f 01 "},
        {"DK65_AC_Get_BLER", "btnClickGetBLER", nullptr, "55 00"},
        {"DK65_AC_Get_FW_Version", "btnClickGetFWVersion", nullptr, "2d 00"},
        {"DK65_AC_Get_Program_Details", "btnClickGetProgramDetails", nullptr, "2e 00"},
        {"DK65_AC_Tray_Open", "btnClickTrayOpen", "txtInputTrayOpen", "31 01 "},
        {"DK65_AC_Tray_Open_2", "btnClickTrayOpen_2", "txtInputTrayBoth", "31 01 "},
        {"DK65_AC_Tray_Close", "btnClickTrayClose", "txtInputTrayClose", "32 01 "},
        {"DK65_AC_Tray_Close_2", "btnClickTrayClose_2", "txtInputTrayBoth", "32 01 "},
        {"DK65_AC_Is_Disc_Stopped", "btnClickIsDiscStopped", nullptr, "33 00"},
        {"DK65_AC_Audio_Mute", "btnClickAudioMute", "txtInputAudioMute", "43 01 "},
        {"DK65_AC_Prepare_Power_Down", "btnClickPreparePowerDown", nullptr, "61 00"},
        {"DK65_AC_Set_Loader_Type", "btnClickSetLoaderType", "txtInputSetLoaderType", "65 01 "},
        {"DK65_AC_Return_Possible_Loaders", "btnClickReturnPossibleLoaders", nullptr, "70 00"},
        {"DK65_AC_Calibrate_Loader", "btnClickCalibrateLoader", "txtInputCalibrateLoader",
         "71 02 "},
        {"DK65_AC_Cmd_Decoder", "btnClickCmdDecoder", "txtInputCmdDecoder", "66 "},
        {"DK65_AC_Get_Laser_Current", "btnClickGetLaserCurrent", nullptr, "54 00"},
        {"DK65_AC_Set_Audiobyte", "btnClickSetAudiobyte", "txtInputSetAudiobyte", "72 01 "},
    };
    return table;
}

QString CommandCatalogue::text(const Command& command, const QString& input) {
    const QString prefix = QString::fromLatin1(command.prefix);
    return command.input ? prefix + input.trimmed() : prefix;
}
