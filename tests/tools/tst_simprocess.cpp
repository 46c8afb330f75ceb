// End-to-end tests of the dk61-sim executable: started as a process, reached through
// QSerialPort on the link it prints, as the PC tool reaches a board.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#ifndef DK61_SIM_PATH
#define DK61_SIM_PATH ""
#endif

namespace {

// The executable: $DK61_SIM, else the path the build gave, else dk61-sim in $DK61_BIN_DIR.
QString simPath() {
    const QByteArray env = qgetenv("DK61_SIM");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    if (!QStringLiteral(DK61_SIM_PATH).isEmpty())
        return QStringLiteral(DK61_SIM_PATH);
    const QByteArray binDir = qgetenv("DK61_BIN_DIR");
    return binDir.isEmpty() ? QString() : QString::fromLocal8Bit(binDir) + "/dk61-sim";
}

bool acceptedCode(quint8 b) {
    return b == 0x98 || b == 0x99 || (b >= 0xA0 && b <= 0xAF) || (b >= 0xB1 && b <= 0xB8) ||
           (b >= 0xBA && b <= 0xBE) || (b >= 0xC0 && b <= 0xCB) || b == 0xCD;
}

// Cuts `data` into frames, skipping bytes that cannot start one (noise between frames); a
// frame cut short at the end (the line was closed) is left out.
QList<QByteArray> cutFrames(const QByteArray& data) {
    QList<QByteArray> frames;
    int i = 0;
    while (i < data.size()) {
        if (!acceptedCode(quint8(data[i]))) {
            ++i;
            continue;
        }
        if (i + 1 >= data.size() || (quint8(data[i + 1]) & 0x80))
            break;
        const int size = quint8(data[i + 1]) + 2;
        if (i + size > data.size())
            break;
        frames << data.mid(i, size);
        i += size;
    }
    return frames;
}

QString hexOf(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace

class TestSimProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void answersAndStreams_acrossReconnects();
    void sigterm_removesLinkAndExitsZero();
    void hangup_closesLineAndExitsZero();
    void speedReport_followsTheReadersRate();
    void commandLine_helpVersionAndBadOption();

private:
    bool startSim(const QStringList& extra);
    QByteArray readFor(QSerialPort& port, int ms);
    QStringList logLines(const QString& tag) const;

    QTemporaryDir m_dir;
    QProcess m_sim;
    QString m_link;
};

void TestSimProcess::initTestCase() {
    if (simPath().isEmpty() || !QFileInfo(simPath()).isExecutable())
        QSKIP("dk61-sim not found (set DK61_SIM)");
    QVERIFY(m_dir.isValid());
    m_link = m_dir.filePath("board");
}

void TestSimProcess::cleanup() {
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        m_sim.waitForFinished(3000);
    }
}

bool TestSimProcess::startSim(const QStringList& extra) {
    QFile::remove(m_dir.filePath("sim.log"));
    m_sim.start(simPath(),
                QStringList{"--link", m_link, "--log", m_dir.filePath("sim.log"), "--seed", "5"} +
                    extra);
    if (!m_sim.waitForStarted(3000))
        return false;
    QSignalSpy spy(&m_sim, &QProcess::readyReadStandardOutput);
    while (!m_sim.canReadLine())
        if (!spy.wait(3000))
            return false;
    return m_sim.readLine().trimmed() == m_link.toLocal8Bit();
}

QByteArray TestSimProcess::readFor(QSerialPort& port, int ms) {
    QByteArray data;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        port.waitForReadyRead(int(qMax<qint64>(1, ms - timer.elapsed())));
        data += port.readAll();
    }
    return data;
}

