#include "board/serial_selector.h"
#include "serial_info.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// "ttyUSB0 bridge busy" -> a candidate named ttyUSB0 that is a busy bridge.
QList<PortCandidate> portsFrom(const QStringList& specs) {
    QList<PortCandidate> ports;
    for (const QString& spec : specs) {
        const QStringList words = spec.split(' ');
        PortCandidate port;
        port.name = words.value(0);
        port.bridge = words.contains("bridge");
        port.busy = words.contains("busy");
        ports.append(port);
    }
    return ports;
}

PortCandidate named(const QString& name) {
    PortCandidate port;
    port.name = name;
    port.bridge = true;
    return port;
}

// Answers the choice dialog when it comes up: picks the entry `pick`, or closes the dialog
// without a choice when `pick` is empty. Records what the dialog offered.
class DialogDriver : public QObject {
public:
    explicit DialogDriver(const QString& pick) : pick(pick) {
        connect(&poll, &QTimer::timeout, this, [this] { answer(); });
        poll.start(10);
    }
    bool shown = false;
    QStringList offered;

private:
    void answer() {
        auto* dialog = qobject_cast<Serial_Selector*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        for (int i = 0; i < dialog->comboBox->count(); ++i)
            offered.append(dialog->comboBox->itemText(i));
        if (pick.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->comboBox->setCurrentIndex(offered.indexOf(pick));
        dialog->pushButton->click();
    }
    QString pick;
    QTimer poll;
};

} // namespace

class tst_serial_info : public QObject {
    Q_OBJECT

private slots:
    void choice_data() {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<QString>("previous");   // selectedPort before the scan
        QTest::addColumn<QString>("remembered"); // remembered port before the scan
        QTest::addColumn<QString>("pick");       // dialog answer ("" closes it)
        QTest::addColumn<bool>("silent");        // canChooseSilently() before the scan
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("free");
        QTest::addColumn<QStringList>("offered"); // empty: no dialog
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("rememberedAfter");
        using S = QStringList;

        QTest::newRow("no ports: remembered port dropped")
            << S{} << "ttyUSB3"
            << "ttyUSB3"
            << "" << false << 0 << 0 << S{} << "ttyUSB3"
            << "";
        QTest::newRow("one free bridge") << S{"ttyS0", "ttyUSB0 bridge"} << ""
                                         << ""
                                         << "" << true << 1 << 1 << S{} << "ttyUSB0"
                                         << "ttyUSB0";
        QTest::newRow("only bridge busy") << S{"ttyUSB0 bridge busy"} << ""
                                          << "ttyUSB0"
                                          << "" << false << 1 << 0 << S{} << ""
                                          << "";
        QTest::newRow("one busy, one free") << S{"ttyUSB0 bridge busy", "ttyUSB1 bridge"} << ""
                                            << ""
                                            << "" << true << 2 << 1 << S{} << "ttyUSB1"
                                            << "ttyUSB1";
        QTest::newRow("free ports that are no bridges are never chosen")
            << S{"ttyS0", "ttyACM0"} << ""
            << ""
            << "" << false << 0 << 0 << S{} << ""
            << "";
        QTest::newRow("two free: the dialog offers every free port")
            << S{"ttyS0", "ttyUSB0 bridge", "ttyUSB1 bridge", "ttyUSB2 bridge busy"} << ""
            << ""
            << "ttyUSB1" << false << 3 << 2 << S{"ttyS0", "ttyUSB0", "ttyUSB1"} << "ttyUSB1"
            << "ttyUSB1";
        QTest::newRow("two free: the operator may pick another port")
            << S{"ttyS0", "ttyUSB0 bridge", "ttyUSB1 bridge"} << ""
            << ""
            << "ttyS0" << false << 2 << 2 << S{"ttyS0", "ttyUSB0", "ttyUSB1"} << "ttyS0"
            << "ttyS0";
        QTest::newRow("two free: remembered port taken silently")
            << S{"ttyUSB0 bridge", "ttyUSB1 bridge"} << ""
            << "ttyUSB1"
            << "" << true << 2 << 2 << S{} << "ttyUSB1"
            << "ttyUSB1";
        QTest::newRow("two free: remembered port busy")
            << S{"ttyUSB0 bridge", "ttyUSB1 bridge", "ttyUSB2 bridge busy"} << "ttyUSB2"
            << "ttyUSB2"
            << "ttyUSB0" << false << 3 << 2 << S{"ttyUSB0", "ttyUSB1"} << "ttyUSB0"
            << "ttyUSB0";
        QTest::newRow("two free: remembered port gone")
            << S{"ttyUSB0 bridge", "ttyUSB1 bridge"} << ""
            << "ttyUSB7"
            << "ttyUSB0" << false << 2 << 2 << S{"ttyUSB0", "ttyUSB1"} << "ttyUSB0"
            << "ttyUSB0";
        QTest::newRow("two free: dialog closed without a choice")
            << S{"ttyUSB0 bridge", "ttyUSB1 bridge"} << "ttyUSB9"
            << ""
            << "" << false << 2 << 2 << S{"ttyUSB0", "ttyUSB1"} << "ttyUSB9"
            << "";
    }
    void choice() {
        QFETCH(QStringList, ports);
        QFETCH(QString, previous);
        QFETCH(QString, remembered);
        QFETCH(QString, pick);
        QFETCH(bool, silent);
        QFETCH(int, total);
        QFETCH(int, free);
        QFETCH(QStringList, offered);
        QFETCH(QString, selected);
        QFETCH(QString, rememberedAfter);

        Serial_Info info;
        info.setChooser(&Serial_Selector::choose);
        const QList<PortCandidate> candidates = portsFrom(ports);
        info.setPortSource([candidates] { return candidates; });
        if (!previous.isEmpty())
            info.selectedPort = named(previous);
        if (!remembered.isEmpty()) {
            info.rememberedPort = new PortCandidate(named(remembered));
            info.hasRememberedPort = true;
        }
        QCOMPARE(info.canChooseSilently(), silent);

        DialogDriver driver(pick);
        info.reset();
        info.detect();
        QCOMPARE(info.desiredCount(), total);
        QCOMPARE(info.freeDesiredCount(), free);
        QCOMPARE(driver.shown, !offered.isEmpty());
        QCOMPARE(driver.offered, offered);
        QCOMPARE(info.selectedPortInfo().portName(), selected);
        QCOMPARE(info.hasRememberedPort, !rememberedAfter.isEmpty());
        QCOMPARE(info.rememberedPort ? info.rememberedPort->portName() : QString(),
                 rememberedAfter);
        QCOMPARE(info.candidates.size(), ports.size());
    }

