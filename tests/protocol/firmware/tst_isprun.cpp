#include "firmware/isprun.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <signal.h>

namespace {

const QString Done = "Flashing Complete and Successful!";
const QString Sync = "Synchronising....";
const QString Failed = "Failed Flashing Firmware, ";
const QByteArray Firmware = ":10000000000102030405060708090A0B0C0D0E0F78\n:00000001FF\n";

bool write(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QStringList readLines(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    lines.removeLast();
    return lines;
}

template <typename T> QList<T> values(const QSignalSpy& spy, int column = 0) {
    QList<T> list;
    for (const QList<QVariant>& args : spy)
        list << args.at(column).value<T>();
    return list;
}

} // namespace

class tst_isprun : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    const QString port = "/dev/pts/7";
    QString hex() const { return dir.filePath("new firmware/DK 61 \"v2\".hex"); }
    QString args() const { return dir.filePath("args"); }

private slots:
    void initTestCase() {
        qputenv("DK61_FAKE_ISP_ARGS", args().toUtf8());
        qputenv("DK61_FAKE_ISP_PID", dir.filePath("pid").toUtf8());
        QVERIFY(QFile::copy(FAKE_ISP_TOOL, dir.filePath("not-executable")));
        QVERIFY(QFile::setPermissions(dir.filePath("not-executable"), QFile::ReadOwner));
        QVERIFY(QDir().mkpath(dir.filePath("new firmware")) && write(hex(), Firmware));
    }
    void init() { QFile::remove(args()); }

    void refused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("upper-case HEX")
            << "fw.HEX" << port << "Error: You must select a .hex - file to flash";
        QTest::newRow("no port") << "fw.hex"
                                 << ""
                                 << "Error: No serial port to flash through";
    }
    void refused() {
        QFETCH(QString, file);
        QFETCH(QString, port);
        IspRun run;
        QSignalSpy finished(&run, &IspRun::finished);
        QTEST(run.start(FAKE_ISP_TOOL, file, port, IspRun::Component::DK6x), "text");
        QVERIFY(!finished.wait(300));
        QVERIFY(!QFile::exists(args()));
    }

    // lpc21isp would flash (and verify) a damaged file as it read it: the tool never starts.
    void damagedFile_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("why");
        QTest::newRow("checksum") << QByteArray(Firmware).replace("0F78", "0F00") << "1: checksum";
        QTest::newRow("cut short") << Firmware.left(44) << "without its end record";
        QTest::newRow("not hex") << "x" + Firmware << "line 1: not a hex record";
        QTest::newRow("beyond the flash")
            << ":020000040008F2\n" + Firmware << "line 2: data beyond";
        QTest::newRow("no data") << Firmware.mid(44) << "holds no data";
    }
    void damagedFile() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, why);
        const QString file = dir.filePath("damaged.hex");
        QVERIFY(write(file, contents));
        const QString refused = IspRun().start(FAKE_ISP_TOOL, file, port, IspRun::Component::DK6x);
        QVERIFY2(refused.contains(why) && refused.endsWith(", nothing was flashed"),
                 qPrintable(refused));
        QVERIFY(!QFile::exists(args()));
    }

    // The last label is the start of the final text.
    void outcome_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QStringList>("rate");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<QStringList>("labels");
        const QStringList dk{"38400", "16934"};
        QTest::newRow("verified, Windows line ends")
            << FAKE_ISP_TOOL << QByteArray("windows") << dk << QList<int>{0, 7, 8}
            << QStringList{Sync, "Writing Sector 1", "Writing Sector 0", Done};
        QTest::newRow("split writes")
            << FAKE_ISP_TOOL << QByteArray("split") << dk << QList<int>{0, 2, 8}
            << QStringList{Sync, "Writing Sector 3", "Writing Sector 12", Done};
        QTest::newRow("exit 1, HLB-6x")
            << FAKE_ISP_TOOL << QByteArray("exit1") << QStringList{"19200", "11059"}
            << QList<int>{0} << QStringList{Sync, "Writing Sector 1", Failed + "Error 1"};
        QTest::newRow("exit 0, not verified")
            << FAKE_ISP_TOOL << QByteArray("unverified") << dk << QList<int>{0}
            << QStringList{Sync, "Writing Sector 1", Failed + "Error 0, download not verified"};
        for (const char* name : {"not-executable", "missing"})
            QTest::newRow(name) << dir.filePath(name) << QByteArray() << QStringList()
                                << QList<int>{0}
                                << QStringList{Sync, Failed + "cannot start " + dir.filePath(name)};
    }
    void outcome() {
        QFETCH(QString, tool);
        QFETCH(QByteArray, mode);
        QFETCH(QStringList, rate);
        QFETCH(QStringList, labels);
        qputenv("DK61_FAKE_ISP_MODE", mode);
        IspRun run;
        QSignalSpy finished(&run, &IspRun::finished);
        QSignalSpy label(&run, &IspRun::labelChanged);
        QSignalSpy progress(&run, &IspRun::progressChanged);
        const auto component =
            rate.value(0) == "19200" ? IspRun::Component::HLB6x : IspRun::Component::DK6x;
        QCOMPARE(run.start(tool, hex(), port, component), QString());
        QCOMPARE(finished.count(), 0);
        QVERIFY(finished.wait());
        QTEST(values<int>(progress), "progress");
        QStringList shown = values<QString>(label);
        QVERIFY2(shown.last().startsWith(labels.last()), qPrintable(shown.last()));
        shown.last() = labels.last();
        QCOMPARE(shown, labels);
        QCOMPARE(values<bool>(finished), QList<bool>{labels.last() == Done});
        if (!rate.isEmpty())
            QCOMPARE(readLines(args()), QStringList({"-wipe", "-verify", hex(), port}) + rate);
    }

    void killed_data() {
        QTest::addColumn<bool>("closed");
        QTest::newRow("Abort") << false;
        QTest::newRow("window closed") << true;
    }
    void killed() {
        QFETCH(bool, closed);
        qputenv("DK61_FAKE_ISP_MODE", "hang");
        auto run = std::make_unique<IspRun>();
        QSignalSpy finished(run.get(), &IspRun::finished);
        QSignalSpy label(run.get(), &IspRun::labelChanged);
        run->start(FAKE_ISP_TOOL, hex(), port, IspRun::Component::DK6x);
        QTRY_COMPARE(values<QString>(label).last(), QString("Writing Sector 1"));
        const int pid = readLines(dir.filePath("pid")).value(0).toInt();
        closed ? run.reset() : run->abort();
        QCOMPARE(finished.count(), closed ? 0 : 1);
        if (!closed)
            QCOMPARE(values<QString>(finished, 1).at(0),
                     QString("Flashing Firmware aborted by the operator"));
        QCOMPARE(::kill(pid, 0), -1); // gone, and reaped
    }
};

QTEST_GUILESS_MAIN(tst_isprun)
#include "tst_isprun.moc"
