#ifndef CD_BOARD_H
#define CD_BOARD_H

#include "board/boarddecoder.h"
#include "board/boardframe.h"
#include "board/indexedlist.h"
#include "seriallink.h"
#include "service/servicemode.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class BoardWindow;
class CFlags;

// The protocol engine: the board link and the flag board link, the paced transmit queue, the
// frames received from both, and the decoder whose findings it turns into its signals and the
// window's updates.
class CD_Board : public QObject {
    Q_OBJECT

public:
    explicit CD_Board(QObject* parent = nullptr, BoardWindow* window = nullptr);
    ~CD_Board() override;

    BoardWindow* window = nullptr;

    // ================= links =================
    SerialLink link;      // the DK-61 board
    SerialLink otherLink; // the flag board
    int baudRate = 128000;
    bool userConnect = false;
    bool userDisconnect = false;

    void setPortName(const QString& name) { link.setPortName(name); }
    void setPortName_other(const QString& name) { otherLink.setPortName(name); }
    void setBaudRate(int baud);
    void applyPortSettings() { link.applySettings(baudRate); }
    void applyOtherPortSettings() { otherLink.applySettings(baudRate); }
    void openPort();
    void openOtherPort();
    void closePort();
    void closeOtherPort();
    bool isPortOpen() const { return link.isOpen(); }
    bool isOtherPortOpen() const { return otherLink.isOpen(); }

    // ================= transmit queue =================
    QByteArray sendBuffer;
    qint64 sendLength = 0;
    QList<QByteArray> txFrames;
    QList<int> txLengths;
    // Every request written so far, addressed by absolute index (read by the traffic view).
    IndexedList<QByteArray> sentFrames;
    IndexedList<int> sentLengths;
    bool transmitterIdle = true;
    QTimer pacingTimer;
    QTimer tagTimer;

    void send2(qint64 length);
    void send2();
    void sendRequest(const QByteArray& frame);
    void sendShortRequest(int n);
    void sendFlagInterval(int n);

    // ================= reception and decoding =================
    // Every complete frame received from either link, addressed by absolute index.
    IndexedList<BoardFrame> commands;
    qint64 parse_index = 0;
    // What the traffic view shows for show_debug_message(): the receive buffer at that moment.
    QByteArray debugText;
    BoardDecoder decoder;
    BoardState& state;
    QList<CFlags*> flag_records;

    // Decodes every frame not decoded yet, one at a time.
    void parseCommand();
    // Bytes as read from the board link.
    void receiveChunk(const QByteArray& chunk) { link.receiveChunk(chunk); }
    void parseEepromParameters(const BoardFrame& frame);

    // ================= EEPROM image and laser history =================
    void readLaserHistory() { startMemoryExchange(decoder.readLaserHistory()); }
    void readZeroByte() { startMemoryExchange(decoder.readZeroByte()); }
    void resetLaserHistory() { startMemoryExchange(decoder.resetLaserHistory()); }
    void clearPlayTime(int part);
    void writeZeroByte(const ZeroHourByte::Value& value) {
        startMemoryExchange(decoder.writeZeroByte(value));
    }

    // ---- production and laser ----
    // Ends a memory exchange whose next reply has not come within MemorySequence::TimeoutMs.
    QTimer memoryTimer;
    // Ends the memory exchange that runs (the programming chain gave up on it); no message.
    void cancelMemoryExchange();
    // Starts a programming run that writes `image` (decoder.eepromRun follows it).
    void startEepromRun(EepromRun::Kind kind, const EepromParameters& image);
    void stopEepromRun(const QString& text);
    // ---- end production and laser ----
    // ================= operator console and service functions =================
    ServiceMode serviceMode{state.service};
    // The requests in order (none: nothing is sent).
    void sendRequests(const QList<QByteArray>& requests);
    // Play with a mode byte: Get Disc Contents first when "PlayInit" is checked.
    void playWithMode(int mode);
    // A code of the board's loader list, or 0, becomes the loader type; false when refused.
    bool chooseLoaderType(quint8 code);
    // ================= end of operator console and service functions =================

signals:
    void connected_to_serial_port();
    void disconnected_from_serial_port();
    void connected_to_serial_port_other();
    void disconnected_from_serial_port_other();
    void transmission_error();
    void transmission_error_other();
    void send_bytes_ready();
    void parse_complete();
    void parse_complete_other();
    void show_debug_message();

