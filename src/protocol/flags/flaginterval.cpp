#include "flags/flaginterval.h"

int FlagInterval::milliseconds(int setting) {
    switch (setting) {
    case 2:
        return 170;
    case 3:
        return 30;
    default:
        return 1000;
    }
}

int FlagInterval::settingFor(int ms) {
    for (int setting = 1; setting <= 3; ++setting) {
        if (milliseconds(setting) == ms)
            return setting;
    }
    return 0;
}

double FlagInterval::frames(int setting) {
    return milliseconds(setting) * 7350 / 1000.0;
}

QString FlagInterval::text(int setting) {
    const int ms = milliseconds(setting);
    return ms == 1000 ? QStringLiteral("1 s") : QStringLiteral("%1 ms").arg(ms);
}

StatusWording::Text FlagInterval::status(int reported, int chosen) {
    StatusWording::Text label;
    label.shown = true;
    if (reported == 0) {
        label.text = QStringLiteral("  Interval: not reported  ");
        label.colour = StatusWording::Colour::Red;
    } else if (milliseconds(reported) == milliseconds(chosen)) {
        label.text = QStringLiteral("  Interval: %1  ").arg(text(reported));
        label.colour = StatusWording::Colour::Green;
    } else {
        label.text =
            QStringLiteral("  Interval: %1 (asked: %2)  ").arg(text(reported), text(chosen));
        label.colour = StatusWording::Colour::Red;
    }
    return label;
}
