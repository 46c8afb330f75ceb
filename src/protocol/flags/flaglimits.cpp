#include "flags/flaglimits.h"

#include <QSettings>

const char* const FlagLimits::Keys[5] = {"limitC1", "limitC1U", "limitC2", "limitC2U",
                                         "limitInterp"};

bool FlagLimits::any() const {
    for (const auto& limit : percent) {
        if (limit)
            return true;
    }
    return false;
}

FlagLimits FlagLimits::load(const QSettings& store) {
    FlagLimits limits;
    for (int k = 0; k < 5; ++k) {
        const QString key = QString::fromLatin1(Keys[k]);
        if (store.contains(key))
            parse(store.value(key).toString(), &limits.percent[k]);
    }
    return limits;
}

void FlagLimits::save(QSettings& store) const {
    for (int k = 0; k < 5; ++k) {
        const QString key = QString::fromLatin1(Keys[k]);
        if (percent[k])
            store.setValue(key, *percent[k]);
        else
            store.remove(key);
    }
}

bool FlagLimits::parse(const QString& text, std::optional<double>* limit) {
    const QString typed = text.trimmed();
    limit->reset();
    if (typed.isEmpty())
        return true;
    bool ok = false;
    const double value = QString(typed).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !(value >= 0.0) || value > 100.0)
        return false;
    *limit = value + 0.0; // (no "-0")
    return true;
}

QString FlagLimits::refusal(const QString& name, const QString& text,
                            std::optional<double>* limit) {
    if (parse(text, limit))
        return QString();
    return QStringLiteral("The %1 limit must be blank or a percentage from 0 to 100.").arg(name);
}

QString FlagLimits::text(const std::optional<double>& limit) {
    return limit ? QString::number(*limit) : QString();
}
