#ifndef HEXFILE_H
#define HEXFILE_H

#include <QString>

class QIODevice;

// The Intel hex file handed to the ISP tool, checked before the board's port is given up for it.
// lpc21isp takes records with a wrong checksum as they stand and flashes a file cut short up to
// where it ends, then verifies the flash against what it read: a damaged file would be reported
// as flashed and verified. Every record must therefore be whole, hexadecimal and carry its
// checksum, the data must fit the flash, and the file must end with its end record.
class HexFile {
public:
    // The largest flash of the LPC microcontrollers the tool flashes.
    static constexpr quint32 FlashBytes = 512 * 1024;

    // Empty when the file may be flashed; otherwise why not, for the flash page's error label.
    static QString check(const QString& path);
    static QString check(QIODevice& file);
};

#endif // HEXFILE_H
