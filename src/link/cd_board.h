#ifndef CD_BOARD_H
#define CD_BOARD_H

#include "board/boarddecoder.h"
#include "board/framejournal.h"
#include "boardeventapplier.h"
#include "boardreports.h"
#include "console/playerrequests.h"
#include "seriallink.h"
#include "service/servicemode.h"
#include "transmitqueue.h"

#include <QTimer>

class CFlags;
class PortFactory;

// The board: its two links (the DK-61 board's and the flag board's, one type used twice), the
// paced transmit queue, the journal of frames both ways, and the decoder with the board state it
// fills. What the board has to tell reaches the window through its signals.
class CD_Board : public BoardReports {
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
    void sendRequest(const QByteArray& frame) { queue.send(frame); }
    void sendRequests(const QList<QByteArray>& requests) { queue.send(requests); }
    // The one-byte request A0 | n (the flag board's interval).
    void sendShortRequest(int n) { queue.send(QByteArray(1, char(0xA0 | (n & 0x0F)))); }
    void sendFlagInterval(int n) { sendShortRequest(n); }
    TransmitQueue& transmitQueue() { return queue; }

    // ---- frames received, decoding, board state ----
    FrameJournal& journal() { return frames; }
    const FrameJournal& journal() const { return frames; }
    // Bytes as read from the board link.
    void receiveChunk(const QByteArray& chunk) { boardLink.receiveChunk(chunk); }
    // Decodes every frame not decoded yet, one at a time.
    void parseCommand() { applier.decodePending(); }
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
    void setTimeouts(const Timeouts& timeouts) {
        waits = timeouts;
        decoder_.setTimeouts(timeouts.memoryMs, timeouts.eepromRequestMs);
    }
    const Timeouts& timeouts() const { return waits; }
    // A code of the board's loader list, or 0, becomes the loader type; false when refused.
    bool chooseLoaderType(quint8 code);
    // Play with a mode byte: Get Disc Contents first when "PlayInit" is checked.
    void playWithMode(int mode);

public slots:
    void sendData() { queue.sendData(); }
    void askforTag() { sendRequest(PlayerRequests::trackTag(state().player.current_track)); }
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

private:
    friend class BoardEventApplier;
    void announce(Link which, bool opened);
    // The board link went down: what was learnt on it and the status bar back to their start.
    void resetLinkState();

    SerialLink boardLink;
    SerialLink flagLink;
    int rate = 128000;
    FrameJournal frames;
    TransmitQueue queue{boardLink, frames};
    QTimer tagTimer;
    QByteArray shownDebugText;
    BoardDecoder decoder_;
    ServiceMode service{decoder_.state.service};
    QList<CFlags*> flag_records;
    Timeouts waits;
    BoardEventApplier applier{*this};
};

#endif // CD_BOARD_H