    // A later start with both bridges still free reuses the earlier choice without asking.
    void choiceIsRememberedAcrossScans() {
        Serial_Info info;
        info.setChooser(&Serial_Selector::choose);
        const QList<PortCandidate> two = portsFrom({"ttyUSB0 bridge", "ttyUSB1 bridge"});
        info.setPortSource([two] { return two; });
        {
            DialogDriver driver("ttyUSB1");
            info.reset();
            info.detect();
            QVERIFY(driver.shown);
        }
        DialogDriver driver("ttyUSB0");
        info.reset();
        info.detect();
        QVERIFY(!driver.shown);
        QCOMPARE(info.selectedPortInfo().portName(), QString("ttyUSB1"));
        QVERIFY(info.canChooseSilently());
    }

    // The flag board link's choice is its own: reopening both links never swaps the adapters.
    void eachLinkRemembersItsOwnChoice() {
        Serial_Info info;
        info.setChooser(&Serial_Selector::choose);
        QList<PortCandidate> ports = portsFrom({"ttyUSB0 bridge", "ttyUSB1 bridge"});
        info.setPortSource([&ports] { return ports; });
        {
            DialogDriver driver("ttyUSB1");
            info.reset();
            info.detect(Serial_Info::Link::Board);
            QVERIFY(driver.shown);
        }
        ports[1].busy = true; // the board link holds ttyUSB1
        info.reset();
        info.detect(Serial_Info::Link::Other);
        QCOMPARE(info.selectedPortInfo().portName(), QString("ttyUSB0"));
        ports[1].busy = false; // both links closed, both reopened
        DialogDriver driver("ttyUSB0");
        info.reset();
        info.detect(Serial_Info::Link::Board);
        QCOMPARE(info.selectedPortInfo().portName(), QString("ttyUSB1"));
        info.reset();
        info.detect(Serial_Info::Link::Other);
        QCOMPARE(info.selectedPortInfo().portName(), QString("ttyUSB0"));
        QVERIFY(!driver.shown);
        QCOMPARE(info.rememberedPort->portName(), QString("ttyUSB1"));
        QCOMPARE(info.rememberedOtherPort->portName(), QString("ttyUSB0"));
    }

    void resetKeepsChoice() {
        Serial_Info info;
        info.setChooser(&Serial_Selector::choose);
        const QList<PortCandidate> one = portsFrom({"ttyUSB0 bridge"});
        info.setPortSource([one] { return one; });
        info.detect();
        info.reset();
        QCOMPARE(info.desiredCount(), 0);
        QCOMPARE(info.freeDesiredCount(), 0);
        QVERIFY(info.candidates.isEmpty());
        QCOMPARE(info.selectedPortInfo().portName(), QString("ttyUSB0"));
        QVERIFY(info.hasRememberedPort);
    }

    void selectorForm() {
        Serial_Selector dialog(portsFrom({"ttyS0", "ttyUSB0 bridge busy", "ttyUSB1 bridge"}));
        QCOMPARE(dialog.objectName(), QString("Serial_Selector"));
        QCOMPARE(dialog.windowTitle(), QString("Dialog"));
        QCOMPARE(dialog.size(), QSize(299, 196));
        auto* button = dialog.findChild<QPushButton*>("pushButton");
        auto* combo = dialog.findChild<QComboBox*>("comboBox");
        auto* label = dialog.findChild<QLabel*>("label");
        QVERIFY(button && combo && label);
        QCOMPARE(button->text(), QString("Connect"));
        QCOMPARE(button->geometry(), QRect(100, 130, 75, 23));
        QCOMPARE(combo->geometry(), QRect(40, 50, 211, 22));
        QCOMPARE(label->geometry(), QRect(40, 0, 231, 51));
        QCOMPARE(label->text(),
                 QString("Multiple USB-UART Adapters detected.\nPlease pick one to connect with"));
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QString("ttyS0"));
        QCOMPARE(combo->itemText(1), QString("ttyUSB1"));
        QVERIFY(dialog.chosenPort().isEmpty());

        QSignalSpy selected(&dialog, &Serial_Selector::selected);
        dialog.show();
        combo->setCurrentIndex(1);
        button->click();
        QCOMPARE(selected.count(), 1);
        QVERIFY(dialog.isHidden());
        QCOMPARE(dialog.chosenPort().portName(), QString("ttyUSB1"));
    }
};

QTEST_MAIN(tst_serial_info)
#include "tst_serial_info.moc"
