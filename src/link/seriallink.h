#ifndef SERIALLINK_H
#define SERIALLINK_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <functional>

class PortFactory;
class QIODevice;

// One serial link to a board: the device its factory hands it for the port, the bytes received
// and not yet framed, the framing pass with its guard against re-entry, and what happens when the
// device breaks (it is closed once and the link counts as lost until the next open succeeds). The
// board's link and the flag board's are two of these.
class SerialLink : public QObject {
    Q_OBJECT
public:
    // Which board a link reaches: the DK-61 board or the flag board.
    enum class Role { Board, Other };
    // Takes each frame (theirs to keep) and the end of each pass: plain calls, as they run for
    // every frame and every read of a busy link.
    using FrameHandler = std::function<void(QByteArray&& frame)>;
    using PassHandler = std::function<void()>;

    // Whether a port error leaves the port unusable (unplugged, broken pipe, refused open).
    static bool breaksLink(QSerialPort::SerialPortError error);
    // Whether this user may read and write the device node of a port name.
    static bool mayAccess(const QString& portName);

    explicit SerialLink(PortFactory& ports, QObject* parent = nullptr);
    ~SerialLink() override;

    void setHandlers(FrameHandler frames, PassHandler passes);
    void setPortName(const QString& name);
    QString portName() const { return name; }
    // The rate of the link; an open serial port takes it at once.
    void setBaudRate(int baud);
    int baudRate() const { return rate; }
    // Rate, 8 data bits, no parity, one stop bit, no flow control (taken at the next open).
    void applySettings(int baud);
    // Opens a new device for the port, for reading and writing; false when it would not open.
    bool open();
    void close();
    bool isOpen() const;
    QString errorString() const;
    // The device as a serial port, with the settings it was opened with; null while the link has
    // no device or its device is no serial port.
    const QSerialPort* serialPort() const { return serial; }
    // Writes the bytes and hands them to the device at once, so that the pacing of the requests
    // counts from when they left.
    void write(const QByteArray& bytes);

    // One framing pass over freshly read bytes: every complete frame is handed to the frame
    // handler before the next is cut; then the pass handler runs. An empty chunk does nothing.
    void receiveChunk(const QByteArray& chunk);
    // True while a framing pass hands its frames on (its end is the pass handler's call).
    bool inPass() const { return framing; }
    // Bytes received and not framed yet (the head of a frame still coming).
    const QByteArray& pendingBytes() const { return receiveBuffer; }
    // The chunk of the latest read and its size.
    const QByteArray& lastRead() const { return latestRead; }
    qint64 lastReadCount() const { return latestReadCount; }

    // A port error closed the link; cleared by the next successful open or by the operator.
    bool isLost() const { return lost; }
    void setLost(bool isLost) { lost = isLost; }
    // When the last open failed (invalid when the last open succeeded).
    const QElapsedTimer& failedOpenClock() const { return failedOpen; }
    // The last open failed because the system refuses this user the device (on Debian: not in
    // the group dialout), not because another program holds it.
    bool accessDenied() const { return denied; }

    // The buffer keeps room for ReceiveRoom bytes between passes.
    static constexpr int ReceiveRoom = 4096;

signals:
    // The buffer starts with the board's debug text (0xCC ...): the whole buffer at that moment.
    void debugTextReceived(const QByteArray& text);
    // The port broke and was closed.
    void broken();
    // A port error that did not close the link (or came while it was closed).
    void errorReported();

public slots:
    void read_data();
    void handleError(QSerialPort::SerialPortError error);

private:
    void dropBroken();
    void connectReadyRead();

    PortFactory& ports;
    QString name;
    int rate = QSerialPort::Baud9600;
    QIODevice* device = nullptr;
    QSerialPort* serial = nullptr;
    QMetaObject::Connection readyReadConnection;
    FrameHandler frameHandler;
    PassHandler passHandler;
    QByteArray receiveBuffer;
    QByteArray latestRead;
    qint64 latestReadCount = 0;
    bool lost = false;
    QElapsedTimer failedOpen;
    bool denied = false;
    // A framing pass runs (re-entry through a nested event loop waits for its end).
    bool framing = false;
    bool failurePending = false;
};

#endif // SERIALLINK_H
