#include "portenumerator.h"
#include "portfactory.h"
#include "ptypair.h"
#include "seriallink.h"

#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_portenumerator : public QObject {
    Q_OBJECT

private:
    static PortCandidate virtualPort(const QList<PortCandidate>& ports, const QString& name) {
        for (const PortCandidate& port : ports) {
            if (port.name == name)
                return port;
        }
        return PortCandidate();
    }
    static QList<PortCandidate> scanVirtual(const QStringList& paths) {
        PortEnumerator enumerator([] { return QList<QSerialPortInfo>(); });
        enumerator.setVirtualPaths(paths);
        return enumerator.scan();
    }

private slots:
    void bridgeRules_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("hasIds");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("windows");
        QTest::addColumn<bool>("bridge");
        const QString driver = "Silicon Labs CP210x USB to UART Bridge";
        QTest::newRow("driver description") << driver << false << 0 << 0 << true << true;
        QTest::newRow("other letter case")
            << "SILICON LABS cp210x usb to uart bridge" << false << 0 << 0 << true << true;
        QTest::newRow("description with a suffix")
            << driver + " (COM3)" << false << 0 << 0 << true << false;
        const QString udev = "CP2102 USB to UART Bridge Controller";
        for (int product : {0xEA60, 0xEA61, 0xEA63, 0xEA70, 0xEA71, 0xEA80})
            QTest::newRow(qPrintable(QString("linux CP210x %1").arg(product, 0, 16)))
                << udev << true << 0x10C4 << product << false << true;
        QTest::newRow("linux CP210x id, any description")
            << QString() << true << 0x10C4 << 0xEA60 << false << true;
        QTest::newRow("windows ignores the ids")
            << udev << true << 0x10C4 << 0xEA60 << true << false;
        QTest::newRow("other Silicon Labs product")
            << udev << true << 0x10C4 << 0x8A2A << false << false;
        QTest::newRow("FTDI") << "FT232R USB UART" << true << 0x0403 << 0x6001 << false << false;
        QTest::newRow("no ids") << udev << false << 0x10C4 << 0xEA60 << false << false;
        QTest::newRow("built-in port") << QString() << false << 0 << 0 << false << false;
    }
    void bridgeRules() {
        QFETCH(QString, description);
        QFETCH(bool, hasIds);
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, windows);
        QFETCH(bool, bridge);
        QCOMPARE(PortEnumerator::isBridge(description, hasIds, quint16(vendor), quint16(product),
                                          windows),
                 bridge);
    }

    void virtualPaths_fromEnvironment() {
        qputenv("DK61_VIRTUAL_PORTS", "/tmp/a::/dev/pts/9:");
        QCOMPARE(PortFactory::virtualPathsFromEnvironment(), QStringList({"/tmp/a", "/dev/pts/9"}));
        qunsetenv("DK61_VIRTUAL_PORTS");
        QVERIFY(PortFactory::virtualPathsFromEnvironment().isEmpty());
    }

    void virtualPorts_onlyExistingPathsAreBridges() {
        PtyPair pty;
        QVERIFY(pty.isValid());
        QTemporaryDir dir;
        const QString link = dir.filePath("board");
        QVERIFY(QFile::link(pty.slavePath(), link));
        const QString missing = dir.filePath("gone");
        QVERIFY(QFile::link("/dev/pts/999999", missing));

        const QList<PortCandidate> ports = scanVirtual({missing, link, pty.slavePath()});
        QCOMPARE(ports.size(), 2);
        QCOMPARE(ports.at(0).portName(), link);
        QCOMPARE(ports.at(1).portName(), pty.slavePath());
        for (const PortCandidate& port : ports) {
            QVERIFY(port.bridge);
            QVERIFY(!port.busy);
            QVERIFY(port.info.isNull());
        }
    }

    // The factory offers the bridges it was given at start-up; the variable is not read again.
    void factory_offersItsVirtualBridges() {
        PtyPair pty;
        PtyPair other;
        QVERIFY(pty.isValid() && other.isValid());
        PortFactory factory({pty.slavePath()});
        qputenv("DK61_VIRTUAL_PORTS", other.slavePath().toLocal8Bit());
        const QList<PortCandidate> ports = factory.scan();
        qunsetenv("DK61_VIRTUAL_PORTS");
        QVERIFY(!virtualPort(ports, pty.slavePath()).isEmpty());
        QVERIFY(virtualPort(ports, other.slavePath()).isEmpty());
    }

    // A port one of the factory's links holds is busy for the next scan, and free once the link
    // closed it; the link's device is the factory's serial port.
    void factory_portHeldByItsLinkIsBusy() {
        PtyPair pty;
        QVERIFY(pty.isValid());
        PortFactory factory({pty.slavePath()});
        SerialLink link(factory);
        link.setPortName(pty.slavePath());
        link.applySettings(115200);
        QVERIFY(link.open());
        QCOMPARE(link.serialPort()->baudRate(), 115200);
        QVERIFY(factory.isHeldOpen(pty.slavePath()));
        QVERIFY(virtualPort(factory.scan(), pty.slavePath()).busy);
        link.close();
        QVERIFY(!factory.isHeldOpen(pty.slavePath()));
        QVERIFY(!virtualPort(factory.scan(), pty.slavePath()).busy);
    }

    // A port held by a QSerialPort (of this process or another) is busy, whether it was opened
    // through the symlink or the device path, and free again once it is closed.
    void virtualPorts_heldPortIsBusy_data() {
        QTest::addColumn<bool>("openThroughLink");
        QTest::addColumn<bool>("scanThroughLink");
        QTest::newRow("held by link, seen by link") << true << true;
        QTest::newRow("held by path, seen by path") << false << false;
        QTest::newRow("held by path, seen by link") << false << true;
    }
    void virtualPorts_heldPortIsBusy() {
        QFETCH(bool, openThroughLink);
        QFETCH(bool, scanThroughLink);
        PtyPair pty;
        QVERIFY(pty.isValid());
        QTemporaryDir dir;
        const QString link = dir.filePath("flags");
        QVERIFY(QFile::link(pty.slavePath(), link));

        QSerialPort holder(openThroughLink ? link : pty.slavePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const QString seen = scanThroughLink ? link : pty.slavePath();
        QVERIFY(PortEnumerator::isPathBusy(seen));
        QCOMPARE(scanVirtual({seen}).value(0).busy, true);
        holder.close();
        QVERIFY(!PortEnumerator::isPathBusy(seen));
    }

    void lockFileOfDeadProcess_isStale() {
        PtyPair pty;
        QVERIFY(pty.isValid());
        const QStringList names = PortEnumerator::lockFileNames(pty.slavePath());
        QCOMPARE(names.value(0), "LCK.." + pty.slavePath().mid(5).replace('/', '_'));
        QFile lock("/tmp/" + names.value(0));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147483600\ndead\nhost\n");
        lock.close();
        const bool stale = !PortEnumerator::isPathBusy(pty.slavePath());
        QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(QByteArray::number(QCoreApplication::applicationPid()) + "\nalive\nhost\n");
        lock.close();
        const bool held = PortEnumerator::isPathBusy(pty.slavePath());
        lock.remove();
        QVERIFY(stale);
        QVERIFY(held);
    }

    void systemPortsComeFirst() {
        PtyPair pty;
        QVERIFY(pty.isValid());
        const QList<QSerialPortInfo> system = QSerialPortInfo::availablePorts();
        PortEnumerator enumerator([system] { return system; });
        enumerator.setVirtualPaths({pty.slavePath()});
        const QList<PortCandidate> ports = enumerator.scan();
        QCOMPARE(ports.size(), system.size() + 1);
        for (int i = 0; i < system.size(); ++i) {
            QCOMPARE(ports.at(i).portName(), system.at(i).portName());
            QCOMPARE(ports.at(i).bridge, PortEnumerator::isBridge(system.at(i)));
        }
        QCOMPARE(ports.last().portName(), pty.slavePath());
    }
};

QTEST_GUILESS_MAIN(tst_portenumerator)
#include "tst_portenumerator.moc"
