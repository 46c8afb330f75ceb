#include "production/eepromprogramming.h"

#include "board/boardstate.h"
#include "production/audiobyte.h"
#include "production/productionrecord.h"

#include <QStringList>

#include <cmath>

namespace {

bool finiteFloat(const QString& text, float* value) {
    // what the board holds, as shown: kept to the last bit
    if (std::isfinite(*value) &&
        text.trimmed() == EepromProgramming::laserText(static_cast<double>(*value)))
        return true;
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 3.4e38)
        return false;
    *value = static_cast<float>(number);
    return true;
}

} // namespace

QString EepromProgramming::notReadyText(bool settingsRead, bool focusRead, bool loaderListRead,
                                        bool productionRead, bool laserRead) {
    QStringList missing;
    if (!settingsRead)
        missing << QStringLiteral("settings block");
    if (!focusRead)
        missing << QStringLiteral("focus hardware");
    if (!loaderListRead)
        missing << QStringLiteral("loader types");
    if (!productionRead)
        missing << QStringLiteral("production record");
    if (!laserRead)
        missing << QStringLiteral("laser calibration");
    if (missing.isEmpty())
        return QString();
    const QString last = missing.takeLast();
    const QString what = missing.isEmpty()
                             ? last
                             : missing.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return QStringLiteral("Not flashed: the %1 of the CD-Board %2 not been read yet: reconnect to "
                          "read the parameters.")
        .arg(what, missing.isEmpty() ? QStringLiteral("has") : QStringLiteral("have"));
}

QString EepromProgramming::busyText() {
    return QStringLiteral("Not flashed: the CD-Board is busy with the laser history. Try again "
                          "when it has finished.");
}

QString EepromProgramming::laserText(double value) {
    return QString::number(value, 'g', 6);
}

bool EepromProgramming::laserFromTexts(const QString& slopeText, const QString& offsetText,
                                       float* slope, float* offset, QString* message) {
    float k = *slope;
    float d = *offset;
    const bool slopeOk = finiteFloat(slopeText, &k);
    if (!slopeOk || !finiteFloat(offsetText, &d)) {
        if (message)
            *message = QStringLiteral("Laser Curve %1 must be a Number!")
                           .arg(slopeOk ? QStringLiteral("Offset") : QStringLiteral("Derivative"));
        return false;
    }
    *slope = k;
    *offset = d;
    return true;
}

QString EepromProgramming::fullChainQuestion() {
    return QStringLiteral(
        "Programming all parameters erases the laser history and resets the laser on-time of "
        "the CD-Board, then writes the laser calibration, the production record, the settings "
        "and the focus hardware.\n\nErase and program now?");
}

QString EepromProgramming::buttonsText() {
    return QStringLiteral(
        "\"Flash to Eeprom\" writes audio byte, loader, baud rate and focus hardware. \"Program "
        "all parameters...\" erases laser history and on-time, then writes these, the laser "
        "curve and the typed serial number, flash date, flashed by, customer ID.");
}

QString EepromProgramming::imageFromPage(const Page& page, const BoardState& state, bool memoryBusy,
                                         bool full, EepromParameters* image) {
    QString why = notReadyText(
        state.eeprom.settings_read, state.eeprom.focus_read, state.loader.loader_list_complete,
        !full || state.eeprom.production_read, !full || state.eeprom.laser_read);
    if (why.isEmpty() && memoryBusy)
        why = busyText();
    *image = state.eeprom.image;
    if (page.loaderEntry > 0 && page.loaderCode >= 0)
        image->loader_code = static_cast<quint8>(page.loaderCode);
    else if (state.loader.loader_type_known)
        image->loader_code = state.loader.loader_type;
    image->baud_flag = page.baudByte == 0x01 ? 0x01 : 0xFF;
    image->focus_setting = page.focusEntry == 1 ? 0x01 : 0xFF;
    if (why.isEmpty() && !AudioByte::parse(page.audioByte, &image->audio_byte))
        why = AudioByte::invalidText();
    if (why.isEmpty() && full &&
        laserFromTexts(page.slope, page.offset, &image->laser_slope, &image->laser_offset, &why))
        ProductionRecord::fromPage(page.serial, page.flashedBy, page.customer, page.date, image,
                                   &why);
    return why;
}
