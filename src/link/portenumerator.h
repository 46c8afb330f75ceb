#ifndef PORTENUMERATOR_H
#define PORTENUMERATOR_H

#include <QList>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

#include <functional>

// One serial port that the adapter discovery can offer: a port of the system or a virtual bridge.
struct PortCandidate {
    // What the system reports about the port; null for a virtual bridge.
    QSerialPortInfo info;
    // The name a QSerialPort opens: the system's port name ("ttyUSB0", "COM3") or, for a virtual
    // bridge, its device path.
    QString name;
    // A USB-UART bridge of the kind the boards use.
    bool bridge = false;
    // Held by a program (this one included) at the time of the scan.
    bool busy = false;

    QString portName() const { return name; }
    bool isEmpty() const { return name.isEmpty(); }
};

// Lists the serial ports present, tells the USB-UART bridges of the boards (Silicon Labs CP210x)
// from other ports and marks the ports another program holds.
//
// Windows recognises the bridge by its driver description; elsewhere the description comes from
// udev and differs, so there a CP210x vendor/product id marks a bridge as well. Besides the
// system's ports, virtual bridges may be named by their device paths (pseudo-terminals or symlinks
// to them, from the environment variable DK61_VIRTUAL_PORTS at start-up); every path that exists
// is offered as a bridge. The board simulator, the end-to-end tests and demos attach the tool to a
// board that way.
class PortEnumerator {
public:
    using SystemPorts = std::function<QList<QSerialPortInfo>()>;
    // Whether a link of this program holds the port (checked before asking the system).
    using HeldHere = std::function<bool(const QString& portName)>;

    static const char* const BridgeDescription;

    // `systemPorts` replaces QSerialPortInfo::availablePorts() (tests).
    explicit PortEnumerator(SystemPorts systemPorts = SystemPorts());
    void setVirtualPaths(const QStringList& paths) { virtualPaths = paths; }
    void setHeldHere(HeldHere held) { heldHere = std::move(held); }

    // Every port present, system ports first in the system's order, then the virtual bridges in
    // the order of the variable.
    QList<PortCandidate> scan() const;

    // The bridge rules, apart from any port: the driver description (any letter case) on every
    // platform, and on platforms other than Windows a CP210x vendor/product id.
    static bool isBridge(const QString& description, bool hasIds, quint16 vendorId,
                         quint16 productId, bool windows);
    static bool isBridge(const QSerialPortInfo& info);
    // Whether another holder has the device at `path`: a lock file of a living process (as
    // QSerialPort and other serial programs write them) or an exclusive open (TIOCEXCL).
    static bool isPathBusy(const QString& path);
    // The lock-file names QSerialPort uses for a port opened by `path` ("LCK..pts_3").
    static QStringList lockFileNames(const QString& path);

private:
    SystemPorts systemPorts;
    QStringList virtualPaths;
    HeldHere heldHere;
};

#endif // PORTENUMERATOR_H
