#ifndef SERIAL_INFO_H
#define SERIAL_INFO_H

#include "portenumerator.h"

#include <QList>
#include <QObject>

#include <functional>

class Serial_Selector;

// Finds the USB-UART bridges among the serial ports and chooses the one the next open uses:
// the only free bridge silently, the remembered port silently when several are free, otherwise
// the operator's choice in a dialog. The board link and the flag board link each remember their
// own choice, so that reopening both never swaps the adapters between them.
class Serial_Info : public QObject {
    Q_OBJECT
public:
    using PortSource = std::function<QList<PortCandidate>()>;
    enum class Link { Board, Other };

    explicit Serial_Info(QObject* parent = nullptr);
    ~Serial_Info() override;

    // Forgets the last scan (the chosen and the remembered port survive).
    void reset();
    // Scans the ports and chooses for `link`; may ask the operator in a modal dialog.
    void detect(Link link = Link::Board);
    PortCandidate selectedPortInfo() const { return selectedPort; }
    int desiredCount() const { return desiredTotal; }
    int freeDesiredCount() const { return freeDesired; }

    // Whether a scan now would choose a port without asking: one free bridge, or several with
    // the remembered port among the free ones. Scans, but changes nothing.
    bool canChooseSilently(Link link = Link::Board) const;
    // Where the ports come from; by default the platform's serial ports and the virtual bridges.
    void setPortSource(PortSource source);

    Serial_Selector* selector = nullptr;
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

public slots:
    void manual_selection();

private:
    QList<PortCandidate> scanPorts() const;
    void remember(const PortCandidate& port);
    void forgetRememberedPort();
    // The remembered port of `link` among `ports` when it is present and free, else -1.
    int freeRememberedIndex(const QList<PortCandidate>& ports, Link link) const;

    PortSource portSource;
    // the link the running detection chooses for
    Link choosingFor = Link::Board;
};

#endif // SERIAL_INFO_H
