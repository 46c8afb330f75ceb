#ifndef LOGGING_H
#define LOGGING_H

#include <QLoggingCategory>

// One category per subsystem. All are silent by default; switch them on with, for example,
// QT_LOGGING_RULES="dk61.*.debug=true" or QT_LOGGING_RULES="dk61.link.debug=true".
Q_DECLARE_LOGGING_CATEGORY(dk61App)      // dk61.app: start-up, wiring, shut-down
Q_DECLARE_LOGGING_CATEGORY(dk61Link)     // dk61.link: adapters, ports, transmit queue
Q_DECLARE_LOGGING_CATEGORY(dk61Frame)    // dk61.frame: receive framing
Q_DECLARE_LOGGING_CATEGORY(dk61Decode)   // dk61.decode: response decoding
Q_DECLARE_LOGGING_CATEGORY(dk61Console)  // dk61.console: traffic view, typed requests
Q_DECLARE_LOGGING_CATEGORY(dk61Flags)    // dk61.flags: CFLAG records and plot
Q_DECLARE_LOGGING_CATEGORY(dk61Files)    // dk61.files: log and flag files
Q_DECLARE_LOGGING_CATEGORY(dk61Settings) // dk61.settings: settings store and window
Q_DECLARE_LOGGING_CATEGORY(dk61Eeprom)   // dk61.eeprom: EEPROM image and programming
Q_DECLARE_LOGGING_CATEGORY(dk61Laser)    // dk61.laser: laser calibration and history
Q_DECLARE_LOGGING_CATEGORY(dk61Service)  // dk61.service: service mode, loader calibration
Q_DECLARE_LOGGING_CATEGORY(dk61Firmware) // dk61.firmware: ISP tool

#endif // LOGGING_H