    void recieved_fw_version();
    void recievedDiscID();
    void module_off();
    void service_mode_step(int step);
    void laser_push();
    void recievedLaserCurrent();
    void recievedSufficientAdc_1Samples();
    void recievedSufficientAdc_2Samples();
    void recieved_ev_loader_ok();
    void recieved_tray_status();
    void retrievedloaderTypeFromEeprom();
    void recievedEepromParameters(int num);
    void display_info_changed();
    void retrievedBaudrateSetting();
    void retrievedFocParamSetting();
    void retrievedProductionCode();
    void retrievedRuntime();
    void retrievedLaserParamters();
    // ---- production and laser ----
    void calculatedAdc_1();
    void calculatedAdc_2();
    // A memory exchange (history read, zero-hour byte read, history erase) ended without its
    // result; the text says which and why.
    void memoryExchangeFailed(const QString& text);
    // The programming run ended without success; the text says why.
    void eepromRunFailed(const QString& text);
    // The zero-hour byte write ended: the board holds the byte (`written`), or why not.
    void zeroByteWriteEnded(bool written, const QString& text);
    // ---- end production and laser ----
    // ---- operator console and service functions ----
    // Nothing in the board emits it, and the window does not listen: its Exit sends 5A 00, which
    // a board that has left service mode on its own must not get. The board's end report is
    // service_mode_step(-1).
    void exit_service_mode();
    // The board named its firmware for the first time since the link opened.
    void board_identified();

public slots:
    void sendData();
    void askforTag();
    void connect_disconnect();
    void connect_disconnect_other();
    void trans_error(QSerialPort::SerialPortError error) { link.handleError(error); }
    void trans_error_other(QSerialPort::SerialPortError error) { otherLink.handleError(error); }
    void read_data() { link.read_data(); }
    void read_data_other() { otherLink.read_data(); }
    // ---- production and laser: the two laser calibration points ----
    void getAdcValue_1() { state.laser.calibration.start(1); }
    void getAdcValue_2() { state.laser.calibration.start(2); }
    // ---- operator console: the play-mode menu (mode bytes 00..07) ----
    void play_normalPlay() { playWithMode(0); }
    void play_shuffleAll() { playWithMode(1); }
    void play_shuffleRepeatAllDisc() { playWithMode(2); }
    void play_shuffleFolder() { playWithMode(3); }
    void play_shuffleRepeatAllFolder() { playWithMode(4); }
    void play_repeatDisc() { playWithMode(5); }
    void play_repeatFolder() { playWithMode(6); }
    void play_repeatTrack() { playWithMode(7); }

protected:
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

private:
    friend struct BoardEventApplier;
    void frameReceived(QByteArray&& bytes);
    // Turns what the decoder found into requests, signals and window updates.
    void apply(DecodeOutcome& outcome);
    // Closes the board link and puts the status bar back to its start texts.
    void closeLink();
    // ---- production and laser ----
    void startMemoryExchange(const QByteArray& request);
    void memoryTimeOut();
    // The text of an exchange that ended without its result, for the page that started it.
    void reportMemoryFailure(const MemorySequence* sequence, const QString& text);

    DecodeOutcome reusedOutcome;
    bool applying = false;
    // Whether display_info_changed has a receiver: asked again after connections changed, as
    // every frame would otherwise pay for an emission that nothing receives.
    bool displayInfoHeard = true;
    bool displayInfoKnown = false;
};

#endif // CD_BOARD_H
