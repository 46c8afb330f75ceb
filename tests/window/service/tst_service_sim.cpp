// The service build against the board simulator on a pseudo-terminal: a board that never
// answers is reported and asked again after the firmware watchdog's time.
#include "cd_board.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "simrunner.h"
#include "testenv.h"

#include <QtTest>

class tst_service_sim : public QObject {
    Q_OBJECT

private slots:
    void silentBoard_isReportedAndAskedAgain() {
        TestEnv env;
        env.setSetting("storeLogFile", false);
        env.setSetting("storeFlagFile_csv", false);
        SimRunner sim(env.path() + "/dk61", env.path() + "/sim.log");
        QVERIFY2(sim.start({"--board", "dk61", "--silent"}), qPrintable(sim.error()));
        PortFactory ports({env.path() + "/dk61"});
        Control_Panel window(ports, nullptr, Control_Panel::Configuration::Service);
        QVERIFY(window.cdBoard()->isPortOpen());
        QTRY_COMPARE_WITH_TIMEOUT(
            formWidget<QLabel>(&window, "status_description_spdif_label")->text(),
            QString("Error: NO BOARD CONNECTED! No data from board received. Make sure that the "
                    "board is connected properly and under power!"),
            5000);
        // When the simulator received each A1 (ms of its log).
        const auto asked = [&] {
            QList<qint64> times;
            for (const SimEvent& e : sim.events("RX"))
                if (e.bytes == QByteArray(1, char(0xA1)))
                    times.append(e.ms);
            return times;
        };
        QTRY_VERIFY_WITH_TIMEOUT(asked().size() >= 2, 3000);
        const QList<qint64> times = asked();
        const qint64 gap = times[1] - times[0];
        qInfo() << "the second A1 came" << gap << "ms after the first";
        QVERIFY2(gap >= 2300 && gap <= 3500, qPrintable(QString::number(gap)));
    }
};

QTEST_MAIN(tst_service_sim)
#include "tst_service_sim.moc"
