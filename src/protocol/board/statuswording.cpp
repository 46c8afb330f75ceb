#include "board/statuswording.h"

namespace {

StatusWording::Text show(const char* text, StatusWording::Colour colour) {
    return StatusWording::Text{true, QString::fromLatin1(text), colour};
}

const auto Red = StatusWording::Colour::Red;
const auto Green = StatusWording::Colour::Green;

} // namespace

QString StatusWording::styleSheet(Colour colour) {
    // In the order of Colour; Keep leaves the label's sheet as it is.
    static const char* const sheets[] = {nullptr, "QLabel {color: red}", "QLabel {color: green}",
                                         "QLabel {color: palette(window-text)}"};
    static_assert(sizeof(sheets) / sizeof(*sheets) == int(Colour::Plain) + 1, "one per colour");
    const char* sheet = sheets[static_cast<int>(colour)];
    return sheet ? QString::fromLatin1(sheet) : QString();
}

StatusWording::Bar StatusWording::start() {
    Bar bar;
    bar.board = show("  BOARD: no connection  ", Red);
    bar.spdif = show("  SPDIF Signal: no signal  ", Red);
    bar.cflag = show("  CFLAG Data: no data  ", Red);
    return bar;
}

StatusWording::Bar StatusWording::flagStatus(int error, bool fromFlagBoard) {
    Bar bar;
    if (fromFlagBoard)
        bar.board = show("  BOARD: OK  ", Green);
    const bool spdifFault = error == 1;
    const bool cflagFault = error == 1 || error == 2;
    bar.spdif = spdifFault ? show("  SPDIF: no signal  ", Red) : show("  SPDIF: OK  ", Green);
    bar.cflag = cflagFault ? show("  CFLAG: no data  ", Red) : show("  CFLAG: OK  ", Green);
    if (error == 1)
        bar.message = show("SPDIF Error: check your SPDIF signal and if it is connected properly! "
                           "In case of persistant error, reconnect the USB-Dongle!",
                           Red);
    else if (error == 2)
        bar.message = show("CFLAG Error: getting no CFLAG-Data! Make sure EBU-Flags are activated "
                           "and disc is played!",
                           Red);
    else
        bar.message = show("", Colour::Keep);
    return bar;
}

StatusWording::Bar StatusWording::watchdog(bool answered, bool wrongBoard) {
    Bar bar;
    if (answered && !wrongBoard) {
        bar.board = show("  BOARD: OK  ", Green);
        return bar;
    }
    bar.message = wrongBoard ? show("Error: WRONG BOARD! Data from DK61/DK65-Board received. Make "
                                    "sure that the right board is connected!",
                                    Red)
                             : show("Error: NO BOARD CONNECTED! No data from board received. "
                                    "Make sure that the board is connected properly and under "
                                    "power!",
                                    Red);
    bar.board = show("  BOARD: no connection  ", Red);
    bar.spdif = show("  SPDIF: no signal  ", Red);
    bar.cflag = show("  CFLAG: no data  ", Red);
    return bar;
}

StatusWording::Bar StatusWording::closedByOperator() {
    Bar bar = start();
    bar.message = show("Disconnected: the link was closed by the operator.", Colour::Plain);
    return bar;
}

QString StatusWording::connection(const QString& portName, int baud, bool hasFirmware,
                                  int firmware) {
    QString text = QStringLiteral("Connected to ") + portName + QStringLiteral(" at ") +
                   QString::number(baud) + QStringLiteral(" Baud");
    if (hasFirmware)
        text += QStringLiteral(" FW Version: ") + QString::number(firmware);
    return text;
}

QString StatusWording::notConnected() {
    return QStringLiteral("Not Connected");
}

QString StatusWording::flagFirmwareSuffix(int version) {
    return QStringLiteral(", FW-Version: ") + QString::number(version);
}
