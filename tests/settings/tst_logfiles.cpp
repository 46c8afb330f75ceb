#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "formwidget.h"
#include "logfileformat.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <memory>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every .txt file of the directory, in name order, concatenated.
QByteArray readAllTxt(const QString& dirPath) {
    QByteArray out;
    const QDir dir(dirPath);
    for (const QString& name : dir.entryList({"*.txt"}, QDir::Files, QDir::Name))
        out.append(readAll(dir.filePath(name)));
    return out;
}

CFlags* record(quint16 c1, quint16 c1u, quint16 c2, quint16 c2u, quint16 interpolation) {
    return new CFlags(c1, c1u, c2, c2u, interpolation, 1, QTime(), QTime(0, 0, 0), 0);
}

} // namespace

class tst_logfiles : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;
    TestEnv* env = nullptr;
    QString logDir;
    QString flagDir;

    std::unique_ptr<Control_Panel> makeWindow(bool storeLog, bool storeFlags) {
        env->setSetting("logFileDirectory", logDir);
        env->setSetting("flagFileDirectory", flagDir);
        env->setSetting("storeLogFile", storeLog);
        env->setSetting("storeFlagFile_csv", storeFlags);
        return std::make_unique<Control_Panel>();
    }

    // The record the decoder has just appended reaches the flag file.
    static void arrive(Control_Panel* w, CFlags* r) {
        w->board->flag_records.append(r);
        w->writeCFlagsToFlagFile_cvs();
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        env = &fx->env;
        logDir = env->path() + "/logs";
        flagDir = env->path() + "/flags";
        QVERIFY(QDir().mkpath(logDir));
        QVERIFY(QDir().mkpath(flagDir));
    }
    void cleanup() { fx.reset(); }

    void fileName_data() {
        QTest::addColumn<QDateTime>("created");
        QTest::addColumn<QString>("name");
        QTest::newRow("example") << QDateTime(QDate(2025, 3, 6), QTime(9, 4, 7))
                                 << "20250306090407.txt";
        QTest::newRow("afternoon, two digits everywhere")
            << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)) << "20241231235958.txt";
        QTest::newRow("midnight") << QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0))
                                  << "20260101000000.txt";
    }
    void fileName() {
        QFETCH(QDateTime, created);
        QFETCH(QString, name);
        QCOMPARE(LogFileFormat::fileName(QDir(logDir), created),
                 QDir(logDir).absolutePath() + "/" + name);
        // A relative directory is made absolute.
        QVERIFY(QDir::isAbsolutePath(LogFileFormat::fileName(QDir("rel"), created)));
    }

    void flagRow_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QString>("row");
        QTest::newRow("example") << qint64(65000) << QList<int>{12, 0, 3, 0, 0}
                                 << "00:01:05,\t12,\t0,\t3,\t0,\t0";
        QTest::newRow("signed 16-bit") << qint64(0) << QList<int>{65535, 40000, 32767, 32768, 1}
                                       << "00:00:00,\t-1,\t-25536,\t32767,\t-32768,\t1";
        QTest::newRow("after a day")
            << qint64(86401000) << QList<int>{1, 2, 3, 4, 5} << "24:00:01,\t1,\t2,\t3,\t4,\t5";
    }
    void flagRow() {
        QFETCH(qint64, ms);
        QFETCH(QList<int>, counts);
        QFETCH(QString, row);
        std::unique_ptr<CFlags> r(record(counts[0], counts[1], counts[2], counts[3], counts[4]));
        QCOMPARE(LogFileFormat::flagRow(ms, *r), row);
    }

    void logFile_holdsExactLines() {
        auto w = makeWindow(true, false);
        QVERIFY(w->logFile.isOpen());
        QVERIFY(w->logFile.fileName().startsWith(QDir(logDir).absolutePath() + "/"));
        QVERIFY(QRegularExpression("/\\d{14}\\.txt$").match(w->logFile.fileName()).hasMatch());
        QCOMPARE(formWidget<QLabel>(w, "labelLogFile")->text(),
                 "Log File is stored at: " + w->logFile.fileName());
        QVERIFY(!formWidget<QLabel>(w, "labelLogFile")->isHidden());
        const QByteArray before = readAll(w->logFile.fileName());
        w->writeLogLines({"[00:01:05]PC-Tool: 21  00  "});
        // Each line reaches the file at once, before the window goes.
        QCOMPARE(readAll(w->logFile.fileName()), before + "[00:01:05]PC-Tool: 21  00  \n");
    }

    void logSwitchedOff_createsNoFile() {
        auto w = makeWindow(false, false);
        QVERIFY(!w->logFile.isOpen());
        QVERIFY(!w->flagFile.isOpen());
        QVERIFY(formWidget<QLabel>(w, "labelLogFile")->isHidden());
        w->writeLogLines({"[00:00:00]PC-Tool: A1  "});
        arrive(w.get(), record(1, 2, 3, 4, 5));
        QVERIFY(QDir(logDir).entryList(QDir::Files).isEmpty());
        QVERIFY(QDir(flagDir).entryList(QDir::Files).isEmpty());
    }

    void flagFile_rowPerRecord_onlyWhileOpen() {
        auto w = makeWindow(false, true);
        QVERIFY(w->flagFile.isOpen());
        arrive(w.get(), record(12, 0, 3, 0, 0));
        arrive(w.get(), record(65535, 1, 2, 3, 4));
        w->closeFlagFile();
        QVERIFY(!w->flagFile.isOpen());
        // Arrives while the file is closed: never written, not even after the next open.
        arrive(w.get(), record(777, 777, 777, 777, 777));
        w->openFlagFile();
        QVERIFY(w->flagFile.isOpen());
        arrive(w.get(), record(5, 6, 7, 8, 9));
        w.reset();

        const QList<QByteArray> rows = readAllTxt(flagDir).split('\n');
        QCOMPARE(rows.size(), 4); // three rows and the empty rest after the last line feed
        QVERIFY(rows.last().isEmpty());
        const QRegularExpression stamp("^\\d\\d:\\d\\d:\\d\\d,\\t");
        const QStringList counts = {"12,\t0,\t3,\t0,\t0", "-1,\t1,\t2,\t3,\t4",
                                    "5,\t6,\t7,\t8,\t9"};
        for (int i = 0; i < 3; ++i) {
            const QString row = QString::fromLatin1(rows[i]);
            QVERIFY2(stamp.match(row).hasMatch(), qPrintable(row));
            QCOMPARE(row.mid(10), counts[i]);
        }
    }

    void emptyRecordList_writesNothing() {
        auto w = makeWindow(false, true);
        w->writeCFlagsToFlagFile_cvs();
        QCOMPARE(readAll(w->flagFile.fileName()), QByteArray());
    }

    void secondCreationInSameSecond_appends() {
        auto w = makeWindow(false, false);
        w->storeLogFile = true;
        // The name follows the clock; try again if the second turned between the two looks.
        for (int attempt = 0; attempt < 5; ++attempt) {
            const QString expected =
                LogFileFormat::fileName(QDir(logDir), QDateTime::currentDateTime());
            QFile existing(expected);
            QVERIFY(existing.open(QIODevice::WriteOnly | QIODevice::Truncate));
            existing.write("recorded earlier\n");
            existing.close();
            w->openLogFile();
            QVERIFY(w->logFile.isOpen());
            if (w->logFile.fileName() != expected) {
                w->closeLogFile();
                continue;
            }
            w->writeLogLines({"[00:00:01]PC-Tool: A1  "});
            w->closeLogFile();
            w->openLogFile();
            if (w->logFile.fileName() == expected) {
                w->writeLogLines({"[00:00:02]PC-Tool: A2  "});
                QCOMPARE(readAll(expected), QByteArray("recorded earlier\n"
                                                       "[00:00:01]PC-Tool: A1  \n"
                                                       "[00:00:02]PC-Tool: A2  \n"));
            } else {
                QCOMPARE(readAll(expected),
                         QByteArray("recorded earlier\n[00:00:01]PC-Tool: A1  \n"));
            }
            return;
        }
        QFAIL("the clock never stayed within one second");
    }

    void sameDirectorySameSecond_bothWritersShareOneFile() {
        flagDir = logDir;
        for (int attempt = 0; attempt < 5; ++attempt) {
            auto w = makeWindow(true, true);
            QVERIFY(w->logFile.isOpen() && w->flagFile.isOpen());
            if (w->logFile.fileName() != w->flagFile.fileName())
                continue;
            w->writeLogLines({"[00:00:01]DK-61  : C6  "});
            arrive(w.get(), record(1, 0, 0, 0, 0));
            w->writeLogLines({"[00:00:02]DK-61  : C6  "});
            const QList<QByteArray> lines = readAll(w->logFile.fileName()).split('\n');
            QVERIFY(lines.size() >= 4);
            QCOMPARE(lines.at(lines.size() - 4), QByteArray("[00:00:01]DK-61  : C6  "));
            QVERIFY(lines.at(lines.size() - 3).endsWith(",\t1,\t0,\t0,\t0,\t0"));
            QCOMPARE(lines.at(lines.size() - 2), QByteArray("[00:00:02]DK-61  : C6  "));
            return;
        }
        QFAIL("the clock never stayed within one second");
    }

    void missingDirectory_toldOnceAndKeepsRunning_data() {
        QTest::addColumn<bool>("log");
        QTest::newRow("log") << true;
        QTest::newRow("flags") << false;
    }
    void missingDirectory_toldOnceAndKeepsRunning() {
        QFETCH(bool, log);
        (log ? logDir : flagDir) = env->path() + "/not/there";
        auto w = makeWindow(log, !log);
        QVERIFY(!w->logFile.isOpen());
        QVERIFY(!w->flagFile.isOpen());
        const QString message = w->statusBar()->currentMessage();
        QVERIFY2(
            message.startsWith(log ? "Log file cannot be written" : "Flag file cannot be written"),
            qPrintable(message));
        QVERIFY(message.contains("/not/there/"));
        // The permanent labels are left alone.
        QCOMPARE(w->boardLabel->text(), QString("  BOARD: no connection  "));
        // Writes are skipped quietly.
        w->statusBar()->clearMessage();
        w->writeLogLines({"[00:00:00]PC-Tool: A1  "});
        arrive(w.get(), record(1, 2, 3, 4, 5));
        QVERIFY(w->statusBar()->currentMessage().isEmpty());
        QVERIFY(!QFileInfo::exists(env->path() + "/not"));
    }

    void fullDisk_toldOnceAndKeepsRunning_data() {
        QTest::addColumn<bool>("log");
        QTest::newRow("log") << true;
        QTest::newRow("flags") << false;
    }
    void fullDisk_toldOnceAndKeepsRunning() {
        QFETCH(bool, log);
        if (!QFileInfo::exists("/dev/full"))
            QSKIP("no /dev/full");
        auto w = makeWindow(false, false);
        // The files of the next seconds lead to a device that is always full.
        const QString dir = log ? logDir : flagDir;
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 10; ++s)
            QVERIFY(QFile::link("/dev/full", LogFileFormat::fileName(QDir(dir), now.addSecs(s))));
        if (log) {
            w->storeLogFile = true;
            w->openLogFile();
            QVERIFY(w->logFile.isOpen());
        } else {
            w->storeFlagFile_csv = true;
            w->openFlagFile();
            QVERIFY(w->flagFile.isOpen());
        }
        QVERIFY(w->statusBar()->currentMessage().isEmpty());
        for (int i = 0; i < 3; ++i) {
            if (log)
                w->writeLogLines({"[00:00:00]PC-Tool: A1  "});
            else
                arrive(w.get(), record(1, 2, 3, 4, 5));
            if (i == 0) {
                QVERIFY2(w->statusBar()->currentMessage().contains("cannot be written"),
                         qPrintable(w->statusBar()->currentMessage()));
                w->statusBar()->clearMessage();
            } else {
                // Told once, not for every line.
                QVERIFY(w->statusBar()->currentMessage().isEmpty());
            }
        }
    }

    void destruction_closesFiles() {
        QString logName;
        {
            auto w = makeWindow(true, true);
            logName = w->logFile.fileName();
            w->writeLogLines({"[00:00:03]PC-Tool: A1  "});
        }
        QVERIFY(readAll(logName).endsWith("[00:00:03]PC-Tool: A1  \n"));
    }
};

QTEST_MAIN(tst_logfiles)
#include "tst_logfiles.moc"
