#ifndef SERVOLISTS_H
#define SERVOLISTS_H

#include <QString>
#include <QVector>

// The value lists of the servo settings that are computed rather than typed into the form, each
// item with its integer data, plus the CA start and focus INT lists, which the register dialog
// offers as well.
class ServoLists {
public:
    struct Item {
        int data = 0;
        QString text;
    };
    enum class List {
        FocLeadLength, // 1..16: 64 / n, one decimal when it has one
        RampIncrease,  // 0..255
        RampHeight,    // 0..127
        RampOffset,    // -128..127
        FeStart,       // "always", n/127, "continous"
        FocusGain,     // 1..255: 2048 / n, two decimals when it has them
        VelProp,       // 0..15: n / 64
        RadLeadLength, // "infinite", then 128 / n with one decimal
        RadialGain,    // 1..255: 256 / n
        SledgeGain,    // 7/32 and 9/32 times 1, 2, 4 .. 128
        CaStart,       // the form's CA start list, data = index
        FocusInt,      // the form's focus INT list, data = index
    };

    static QVector<Item> items(List list);
};

#endif // SERVOLISTS_H
