#include "console/commandcatalogue.h"

namespace {

struct Entry {
    const char* name;            // after "btnClick" (and "txtInput")
    const char* prefix;          // the command text
    const char* input = nullptr; // after "txtInput" when it is not the name
};

// A grid of names and command texts, read row by row.
// clang-format off

// The commands sent as they are.
const Entry Plain[] = {
    {"Pause", "13 00"}, {"Stop", "14 00"}, {"Next", "15 00"}, {"Previous", "16 00"},
    {"ClearProgram", "1d 00"}, {"GetState", "20 00"}, {"GetDiscContents", "21 00"},
    {"GetPlayMode", "22 00"}, {"GetDiscID", "24 00"}, {"GetCurrentTrackFolderNumber", "27 00"},
    {"GetBLER", "55 00"}, {"GetFWVersion", "2d 00"}, {"GetProgramDetails", "2e 00"},
    {"IsDiscStopped", "33 00"}, {"PreparePowerDown", "61 00"},
    {"ReturnPossibleLoaders", "70 00"}, {"GetLaserCurrent", "54 00"}};

// The commands the text of their parameter line follows. "Audio Mute 43 02" sends the count 01:
// boards in the field are built against that frame. "Cmd Decoder 66" has no count byte of its
// own: the operator types it with the parameters. Both tray buttons of the calibration group
// share one line.
const Entry WithParameters[] = {
    {"Play", "11 01 "}, {"PlayTrackXY", "12 04 "}, {"SearchForward", "19 01 "},
    {"SearchBackward", "1a 01 "}, {"SetTrackXY", "1b 03 "}, {"AddProgramXY", "1c 03 "},
    {"SearchUser", "1e 03 "}, {"GotoTime", "1f 03 "}, {"GetTrackLengthXY", "25 03 "},
    {"GetTrackLengthXYFrames", "29 03 "}, {"GetTagXY", "26 04 "}, {"GetCurrentTime", "28 01 "},
    {"GetCurrentTimeFrames", "2f 01 "}, {"TrayOpen", "31 01 "},
    {"TrayOpen_2", "31 01 ", "TrayBoth"}, {"TrayClose", "32 01 "},
    {"TrayClose_2", "32 01 ", "TrayBoth"}, {"AudioMute", "43 01 "},
    {"SetLoaderType", "65 01 "}, {"CalibrateLoader", "71 02 "}, {"CmdDecoder", "66 "},
    {"SetAudiobyte", "72 01 "}};

// clang-format on

QVector<CommandCatalogue::Command> build() {
    QVector<CommandCatalogue::Command> table;
    for (const Entry& e : Plain)
        table.append(
            {QStringLiteral("btnClick") + e.name, QString(), QString::fromLatin1(e.prefix)});
    for (const Entry& e : WithParameters)
        table.append({QStringLiteral("btnClick") + e.name,
                      QStringLiteral("txtInput") + (e.input ? e.input : e.name),
                      QString::fromLatin1(e.prefix)});
    return table;
}

} // namespace

const QVector<CommandCatalogue::Command>& CommandCatalogue::commands() {
    static const QVector<Command> table = build();
    return table;
}

QString CommandCatalogue::text(const Command& command, const QString& input) {
    return command.input.isEmpty() ? command.prefix : command.prefix + input.trimmed();
}

QString CommandCatalogue::text(const QString& button, const QString& input) {
    for (const Command& command : commands()) {
        if (command.button == button)
            return text(command, input);
    }
    return QString();
}
