// The service build against the board simulator on a pseudo-terminal: a silent board, and the
// DK-Tria tray loader's service functions.
#include "cd_board.h"
#include "control_panel.h"
#include "formwidget.h"
#include "simrunner.h"
#include "testenv.h"

#include <QtTest>

#include <memory>

class tst_service_sim : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SimRunner> sim;
    std::unique_ptr<Control_Panel> window;

    bool start(const QStringList& simArgs) {
        env = std::make_unique<TestEnv>();
        env->setSetting("storeLogFile", false);
        env->setSetting("storeFlagFile_csv", false);
        const QString link = env->path() + "/dk61";
        sim = std::make_unique<SimRunner>(link, env->path() + "/sim.log");
        if (!sim->start(QStringList{"--board", "dk61"} + simArgs)) {
            qWarning() << sim->error();
            return false;
        }
        TestEnv::setVirtualPorts({link});
        window = std::make_unique<Control_Panel>(nullptr, Control_Panel::Configuration::Service);
        return window->board->isPortOpen();
    }
    // When the simulator received each command with these bytes (ms of its log).
    QList<qint64> received(const QByteArray& command) const {
        QList<qint64> times;
        for (const SimEvent& e : sim->events("RX")) {
            if (e.bytes == command)
                times.append(e.ms);
        }
        return times;
    }
    void click(const char* name) { formWidget<QPushButton>(window.get(), name)->click(); }
    bool shown(const char* name) const {
        return !formWidget<QWidget>(window.get(), name)->isHidden();
    }

private slots:
    void cleanup() {
        window.reset();
        sim.reset();
        TestEnv::setVirtualPorts({});
        env.reset();
    }

    void silentBoard_isReportedAndAskedAgain() {
        QVERIFY(start({"--silent"}));
        QTRY_COMPARE_WITH_TIMEOUT(
            formWidget<QLabel>(window.get(), "status_description_spdif_label")->text(),
            QString("Error: NO BOARD CONNECTED! No data from board received. Make sure that the "
                    "board is connected properly and under power!"),
            5000);
        QTRY_VERIFY_WITH_TIMEOUT(received(QByteArray(1, char(0xA1))).size() >= 2, 3000);
        const QList<qint64> asked = received(QByteArray(1, char(0xA1)));
        const qint64 gap = asked[1] - asked[0];
        qInfo() << "the second A1 came" << gap << "ms after the first";
        QVERIFY2(gap >= 2300 && gap <= 3500, qPrintable(QString::number(gap)));
    }

    void triaTrayLoader_calibrationAndServiceMode() {
        QVERIFY(start({"--loader", "82"}));
        QTRY_VERIFY_WITH_TIMEOUT(shown("groupLoaderCalibration"), 5000);
        formWidget<QLineEdit>(window.get(), "txtBrakeDistance")->setText("0C");
        for (const char* button :
             {"btnCalibrationDelete", "btnCalibrationSet1", "btnCalibrationSet2"})
            click(button);
        QTRY_VERIFY(received(QByteArray::fromHex("71020200")).size() == 1);
        QCOMPARE(received(QByteArray::fromHex("7102010C")).size(), 1);

        click("btnServiceModeStart");
        QTRY_VERIFY(shown("labelService1") && shown("ServiceModeWarningLabel_4"));
        click("buttonLaserOnOff"); // in service mode: laser off, step 2
        QTRY_VERIFY(shown("labelService2") && !shown("labelService1"));
        QCOMPARE(received(QByteArray::fromHex("590102")).size(), 1);
        click("btnServiceModeExit");
        QTRY_VERIFY(!shown("labelService2") && !shown("ServiceModeWarningLabel_4"));
    }
};

QTEST_MAIN(tst_service_sim)
#include "tst_service_sim.moc"
