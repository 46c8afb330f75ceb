#include "shell/logging.h"

Q_LOGGING_CATEGORY(dk61App, "dk61.app", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Link, "dk61.link", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Frame, "dk61.frame", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Decode, "dk61.decode", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Console, "dk61.console", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Flags, "dk61.flags", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Files, "dk61.files", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Settings, "dk61.settings", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Eeprom, "dk61.eeprom", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Laser, "dk61.laser", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Service, "dk61.service", QtWarningMsg)
Q_LOGGING_CATEGORY(dk61Firmware, "dk61.firmware", QtWarningMsg)
