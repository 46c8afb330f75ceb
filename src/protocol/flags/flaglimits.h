#ifndef FLAGLIMITS_H
#define FLAGLIMITS_H

#include <QString>

#include <array>
#include <optional>

class QSettings;

// The operator's limits on the five flag rates, in percent; a flag without a limit is never over
// it, and a limit of 0 means that any flagged frame is over it. Stored under "limitC1", "limitC1U",
// "limitC2", "limitC2U" and "limitInterp"; a key that is absent (or holds no number) means no
// limit.
class FlagLimits {
public:
    static const char* const Keys[5];

    std::array<std::optional<double>, 5> percent;

    bool any() const;
    // A rate is over the limit when it is above it.
    bool exceeds(int flag, double rate) const { return percent[flag] && rate > *percent[flag]; }

    static FlagLimits load(const QSettings& store);
    void save(QSettings& store) const;

    // A limit as typed: blank is no limit, else a number from 0 to 100 (a decimal comma is taken
    // as a point). False for anything else.
    static bool parse(const QString& text, std::optional<double>* limit);
    // The same for the limit of the flag named `name`: empty when taken, else why it is refused.
    static QString refusal(const QString& name, const QString& text, std::optional<double>* limit);
    // A limit as the settings window shows it (blank for none).
    static QString text(const std::optional<double>& limit);
};

#endif // FLAGLIMITS_H
