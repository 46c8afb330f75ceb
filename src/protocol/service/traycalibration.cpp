#include "service/traycalibration.h"

#include "shell/logging.h"

#include <QRegularExpression>

TrayCalibration::Press TrayCalibration::reset() {
    current = Step::ResetSent;
    qCDebug(dk61Service) << "tray calibration reset";
    return {QStringLiteral("71 02 00 00"), QStringLiteral("Done! Open and set distance!"), {}};
}

TrayCalibration::Press TrayCalibration::setDistance(const QString& distance) {
    if (current != Step::ResetSent)
        return outOfOrder();
    // A distance the board cannot take as one byte is not sent, and the sequence waits for a
    // good one.
    static const QRegularExpression oneByte(QStringLiteral("^[0-9A-Fa-f]{2}$"));
    const QString typed = distance.trimmed();
    if (!oneByte.match(typed).hasMatch())
        return {{}, {}, QStringLiteral("Distance: one byte, two hex digits (e.g. 0A)")};
    current = Step::DistanceSent;
    qCDebug(dk61Service) << "tray calibration distance" << typed;
    return {QStringLiteral("71 02 01 ") + typed.toUpper(),
            QStringLiteral("Done! Re-open and set timing!"),
            {}};
}

TrayCalibration::Press TrayCalibration::setTiming() {
    if (current != Step::DistanceSent)
        return outOfOrder();
    current = Step::Done;
    qCDebug(dk61Service) << "tray calibration timing";
    return {QStringLiteral("71 02 02 00"), QStringLiteral("Done!"), {}};
}

TrayCalibration::Press TrayCalibration::outOfOrder() {
    current = Step::Broken;
    return {{}, QStringLiteral("Error! Restart with delete!"), {}};
}
