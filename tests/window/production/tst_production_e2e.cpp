// The service window against the board simulator on a pseudo-terminal: the EEPROM page of the
// simulator's default image, "Flash to Eeprom" on a board that takes the writes and on one that
// refuses them, and "Program all parameters..." on a board that answers every request late.
#include "../e2e/simrunner.h"
#include "cd_board.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "testenv.h"

#include <QtTest>

class tst_production_e2e : public QObject {
    Q_OBJECT

private slots:
    void flashToEeprom_data() {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<QString>("result");
        QTest::newRow("default image") << QStringList() << "Flashing Complete and Succesfull!";
        QTest::newRow("refused writes")
            << QStringList{"--refuse-writes"} << "Error: Write Access to EEPROM denied!";
        // 51 requests, each answered 50 ms late (over 3 s in all): the time-out counts per request
        QTest::newRow("program all, slow board")
            << QStringList{"--memory-delay", "50"} << "Flashing Complete and Succesfull!";
    }
    void flashToEeprom() {
        QFETCH(QStringList, simOptions);
        QFETCH(QString, result);
        const bool full = simOptions.contains("--memory-delay");
        TestEnv env;
        const QString link = env.path() + "/dk61";
        SimRunner sim(link, env.path() + "/sim.log");
        QVERIFY2(sim.start(QStringList{"--board", "dk61"} + simOptions), qPrintable(sim.error()));
        PortFactory ports({link});
        Control_Panel w(ports, nullptr, Control_Panel::Configuration::Service);
        if (!w.cdBoard()->isPortOpen()) {
            w.cdBoard()->setPortName(link);
            w.cdBoard()->applyPortSettings();
            w.cdBoard()->openPort();
        }
        QVERIFY(w.cdBoard()->isPortOpen());

        // the page shows the image once the start-up reads are answered
        auto label = [&w](const char* name) { return formWidget<QLabel>(&w, name)->text(); };
        QTRY_COMPARE_WITH_TIMEOUT(label("labelOnTime"), QString("8638"), 8000);
        QTRY_VERIFY(w.cdBoard()->state().loader.loader_list_complete &&
                    w.cdBoard()->state().eeprom.focus_read);
        QCOMPARE(QStringList({label("label_CustomerID"), label("labelFlashedBy"),
                              label("label_ProductionCode"), label("label_ProductionDate"),
                              label("label_Derivative"), label("label_Offset")}),
                 QStringList({"1", "7", "4711", "Wed Mar 15 2023", "0.175889", "2.07312"}));

        formWidget<QPushButton>(&w, full ? "buttonProgramAll" : "ButtonFlashEeprom")->click();
        if (full)
            QTRY_VERIFY(w.findChild<QMessageBox*>());
        if (full)
            w.findChild<QMessageBox*>()->button(QMessageBox::Yes)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.programmingRunning(), 15000);
        QCOMPARE(label("labelEeprom"), result);
        QCOMPARE(formWidget<QProgressBar>(&w, "progressBarEeprom")->value(),
                 result.startsWith("Error") ? 0 : 6);
        if (full)
            return;

        // what the board received of the run, in order: writes and the reads of 2100 and 1100
        const auto received = [&sim] {
            QStringList memory;
            for (const QByteArray& command : sim.commandsReceived())
                memory << QString::fromLatin1(command.toHex(' ').toUpper());
            return memory.filter(QRegularExpression("^(60|62 09|62 01 11)"));
        };
        const QStringList run{
            "62 09 21 00", "62 01 11 00",    "60 09 21 00 5E 00 00 00 42 FF 00 00 FF",
            "62 09 21 00", "60 01 11 00 FF", "62 01 11 00"};
        QTRY_COMPARE(received(), simOptions.isEmpty() ? run : QStringList(run.mid(0, 4)));
        QVERIFY(sim.stop());
    }
};

QTEST_MAIN(tst_production_e2e)
#include "tst_production_e2e.moc"
