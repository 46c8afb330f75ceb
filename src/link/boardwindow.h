#ifndef BOARDWINDOW_H
#define BOARDWINDOW_H

#include "board/statuswording.h"

#include <QString>

class CFlags;

// What the board tells its window directly, besides its signals: the window implements it.
class BoardWindow {
public:
    virtual ~BoardWindow() = default;

    // Adapter discovery and opening of the board link / the flag board link.
    virtual void startup() = 0;
    virtual void startup_other() = 0;

    virtual void showStatusBar(const StatusWording::Bar& bar) = 0;
    virtual void appendFlagFirmware(int version) = 0;
    virtual void showLoaderType(const QString& text) = 0;
    // The board refused an EEPROM write.
    virtual void handleEepromState() = 0;
    virtual void showPllState(int state) = 0;
    virtual void clearDiscId() = 0;
    virtual void pushLaserReading(quint16 value) = 0;
    // A CFLAG record was added to the board's list: to the flag file, its consumers and the plot.
    virtual void flagRecordAdded(CFlags* record, bool fromFlagBoard) = 0;
    // The loader list on the EEPROM page.
    virtual void clearLoaderList() = 0;
    virtual void addLoaderEntry(const QString& text, int code) = 0;
    virtual bool selectLoaderEntry(int code) = 0;
    // The laser current page.
    virtual void plotLaserHistory(int runtime, int last_index, const quint8* values,
                                  const quint8* values_t) = 0;
    virtual void plotZeroByte(int zerobyte) = 0;
};

#endif // BOARDWINDOW_H