QStringList TestSimProcess::logLines(const QString& tag) const {
    QFile f(m_dir.filePath("sim.log"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QString l = QString::fromLatin1(line);
        if (l.section(' ', 1, 1) == tag)
            out << l.section(' ', 2);
    }
    return out;
}

void TestSimProcess::answersAndStreams_acrossReconnects() {
    // Records every 170 ms, whatever A1 asks for.
    QVERIFY(startSim({"--board", "both", "--chunk", "3", "--garbage", "0.2", "--start-interval",
                      "2", "--hold-interval"}));
    QByteArray everything;
    for (int round = 0; round < 3; ++round) {
        QSerialPort port(m_link);
        port.setBaudRate(115200);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QCOMPARE(port.write(QByteArray::fromHex("A1")), qint64(1));
        QVERIFY(port.waitForBytesWritten(1000));
        const QByteArray data = readFor(port, 450);
        port.close();
        everything += data;

        // The firmware reply and at least one CFLAG record came. No stale bytes from an
        // earlier round: the first frame is the reply to this round's A1.
        const QList<QByteArray> frames = cutFrames(data);
        QVERIFY2(!frames.isEmpty() && hexOf(frames.first()) == "A3 01 3C", qPrintable(hexOf(data)));
        bool record = false;
        for (const QByteArray& f : frames)
            record |= f.size() == 14 && quint8(f[0]) == 0xC6 && quint8(f[12]) == 0x02; // 170 ms
        QVERIFY2(record, qPrintable(hexOf(data)));
    }
    QTRY_COMPARE(logLines("RX"), QStringList({"A1", "A1", "A1"}));

    // The logged frames and garbage runs are what the reader got, in order (the log may
    // end with bytes sent after the last read).
    QByteArray logged;
    QFile f(m_dir.filePath("sim.log"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() > 2 && (parts[1] == "TX" || parts[1] == "GARBAGE"))
            logged += QByteArray::fromHex(line.mid(line.indexOf(parts[1]) + parts[1].size()));
    }
    QCOMPARE(hexOf(everything), hexOf(logged.left(everything.size())));
}

void TestSimProcess::sigterm_removesLinkAndExitsZero() {
    QVERIFY(startSim({"--board", "dk61"}));
    QVERIFY(QFileInfo(m_link).isSymLink());
    m_sim.terminate();
    QVERIFY(m_sim.waitForFinished(3000));
    QCOMPARE(m_sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_sim.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(m_link) && !QFileInfo(m_link).isSymLink());
}

void TestSimProcess::hangup_closesLineAndExitsZero() {
    QVERIFY(startSim({"--start-interval", "3", "--hangup-after", "1"}));
    QSerialPort port(m_link);
    QVERIFY(port.open(QIODevice::ReadWrite));
    // A closed pseudo-terminal master reads as end of file on the slave: QSerialPort then
    // keeps reporting errors (ReadError, not ResourceError) until the port is closed.
    QSerialPort::SerialPortError first = QSerialPort::NoError;
    connect(&port, &QSerialPort::errorOccurred, this, [&](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::NoError || first != QSerialPort::NoError)
            return;
        first = e;
        port.close();
    });
    QVERIFY(m_sim.waitForFinished(5000));
    QCOMPARE(m_sim.exitCode(), 0);
    QVERIFY(!QFileInfo(m_link).isSymLink());
    QTRY_VERIFY(first == QSerialPort::ReadError || first == QSerialPort::ResourceError);
    QVERIFY(logLines("INFO").contains("hangup"));
}

void TestSimProcess::speedReport_followsTheReadersRate() {
    QVERIFY(startSim({"--board", "dk61"}));
    QSerialPort port(m_link);
    port.setBaudRate(57600);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    QTRY_VERIFY(logLines("INFO").contains("speed 57600"));
    // An odd rate, as the board link's 128000, is reported as set.
    QVERIFY(port.setBaudRate(128000));
    QTRY_VERIFY(logLines("INFO").contains("speed 128000"));
    port.close();
    QTRY_VERIFY(logLines("INFO").contains("peer closed"));
}

void TestSimProcess::commandLine_helpVersionAndBadOption() {
    QProcess p;
    p.start(simPath(), {"--board", "dk65"});
    QVERIFY(p.waitForFinished(3000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("--help"));
    p.start(simPath(), {"--help"});
    QVERIFY(p.waitForFinished(3000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray help = p.readAllStandardOutput();
    QVERIFY(help.contains("--refuse-writes"));
    QVERIFY(help.contains("DK61_VIRTUAL_PORTS")); // how the tool finds the line
    p.start(simPath(), {"--version"});
    QVERIFY(p.waitForFinished(3000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("dk61-sim " DK61_EXPECTED_VERSION "\n"));
}

QTEST_GUILESS_MAIN(TestSimProcess)
#include "tst_simprocess.moc"
