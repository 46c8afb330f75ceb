#ifndef SERIAL_INFO_H
#define SERIAL_INFO_H

#include "portenumerator.h"
#include "seriallink.h"

#include <QList>
#include <QObject>

#include <functional>

// Finds the USB-UART bridges among the serial ports and chooses the one the next open uses:
// the only free bridge silently, the remembered port silently when several are free, otherwise
// the operator's choice (the window's dialog, through the chooser). The board link and the flag
// board link each remember their own choice, so that reopening both never swaps the adapters
// between them.
class Serial_Info : public QObject {
    Q_OBJECT
public:
    using PortSource = std::function<QList<PortCandidate>()>;
    // Asks the operator for one of the free ports among `candidates` (modally); false when no
    // choice was made.
    using Chooser = std::function<bool(const QList<PortCandidate>& candidates, PortCandidate*)>;
    using Link = SerialLink::Role;

    explicit Serial_Info(QObject* parent = nullptr);
    ~Serial_Info() override;

    // Forgets the last scan (the chosen and the remembered port survive).
    void reset();
    // Scans the ports and chooses for `link`; may ask the operator through the chooser.
    void detect(Link link = Link::Board);
    PortCandidate selectedPortInfo() const { return selectedPort; }
    int desiredCount() const { return desiredTotal; }
    int freeDesiredCount() const { return freeDesired; }

    // Whether a scan now would choose a port without asking: one free bridge, or several with
    // the remembered port among the free ones. Scans, but changes nothing.
    bool canChooseSilently(Link link = Link::Board) const;
    // Where the ports come from (the program's port factory); without a source there are none.
    void setPortSource(PortSource source);
    // Without a chooser several free bridges leave the choice as it was.
    void setChooser(Chooser chooser) { choose = std::move(chooser); }
    // Takes the operator's choice for the link being chosen for.
    void manual_selection(const PortCandidate& chosen);

    QList<PortCandidate> candidates;
    int desiredTotal = 0;
    int freeDesired = 0;
    int lastFreeDesired = 0;
    PortCandidate selectedPort;
    bool hasRememberedPort = false;
    PortCandidate* rememberedPort = nullptr;
    // the flag board link's choice
    bool hasRememberedOtherPort = false;
    PortCandidate* rememberedOtherPort = nullptr;
    // One link's discovery is under way (its choice or its Retry/Abort question may be up); the
    // other link waits, as both share the scan and the remembered choices.
    bool discoveryRunning = false;

private:
    QList<PortCandidate> scanPorts() const;
    void remember(const PortCandidate& port);
    void forgetRememberedPort();
    // The remembered port of `link` among `ports` when it is present and free, else -1.
    int freeRememberedIndex(const QList<PortCandidate>& ports, Link link) const;

    PortSource portSource;
    Chooser choose;
    // the link the running detection chooses for
    Link choosingFor = Link::Board;
};

#endif // SERIAL_INFO_H
