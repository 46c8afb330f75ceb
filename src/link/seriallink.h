#ifndef SERIALLINK_H
#define SERIALLINK_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QObject>
#include <QSerialPort>

#include <functional>

class QIODevice;

// One serial link to a board: the port, the bytes received and not yet framed, the framing pass
// with its guard against re-entry, and what happens when the port breaks (it is closed once and
// the link counts as lost until the next open succeeds).
class SerialLink : public QObject {
    Q_OBJECT
public:
    // Hands out the device a link opens instead of its serial port (in-process loopbacks for
    // tests and benchmarks; such a device reports its port errors to the link's handleError()).
    // Without one, or when it hands out none, links open their serial port.
    using DeviceFactory = std::function<QIODevice*(SerialLink& link, const QString& portName)>;
    static void setDeviceFactory(DeviceFactory factory);
    // Whether one of this process's links holds the port open.
    static bool isHeldOpen(const QString& portName);
    // Whether a port error leaves the port unusable (unplugged, broken pipe, refused open).
    static bool breaksLink(QSerialPort::SerialPortError error);

    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    QSerialPort port;

    void setPortName(const QString& name);
    QString portName() const { return port.portName(); }
    void setBaudRate(int baud);
    int baudRate() const { return port.baudRate(); }
    // Rate, 8 data bits, no parity, one stop bit, no flow control.
    void applySettings(int baud);
    // Opens for reading and writing; false when the port would not open.
    bool open();
    void close();
    bool isOpen() const;
    QString errorString() const;
    // Writes the bytes and hands them to the device at once, so that the pacing of the requests
    // counts from when they left.
    void write(const QByteArray& bytes);

    // One framing pass over freshly read bytes: every complete frame is handed to the frame
    // handler before the next is cut; then the pass handler runs. An empty chunk does nothing.
    void receiveChunk(const QByteArray& chunk);
    // Take each frame (theirs to keep) and the end of each pass: plain calls, as they run for
    // every frame and every read of a busy link.
    std::function<void(QByteArray&& frame)> frameHandler;
    std::function<void()> passHandler;

    // Bytes received and not framed yet; it keeps room for ReceiveRoom bytes between passes.
    static constexpr int ReceiveRoom = 4096;
    QByteArray receiveBuffer;
    QByteArray lastRead;
    qint64 lastReadCount = 0;
    // A port error closed the link; cleared by the next successful open or by the operator.
    bool linkLost = false;
    // When the last open failed (invalid when the last open succeeded).
    QElapsedTimer failedOpenClock;
    // The last open failed because the system refuses this user the device (on Debian: not in
    // the group dialout), not because another program holds it.
    bool accessDenied = false;
    // Whether this user may read and write the device node of a port name.
    static bool mayAccess(const QString& portName);

signals:
    // The buffer starts with the board's debug text (0xCC ...): the whole buffer at that moment.
    void debugTextReceived(const QByteArray& text);
    // The port broke and was closed.
    void lost();
    // A port error that did not close the link (or came while it was closed).
    void errorReported();

public slots:
    void read_data();
    void handleError(QSerialPort::SerialPortError error);

    // True while a framing pass hands its frames on (its end is the pass handler's call).
    bool inPass() const { return framing; }

private:
    void dropBroken();
    void connectReadyRead();

    QIODevice* device;
    QIODevice* factoryDevice = nullptr;
    QMetaObject::Connection readyReadConnection;
    // A framing pass runs (re-entry through a nested event loop waits for its end).
    bool framing = false;
    bool failurePending = false;
};

#endif // SERIALLINK_H
