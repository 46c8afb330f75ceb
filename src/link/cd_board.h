#ifndef CD_BOARD_H
#define CD_BOARD_H

#include "board/boarddecoder.h"
#include "board/framejournal.h"
#include "board/statuswording.h"
#include "seriallink.h"
#include "service/servicemode.h"
#include "transmitqueue.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class CFlags;
class PortFactory;

// The board: its two links (the DK-61 board's and the flag board's, one type used twice), the
// paced transmit queue, the journal of frames both ways, and the decoder with the board state it
// fills. What the board has to tell reaches the window through its signals.
class CD_Board : public QObject {
    Q_OBJECT

public:
    using Link = SerialLink::Role;
    // How long a memory exchange and a programming step wait for their replies.
    struct Timeouts {
        int memoryMs = MemorySequence::TimeoutMs;
        int eepromRequestMs = EepromRun::TimeoutPerRequestMs;
    };

    explicit CD_Board(PortFactory& ports, QObject* parent = nullptr);
    ~CD_Board() override;

    // ---- the links ----
    SerialLink& link(Link which = Link::Board) {
        return which == Link::Board ? boardLink : flagLink;
    }
    const SerialLink& link(Link which = Link::Board) const {
        return which == Link::Board ? boardLink : flagLink;
    }
    // Opens the link on the port named before (the result shows as an open link or not).
    void open(Link which);
    void close(Link which);
    // The operator's connect button: closes an open link, or asks for the link to be started.
    void toggle(Link which);
    int baudRate() const { return rate; }
    void setBaudRate(int baud);
    void setPortName(const QString& name) { boardLink.setPortName(name); }
    void setPortName_other(const QString& name) { flagLink.setPortName(name); }
    void applyPortSettings() { boardLink.applySettings(rate); }
    void applyOtherPortSettings() { flagLink.applySettings(rate); }
    void openPort() { open(Link::Board); }
    void openOtherPort() { open(Link::Other); }
    void closePort() { close(Link::Board); }
    bool isPortOpen() const { return boardLink.isOpen(); }
    bool isOtherPortOpen() const { return flagLink.isOpen(); }

    // ---- requests, all to the board link ----
    void send2(qint64 length);
    void send2() { send2(sendLength); }
    void sendRequest(const QByteArray& frame);
    void sendRequests(const QList<QByteArray>& requests);
    void sendShortRequest(int n);
    void sendFlagInterval(int n) { sendShortRequest(n); }
    TransmitQueue& transmitQueue() { return queue; }

    // ---- frames received, decoding, board state ----
    FrameJournal& journal() { return frames; }
    const FrameJournal& journal() const { return frames; }
    // Bytes as read from the board link.
    void receiveChunk(const QByteArray& chunk) { boardLink.receiveChunk(chunk); }
    // Decodes every frame not decoded yet, one at a time.
    void parseCommand();
    // What the traffic view shows for show_debug_message(): the receive buffer at that moment.
    const QByteArray& debugText() const { return shownDebugText; }
    BoardState& state() { return decoder_.state; }
    const BoardState& state() const { return decoder_.state; }
    const BoardDecoder& decoder() const { return decoder_; }
    // (The decoder fuzz target puts it into the states it starts from.)
    BoardDecoder& decoder() { return decoder_; }
    ServiceMode& serviceMode() { return service; }
    // The CFLAG records in arrival order, owned by the board; the flag plot lets go of those that
    // left its window.
    QList<CFlags*>& flagRecords() { return flag_records; }
    const QList<CFlags*>& flagRecords() const { return flag_records; }

    // ---- EEPROM image, laser history, loader, player ----
    // Memory exchanges: each request waits for its reply within timeouts().memoryMs.
    void readLaserHistory() { sendRequest(decoder_.readLaserHistory()); }
    void readZeroByte() { sendRequest(decoder_.readZeroByte()); }
    void resetLaserHistory() { sendRequest(decoder_.resetLaserHistory()); }
    void writeZeroByte(const ZeroHourByte::Value& value) {
        sendRequest(decoder_.writeZeroByte(value));
    }
    // Starts a programming run that writes `image` (decoder().eepromRun follows it).
    void startEepromRun(EepromRun::Kind kind, const EepromParameters& image);
    void stopEepromRun(const QString& text);
    void setTimeouts(const Timeouts& timeouts);
    const Timeouts& timeouts() const { return waits; }
    // A code of the board's loader list, or 0, becomes the loader type; false when refused.
    bool chooseLoaderType(quint8 code);
    // Play with a mode byte: Get Disc Contents first when "PlayInit" is checked.
    void playWithMode(int mode);

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

public slots:
    void sendData() { queue.sendData(); }
    void askforTag();
    void connect_disconnect() { toggle(Link::Board); }
    void connect_disconnect_other() { toggle(Link::Other); }
    void trans_error(QSerialPort::SerialPortError error) { boardLink.handleError(error); }
    void trans_error_other(QSerialPort::SerialPortError error) { flagLink.handleError(error); }
    void read_data() { boardLink.read_data(); }
    void read_data_other() { flagLink.read_data(); }
    // ---- the two laser calibration points ----
    void getAdcValue_1() { state().laser.calibration.start(1); }
    void getAdcValue_2() { state().laser.calibration.start(2); }
    // ---- the play-mode menu (mode bytes 00..07) ----
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
    friend class BoardEventApplier;
    void frameReceived(QByteArray&& bytes);
    // Turns what the decoder found into requests and signals.
    void apply(DecodeOutcome& outcome);
    // Runs a step of the decoder outside a frame and applies what it found.
    template <typename Step> void decodeWith(Step step) {
        DecodeOutcome out;
        step(out);
        apply(out);
    }
    void announce(Link which, bool opened);
    // The board link went down: the link flags and the status bar back to their start.
    void resetLinkState();

    SerialLink boardLink;
    SerialLink flagLink;
    int rate = 128000;
    FrameJournal frames;
    TransmitQueue queue{boardLink, frames};
    // The request being composed, and the byte count of the last one handed over.
    QByteArray sendBuffer;
    qint64 sendLength = 0;
    QTimer tagTimer;
    QByteArray shownDebugText;
    BoardDecoder decoder_;
    ServiceMode service{decoder_.state.service};
    QList<CFlags*> flag_records;
    Timeouts waits;
    DecodeOutcome reusedOutcome;
    bool applying = false;
    // Whether the signals of every frame and every record have receivers: asked again after
    // connections changed, as every frame would otherwise pay for emissions nothing receives.
    struct Heard {
        bool known = false;
        bool displayInfo = true;
        bool flagRecord = true;
        bool flagStatus = true;
    };
    const Heard& heard() {
        if (!receivers.known)
            askReceivers();
        return receivers;
    }
    void askReceivers();
    Heard receivers;
};

#endif // CD_BOARD_H
