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
    const QByteArray env = qgetenv("DK61_SIM");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    if (!QStringLiteral(DK61_SIM_PATH).isEmpty())
        return QStringLiteral(DK61_SIM_PATH);
    const QByteArray binDir = qgetenv("DK61_BIN_DIR");
    return binDir.isEmpty() ? QString() : QString::fromLocal8Bit(binDir) + "/dk61-sim";
}

// A firmware image of `size` bytes whose vector table carries its checksum (the eight words
// add up to 0), so lpc21isp flashes it unchanged.
QByteArray firmwareImage(int size) {
    QRandomGenerator random(61);
    QByteArray image(size, '\0');
    for (char& c : image)
        c = char(random.bounded(256));
    quint32 sum = 0;
    for (int word = 0; word < 8; ++word)
        if (word != 5)
            sum += qFromLittleEndian<quint32>(image.constData() + word * 4);
    qToLittleEndian<quint32>(0u - sum, image.data() + 5 * 4);
    return image;
}

QByteArray intelHex(const QByteArray& image) {
    QByteArray hex;
    for (int at = 0; at < image.size(); at += 16) {
        const QByteArray data = image.mid(at, 16);
        QByteArray record;
        record.append(char(data.size())).append(char(at >> 8)).append(char(at)).append('\0');
        record.append(data);
        quint8 sum = 0;
        for (char c : record)
            sum += quint8(c);
        record.append(char(quint8(0x100 - sum)));
        hex += ':' + record.toHex().toUpper() + "\r\n";
    }
    return hex + ":00000001FF\r\n";
}

} // namespace

class TestSimIsp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void lpc21isp_flashesAndTheBoardAnswersAgain();

private:
    QByteArray askFirmware();

    QTemporaryDir m_dir;
    QProcess m_sim;
    QString m_isp;
    QString m_link;
};

void TestSimIsp::initTestCase() {
    if (simPath().isEmpty() || !QFileInfo(simPath()).isExecutable())
        QSKIP("dk61-sim not found (set DK61_SIM)");
    m_isp = QStandardPaths::findExecutable("lpc21isp");
    if (m_isp.isEmpty())
        QSKIP("lpc21isp is not installed");
    QVERIFY(m_dir.isValid());
    m_link = m_dir.filePath("board");
}

void TestSimIsp::cleanupTestCase() {
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        m_sim.waitForFinished(3000);
    }
}

// A1 as the tool sends it when it connects; the board's answer.
QByteArray TestSimIsp::askFirmware() {
    QSerialPort port(m_link);
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
    return got;
}

void TestSimIsp::lpc21isp_flashesAndTheBoardAnswersAgain() {
    const QByteArray image = firmwareImage(6000); // sectors 1 and 0
    QFile hex(m_dir.filePath("fw.hex"));
    QVERIFY(hex.open(QIODevice::WriteOnly));
    hex.write(intelHex(image));
    hex.close();
    const QString flash = m_dir.filePath("flash.bin");

    m_sim.start(simPath(), {"--board", "dk61", "--isp", "--link", m_link, "--flash-out", flash,
                            "--log", m_dir.filePath("sim.log")});
    QVERIFY(m_sim.waitForStarted(3000));
    QSignalSpy ready(&m_sim, &QProcess::readyReadStandardOutput);
    QVERIFY(m_sim.canReadLine() || ready.wait(3000));
    QCOMPARE(askFirmware().toHex(' '), QByteArray("a3 01 3c"));

    QProcess isp;
    isp.setWorkingDirectory(m_dir.path());
    isp.start(m_isp, {"-wipe", "-verify", hex.fileName(), m_link, "38400", "16934"});
    QVERIFY(isp.waitForFinished(30000));
    const QByteArray out = isp.readAllStandardOutput();
    QCOMPARE(isp.exitStatus(), QProcess::NormalExit);
    QVERIFY2(isp.exitCode() == 0, out.constData());
    QVERIFY2(out.contains("\nSector 1: ") && out.contains("\nSector 0: ") &&
                 out.contains("\nDownload Finished and Verified correct... ") &&
                 !out.contains('\r'),
             out.constData());

    // After G the firmware runs and has written the flash.
    QCOMPARE(askFirmware().toHex(' '), QByteArray("a3 01 3c"));
    QFile written(flash);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray contents = written.readAll();
    QCOMPARE(contents.size(), 512000);
    QVERIFY(contents.left(image.size()) == image);
}

QTEST_GUILESS_MAIN(TestSimIsp)
#include "tst_simisp.moc"
