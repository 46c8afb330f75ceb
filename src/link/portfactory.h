#ifndef PORTFACTORY_H
#define PORTFACTORY_H

#include "portenumerator.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QIODevice;
class SerialLink;

// Where the links get their serial devices and the adapter discovery its list of ports: the
// system's serial ports and the virtual bridges named at start-up (device paths of
// pseudo-terminals, as the board simulator offers them). The program makes one at start-up and
// hands it to the board's links and to the adapter discovery; tests hand in one whose devices are
// in-process loopbacks.
class PortFactory {
public:
    explicit PortFactory(const QStringList& virtualPaths = {});
    virtual ~PortFactory();
    PortFactory(const PortFactory&) = delete;
    PortFactory& operator=(const PortFactory&) = delete;

    static const char* const VirtualPortsVariable;
    // The paths DK61_VIRTUAL_PORTS names (colon-separated, empty entries dropped): read once, by
    // the program's start-up.
    static QStringList virtualPathsFromEnvironment();
    void setVirtualPaths(const QStringList& paths) { virtualPaths = paths; }

    // Every port present, system ports first, then the virtual bridges that exist; a port is busy
    // when a link of this factory holds it open or another program holds it.
    virtual QList<PortCandidate> scan() const;
    // A closed device for the port `portName`, whose port errors reach `link`; the caller owns it.
    virtual QIODevice* createDevice(const QString& portName, SerialLink& link);

    // Whether one of the links made with this factory holds the port open.
    bool isHeldOpen(const QString& portName) const;
    // Links tell their factory that they exist (their constructor and destructor do).
    void addLink(const SerialLink* link) { links.insert(link); }
    void removeLink(const SerialLink* link) { links.remove(link); }

private:
    QStringList virtualPaths;
    QSet<const SerialLink*> links;
};

#endif // PORTFACTORY_H
