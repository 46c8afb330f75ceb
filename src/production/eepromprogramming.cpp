#include "eepromprogramming.h"

#include "eepromlayout.h"

#include <QStringList>

#include <cmath>

namespace {

QByteArray memoryWrite(int high, int low, const QByteArray& data) {
    QByteArray frame;
    frame.append(char(0x60));
    frame.append(static_cast<char>(data.size()));
    frame.append(static_cast<char>(high));
    frame.append(static_cast<char>(low));
    frame.append(data);
    return frame;
}

bool finiteFloat(const QString& text, float* value) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 3.4e38)
        return false;
    *value = static_cast<float>(number);
    return true;
}

} // namespace

EepromProgramming::Step EepromProgramming::stepPlan(int step, const Image& image) {
    Step plan;
    plan.valid = true;
    switch (step) {
    case 0:
        plan.writes << EepromLayout::historyEraseWrite(EepromLayout::HistoryFirstPage, false);
        plan.progress = 1;
        plan.text = QStringLiteral("Deleting Laser History");
        plan.timeoutMs = 3000;
        plan.state = HistoryEraseState;
        break;
    case 1:
        plan.writes << EepromLayout::runtimeClearWrite(1) << EepromLayout::runtimeClearWrite(2);
        plan.progress = 1;
        plan.text = QStringLiteral("Flashing Runtime");
        plan.timeoutMs = 1000;
        plan.state = 1;
        plan.readBack = EepromLayout::memoryRead(16, 0x00, 0x00);
        break;
    case 3:
        plan.writes << memoryWrite(0x0F, 0x08,
                                   EepromLayout::laserBytes(image.laser_slope, image.laser_offset));
        plan.progress = 2;
        plan.text = QStringLiteral("Flashing Laser Parameters");
        plan.timeoutMs = 1000;
        plan.state = 3;
        plan.readBack = EepromLayout::memoryRead(8, 0x0F, 0x08);
        break;
    case 5:
        plan.writes << memoryWrite(0x10, 0x00,
                                   QByteArray(reinterpret_cast<const char*>(image.production_bytes),
                                              sizeof image.production_bytes));
        plan.progress = 3;
        plan.text = QStringLiteral("Flashing Production Code");
        plan.timeoutMs = 1000;
        plan.state = 5;
        plan.readBack = EepromLayout::memoryRead(8, 0x10, 0x00);
        break;
    case 7: {
        QByteArray block(9, char(0));
        block[0] = static_cast<char>(image.audio_byte);
        block[4] = static_cast<char>(image.loader_type);
        block[5] = static_cast<char>(image.settings_spare);
        block[8] = static_cast<char>(image.baud_flag);
        plan.writes << memoryWrite(0x21, 0x00, block);
        plan.progress = 4;
        plan.text = QStringLiteral("Flashing Loader Type, Audiobyte and baudrate");
        plan.timeoutMs = 1000;
        plan.state = 7;
        plan.readBack = EepromLayout::memoryRead(9, 0x21, 0x00);
        break;
    }
    case 8:
        plan.writes << memoryWrite(0x11, 0x00,
                                   QByteArray(1, static_cast<char>(image.focus_setting_to_write)));
        plan.progress = 5;
        plan.text = QStringLiteral("Flashing focus gain setting");
        plan.timeoutMs = 1000;
        plan.state = 8;
        plan.readBack = EepromLayout::memoryRead(1, 0x11, 0x00);
        break;
    case LastStep:
        plan.progress = ProgressMaximum;
        plan.text = QStringLiteral("Flashing Complete and Succesfull!");
        plan.state = 0;
        break;
    default:
        plan.valid = false;
        break;
    }
    return plan;
}

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

bool EepromProgramming::laserFromTexts(const QString& slopeText, const QString& offsetText,
                                       float* slope, float* offset, QString* message) {
    float k = 0;
    float d = 0;
    if (!finiteFloat(slopeText, &k) || !finiteFloat(offsetText, &d)) {
        if (message)
            *message = QStringLiteral("Laser Curve Derivative and Offset must be Numbers!");
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
