#ifndef BOARDREPORTS_H
#define BOARDREPORTS_H

#include "board/statuswording.h"

#include <QObject>
#include <QString>

class CFlags;

// What the board tells the window: the only road from the board to the window is these signals.
// The signals that fire for every frame or every record are emitted only while something
// listens (heard()).
class BoardReports : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // ---- the links ----
    void connected_to_serial_port();
    void disconnected_from_serial_port();
    void connected_to_serial_port_other();
    void disconnected_from_serial_port_other();
    void transmission_error();
    void transmission_error_other();
    // The operator asked for a closed link: adapter discovery and open are due.
    void startup_requested();
    void startup_other_requested();
    void send_bytes_ready();
    void parse_complete();
    void parse_complete_other();
    void show_debug_message();
    // The status bar's texts and colours, the status of a CFLAG record for them (worded by
    // StatusWording::flagStatus), and what is added to them.
    void statusBarChanged(const StatusWording::Bar& bar);
    void flagStatusReported(int error, bool fromFlagBoard);
    void flagFirmwareReported(int version);
    void loaderTypeReported(const QString& text);

    // ---- decoded frames ----
    void recieved_fw_version();
    // The board named its firmware for the first time since the link opened.
    void board_identified();
    void recievedDiscID();
    void discIdCleared();
    void pllStateReported(int state);
    void module_off();
    void service_mode_step(int step);
    // Nothing in the board emits it, and the window does not listen: its Exit sends 5A 00, which
    // a board that has left service mode on its own must not get. The board's end report is
    // service_mode_step(-1).
    void exit_service_mode();
    void laserReading(quint16 value);
    void laser_push();
    void recievedLaserCurrent();
    void recievedSufficientAdc_1Samples();
    void recievedSufficientAdc_2Samples();
    void calculatedAdc_1();
    void calculatedAdc_2();
    void recieved_ev_loader_ok();
    void recieved_tray_status();
    void loaderListCleared();
    void loaderEntryAdded(const QString& text, int code);
    void loaderEntrySelected(int code);
    void retrievedloaderTypeFromEeprom();
    // A CFLAG record was added to flagRecords().
    void flagRecordAdded(CFlags* record, bool fromFlagBoard);
    void display_info_changed();

    // ---- EEPROM image and laser history ----
    void retrievedBaudrateSetting();
    void retrievedFocParamSetting();
    void retrievedProductionCode();
    void retrievedRuntime();
    void retrievedLaserParamters();
    // The board refused an EEPROM write.
    void eepromWriteRefused();
    void recievedEepromParameters(int num);
    // The programming run ended without success; the text says why.
    void eepromRunFailed(const QString& text);
    void laserHistoryRead(int runtime, int last_index, const quint8* values,
                          const quint8* values_t);
    void zeroByteRead(int zerobyte);
    // The zero-hour byte write ended: the board holds the byte (`written`), or why not.
    void zeroByteWriteEnded(bool written, const QString& text);
    // A memory exchange (history read, zero-hour byte read, history erase) ended without its
    // result; the text says which and why.
    void memoryExchangeFailed(const QString& text);

protected:
    // Whether the signals of every frame and every record have receivers: asked again after
    // connections changed, as every frame would otherwise pay for emissions nothing receives.
    struct Heard {
        bool known = false;
        bool displayInfo = true;
        bool flagRecord = true;
        bool flagStatus = true;
    };
    const Heard& heard();
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

private:
    Heard receivers;
};

#endif // BOARDREPORTS_H
