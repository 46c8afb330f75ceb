// End-to-end flashing: the service window (in this process, on the simulator's pseudo-terminal)
// flashes a hex file with Debian's lpc21isp into the simulated board, dk61-sim --isp, and talks to
// the board again afterwards.
#include "cd_board.h"
#include "e2eharness.h"
#include "firmware/flashpage.h"
#include "firmware/isprun.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "simrunner.h"
#include "testenv.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QtEndian>
#include <QtTest>

namespace {

// Random firmware (two flash sectors) whose vector table holds its checksum, as lpc21isp would
// write it, and the same as Intel hex.
QByteArray firmware(QByteArray& hex) {
    QByteArray image(6000, '\0');
    QRandomGenerator(14).fillRange(reinterpret_cast<quint32*>(image.data()), image.size() / 4);
    quint32 sum = 0;
    for (int word : {0, 1, 2, 3, 4, 6, 7})
        sum += qFromLittleEndian<quint32>(image.constData() + word * 4);
    qToLittleEndian<quint32>(0u - sum, image.data() + 5 * 4);
    for (int at = 0; at < image.size(); at += 16) {
        QByteArray record = QByteArray(1, char(qMin(16, image.size() - at))) + char(at >> 8) +
                            char(at) + '\0' + image.mid(at, 16);
        quint8 check = 0;
        for (char c : record)
            check -= quint8(c);
        hex += ':' + (record + char(check)).toHex().toUpper() + '\n';
    }
    hex += ":00000001FF\n";
    return image;
}

} // namespace

class tst_firmware_e2e : public QObject {
    Q_OBJECT

private slots:
    void lpc21isp_flashesTheSimulatedBoard() {
        if (QStandardPaths::findExecutable("lpc21isp").isEmpty())
            QSKIP("lpc21isp is not installed");
        TestEnv env;
        const QString link = env.path() + "/board";
        const QString flash = env.path() + "/flash.bin";
        QByteArray hexText;
        const QByteArray image = firmware(hexText);
        const QString hexPath = env.path() + "/new firmware.hex";
        QFile hex(hexPath);
        QVERIFY(hex.open(QIODevice::WriteOnly) && hex.write(hexText) == hexText.size());
        hex.close();
        SimRunner sim(link, env.path() + "/sim.log");
        QVERIFY2(sim.start({"--board", "dk61", "--isp", "--flash-out", flash}),
                 qPrintable(sim.error()));
        PortFactory ports({link});

        Control_Panel w(ports, nullptr, Control_Panel::Configuration::Service);
        QTRY_VERIFY(w.cdBoard()->state().link.has_FW_Version);
        QVERIFY(!w.firmwarePage().toolPath().isEmpty());
        w.firmwarePage().setHexFile(hexPath); // chosen, not stored yet
        w.findChild<QTabWidget*>("tabWidget")->setCurrentWidget(w.findChild<QWidget*>("tabFlash"));
        auto* button = w.findChild<QPushButton*>("buttonFlashFirmware");
        QSignalSpy labels(&w.firmwarePage().run(), &IspRun::labelChanged);
        button->click();
        QVERIFY(!w.cdBoard()->isPortOpen()); // the tool has the port
        QTRY_COMPARE_WITH_TIMEOUT(button->text(), QString("Flash Firmware"), 60000);

        QStringList shown;
        for (const QList<QVariant>& args : labels)
            shown << args.at(0).toString();
        QCOMPARE(shown, QStringList({"Synchronising....", "Writing Sector 1", "Writing Sector 0",
                                     "Flashing Complete and Successful!"}));
        QCOMPARE(w.findChild<QLabel*>("labelFlashingTotal")->text(), shown.last());
        QCOMPARE(w.findChild<QProgressBar*>("progressBarFlashingTotal")->value(), 8);
        QCOMPARE(QSettings().value("hexFilename").toString(), hexPath);

        // The link is back and the new firmware answers A1 (closing the link forgot the version).
        QTRY_VERIFY(w.cdBoard()->isPortOpen() && w.cdBoard()->state().link.has_FW_Version);
        QFile written(flash);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray contents = written.readAll();
        QCOMPARE(contents.size(), 512000);
        QVERIFY(contents.left(image.size()) == image);
    }

    // The service build's demo gives the simulated board its bootloader: lpc21isp, in place of
    // the program the demo starts, flashes through the demo's line.
    void serviceDemo_flashes() {
        if (QStandardPaths::findExecutable("lpc21isp").isEmpty())
            QSKIP("lpc21isp is not installed");
        TestEnv env;
        QVERIFY(QFile::link(E2eHarness::binary("dk61-sim"), env.path() + "/dk61-sim"));
        QFile program(env.path() + "/dk61-service-tool");
        QVERIFY(program.open(QIODevice::WriteOnly) &&
                program.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        program.write(
            "#!/bin/sh\nprintf ':10000000000000000000000000000000000000F0\\n:00000001FF\\n' "
            ">\"$0.hex\"\nexec timeout 10 lpc21isp -wipe -verify \"$0.hex\" "
            "\"$DK61_VIRTUAL_PORTS\" 38400 16934\n");
        program.close();
        QProcess demo;
        QProcessEnvironment vars = QProcessEnvironment::systemEnvironment();
        vars.insert("DK61_BIN_DIR", env.path());
        vars.insert("DK61_PROGRAM", "dk61-service-tool");
        demo.setProcessEnvironment(vars);
        demo.start(DEMO_SCRIPT, QStringList());
        const QByteArray output = demo.waitForFinished(30000) ? demo.readAll() : QByteArray();
        QVERIFY2(demo.exitCode() == 0 && output.contains("Verified correct"), output.constData());
    }
};

QTEST_MAIN(tst_firmware_e2e)
#include "tst_firmware_e2e.moc"
