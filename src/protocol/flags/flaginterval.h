#ifndef FLAGINTERVAL_H
#define FLAGINTERVAL_H

#include "board/statuswording.h"

#include <QString>

// The flag board's statistics intervals: setting 1 counts over 7350 audio frames (1 s), 2 over
// 1250 (170 ms), 3 over 220 (30 ms). The board reports the setting it uses in the low nibble of
// every 14-byte record's status byte.
class FlagInterval {
public:
    // Milliseconds of a setting; anything but 2 and 3 counts as 1 s, as on the flag plot.
    static int milliseconds(int setting);
    // The setting of an interval given in milliseconds; 0 when there is none of that length.
    static int settingFor(int milliseconds);
    // Audio frames of a setting as the flag plot counts them (seconds x 7350: 7350, 1249.5,
    // 220.5); a count over these frames is the plotted rate.
    static double frames(int setting);
    // "1 s", "170 ms", "30 ms".
    static QString text(int setting);
    // The status bar's interval label: the setting the board reports (0 while none was reported
    // since the link opened) against the one the operator chose.
    static StatusWording::Text status(int reported, int chosen);
};

#endif // FLAGINTERVAL_H
