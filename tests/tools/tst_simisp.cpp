// Debian's lpc21isp flashing the simulated board: the real ISP tool against dk61-sim --isp on
// its pseudo-terminal, between two conversations of the board link.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#ifndef DK61_SIM_PATH
#define DK61_SIM_PATH ""
#endif

namespace {

QString simPath() {
    const QString built = QStringLiteral(DK61_SIM_PATH);
    return built.isEmpty() ? qEnvironmentVariable("DK61_BIN_DIR") + "/dk61-sim" : built;
}

// Random firmware whose vector table carries its checksum (the eight words add up to 0), so
// lpc21isp flashes it unchanged; and the same as an Intel hex file.
QByteArray firmwareImage(int size, QByteArray& hex) {
    QByteArray image(size, '\0');
    QRandomGenerator(61).fillRange(reinterpret_cast<quint32*>(image.data()), size / 4);
    quint32 sum = 0;
    for (int word : {0, 1, 2, 3, 4, 6, 7})
        sum += qFromLittleEndian<quint32>(image.constData() + word * 4);
    qToLittleEndian<quint32>(0u - sum, image.data() + 5 * 4);
    for (int at = 0; at < size; at += 16) {
        QByteArray record = QByteArray(1, char(qMin(16, size - at))) + char(at >> 8) + char(at) +
                            '\0' + image.mid(at, 16);
        quint8 check = 0;
        for (char c : record)
            check -= quint8(c);
        hex += ':' + (record + char(check)).toHex().toUpper() + "\r\n";
    }
    hex += ":00000001FF\r\n";
    return image;
}

// A1 as the tool sends it when it connects; the board's answer.
QByteArray askFirmware(const QString& link) {
    QSerialPort port(link);
    port.setBaudRate(38400);
    if (!port.open(QIODevice::ReadWrite))
        return port.errorString().toLocal8Bit();
    port.write(QByteArray::fromHex("A1"));
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (got.size() < 3 && timer.elapsed() < 3000) {
        port.waitForReadyRead(100);
        got += port.readAll();
    }
    return got.toHex(' ');
}

} // namespace

class TestSimIsp : public QObject {
    Q_OBJECT

private slots:
    void lpc21isp_flashesAndTheBoardAnswersAgain();
};

void TestSimIsp::lpc21isp_flashesAndTheBoardAnswersAgain() {
    const QString lpc21isp = QStandardPaths::findExecutable("lpc21isp");
    if (lpc21isp.isEmpty())
        QSKIP("lpc21isp is not installed");
    if (!QFileInfo(simPath()).isExecutable())
        QSKIP("dk61-sim not found");
    QTemporaryDir dir;
    const QString link = dir.filePath("board");
    const QString flash = dir.filePath("flash.bin");
    QByteArray hexText;
    const QByteArray image = firmwareImage(6000, hexText); // sectors 1 and 0
    QFile hex(dir.filePath("fw.hex"));
    QVERIFY(hex.open(QIODevice::WriteOnly) && hex.write(hexText) == hexText.size());
    hex.close();

    QProcess sim; // killed if a check fails
    sim.start(simPath(), {"--board", "dk61", "--isp", "--link", link, "--flash-out", flash});
    QSignalSpy ready(&sim, &QProcess::readyReadStandardOutput);
    QVERIFY(ready.wait(3000)); // the line is ready
    QCOMPARE(askFirmware(link), QByteArray("a3 01 3c"));

    QProcess isp;
    isp.setWorkingDirectory(dir.path());
    isp.start(lpc21isp, {"-wipe", "-verify", hex.fileName(), link, "38400", "16934"});
    QVERIFY(isp.waitForFinished(30000));
    const QByteArray out = isp.readAllStandardOutput();
    QCOMPARE(isp.exitStatus(), QProcess::NormalExit);
    QVERIFY2(isp.exitCode() == 0, out.constData());
    QVERIFY2(out.contains("\nSector 1: ") && out.contains("\nSector 0: ") &&
                 out.contains("\nDownload Finished and Verified correct... ") &&
                 !out.contains('\r'),
             out.constData());

    // After G the firmware runs and has written the flash.
    QCOMPARE(askFirmware(link), QByteArray("a3 01 3c"));
    QFile written(flash);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray contents = written.readAll();
    QCOMPARE(contents.size(), 512000);
    QVERIFY(contents.left(image.size()) == image);
    sim.terminate();
    QVERIFY(sim.waitForFinished(3000));
}

QTEST_GUILESS_MAIN(TestSimIsp)
#include "tst_simisp.moc"
