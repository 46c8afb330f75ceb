#include "cd_board.h"
#include "console/consolepage.h"
#include "console/datalogtools.h"
#include "flags/cflags.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "settings/logfile.h"
#include "settings/logfileformat.h"
#include "windowfixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <memory>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

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

    // Without `directories`, the files go to the standard folders.
    std::unique_ptr<Control_Panel> makeWindow(bool storeLog, bool storeFlags,
                                              bool directories = true) {
        if (directories) {
            env->setSetting("logFileDirectory", logDir);
            env->setSetting("flagFileDirectory", flagDir);
        }
        env->setSetting("storeLogFile", storeLog);
        env->setSetting("storeFlagFile_csv", storeFlags);
        return std::make_unique<Control_Panel>(fx->ports());
    }

    // The flag board sends the record's counts (a 14-byte CFLAG frame on the link): its row
    // reaches the flag file at the end of the read.
    void arrive(Control_Panel*, CFlags* r) {
        const std::unique_ptr<CFlags> record(r);
        QByteArray frame = QByteArray::fromHex("C60C");
        for (quint16 count : {r->getC1Flags(), r->getC1Uncorrectable(), r->getC2Flags(),
                              r->getC2Uncorrectable(), r->getInterpolationFlags()})
            frame += char(count >> 8) + QByteArray(1, char(count & 0xFF));
        frame += QByteArray::fromHex("0100");
        QVERIFY(fx->device() && fx->device()->inject(frame));
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
        QVERIFY(w->logFile().isOpen());
        QVERIFY(w->logFile().fileName().startsWith(QDir(logDir).absolutePath() + "/"));
        QVERIFY(QRegularExpression("/\\d{14}\\.txt$").match(w->logFile().fileName()).hasMatch());
        QCOMPARE(formWidget<QLabel>(w, "labelLogFile")->text(),
                 "Log File is stored at: " + w->logFile().fileName());
        QVERIFY(!formWidget<QLabel>(w, "labelLogFile")->isHidden());
        const QByteArray before = readAll(w->logFile().fileName());
        w->writeLogLines({"[00:01:05]PC-Tool: 21  00  "});
        // Each line reaches the file at once, before the window goes.
        QCOMPARE(readAll(w->logFile().fileName()), before + "[00:01:05]PC-Tool: 21  00  \n");
    }

    void logSwitchedOff_createsNoFile() {
        auto w = makeWindow(false, false);
        QVERIFY(!w->logFile().isOpen());
        QVERIFY(!w->flagFile().isOpen());
        QVERIFY(formWidget<QLabel>(w, "labelLogFile")->isHidden());
        w->writeLogLines({"[00:00:00]PC-Tool: A1  "});
        arrive(w.get(), record(1, 2, 3, 4, 5));
        QVERIFY(QDir(logDir).entryList(QDir::Files).isEmpty());
        QVERIFY(QDir(flagDir).entryList(QDir::Files).isEmpty());
    }

    void flagFile_rowPerRecord_onlyWhileOpen() {
        auto w = makeWindow(false, true);
        QVERIFY(w->flagFile().isOpen());
        arrive(w.get(), record(12, 0, 3, 0, 0));
        arrive(w.get(), record(65535, 1, 2, 3, 4));
        w->closeFlagFile();
        QVERIFY(!w->flagFile().isOpen());
        // Arrives while the file is closed: never written, not even after the next open.
        arrive(w.get(), record(777, 777, 777, 777, 777));
        w->openFlagFile();
        QVERIFY(w->flagFile().isOpen());
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
        QCOMPARE(readAll(w->flagFile().fileName()), QByteArray());
    }

    // With no directory set, the log goes to "Logs" and the flag file to "Flags" in the tool's
    // folder of the user's documents, made when needed; nothing is written into the settings.
    void noDirectory_standardFolders_data() {
        QTest::addColumn<bool>("blank");
        QTest::newRow("missing") << false;
        QTest::newRow("blank") << true;
    }
    void noDirectory_standardFolders() {
        QFETCH(bool, blank);
        if (blank) {
            env->setSetting("logFileDirectory", "");
            env->setSetting("flagFileDirectory", " ");
        }
        env->setSetting("storeLogFile", true);
        env->setSetting("storeFlagFile_csv", true);
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", (env->path() + "/home").toLocal8Bit());
        auto w = std::make_unique<Control_Panel>(fx->ports());
        qputenv("HOME", home);
        const QString folder = env->path() + "/home/Documents/DK-61 PC-Tool/";
        QVERIFY2(w->logFile().fileName().startsWith(folder + "Logs/"),
                 qPrintable(w->logFile().fileName()));
        QVERIFY2(w->flagFile().fileName().startsWith(folder + "Flags/"),
                 qPrintable(w->flagFile().fileName()));
        QVERIFY(formWidget<QLabel>(w.get(), "labelFileWarning")->text().isEmpty());
        QCOMPARE(QSettings().contains("logFileDirectory"), blank);
    }

    // A directory the file cannot go to: the file goes to the user's documents, and the flag
    // page says so; where that fails too (and the application data folder with it), the page
    // says the file cannot be written.
    void unusableDirectory_fallsBackAndSaysSo_data() {
        QTest::addColumn<bool>("log");
        QTest::addColumn<bool>("documentsUsable");
        QTest::newRow("log, documents") << true << true;
        QTest::newRow("flags, documents") << false << true;
        QTest::newRow("flags, nowhere") << false << false;
    }
    void unusableDirectory_fallsBackAndSaysSo() {
        QFETCH(bool, log);
        QFETCH(bool, documentsUsable);
        // A directory below a plain file cannot be used by anybody, root included.
        QFile plain(env->path() + "/plain");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        (log ? logDir : flagDir) = plain.fileName() + "/dir";
        const QByteArray home = qgetenv("HOME");
        const QByteArray data = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", (documentsUsable ? env->path() + "/home" : plain.fileName()).toLocal8Bit());
        if (!documentsUsable)
            qputenv("XDG_DATA_HOME", plain.fileName().toLocal8Bit());
        auto w = makeWindow(log, !log);
        qputenv("HOME", home);
        qputenv("XDG_DATA_HOME", data);
        const LogFile& file = log ? w->logFile() : w->flagFile();
        const QString warning = formWidget<QLabel>(w, "labelFileWarning")->text();
        QCOMPARE(file.isOpen(), documentsUsable);
        if (documentsUsable) {
            QVERIFY(file.fileName().startsWith(env->path() + "/home/Documents/DK-61 PC-Tool/"));
            QVERIFY2(warning.contains(plain.fileName() + "/dir cannot be written") &&
                         warning.contains(file.fileName()),
                     qPrintable(warning));
        } else {
            QVERIFY2(warning.startsWith("Flag file cannot be written: "), qPrintable(warning));
            QVERIFY(w->statusBar()->currentMessage().startsWith("Flag file cannot be written"));
        }
        // Writes go on (or are skipped) quietly.
        w->writeLogLines({"[00:00:00]PC-Tool: A1  "});
        arrive(w.get(), record(1, 2, 3, 4, 5));
        QCOMPARE(formWidget<QLabel>(w, "labelFileWarning")->text(), warning);
    }

    // No file ever takes the place of a folder the tool keeps its files in. Where a file stands
    // in the way of the documents folder, the log and flag files go to the application data
    // folder and the flag page says why; "Save view..." proposes a file named by the date and
    // time in whichever logs folder is in use.
    void programFolders_neverReplacedByFiles_data() {
        QTest::addColumn<bool>("documentsIsFile");
        QTest::addColumn<QString>(
            "chosen"); // under the home folder (or the log file being written)
        QTest::newRow("home without Documents") << false << "Documents/DK-61 PC-Tool/Flags";
        QTest::newRow("Documents is a file") << true << "Documents";
        QTest::newRow("the log file being written") << true << "LOG";
    }
    void programFolders_neverReplacedByFiles() {
        QFETCH(bool, documentsIsFile);
        QFETCH(QString, chosen);
        const QString home = env->path() + "/home";
        QFile documents(home + "/Documents");
        QVERIFY(QDir().mkpath(home) && (!documentsIsFile || (documents.open(QIODevice::WriteOnly) &&
                                                             documents.write("notes") == 5)));
        documents.close();
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.toLocal8Bit());
        auto back = qScopeGuard([&] { qputenv("HOME", oldHome); });
        // Without Documents, flag files are off until after the view is saved.
        auto w = makeWindow(documentsIsFile, documentsIsFile, false);
        const QString folder = documentsIsFile ? env->path() + "/data/Orvalta/DK-61 PC-Tool/"
                                               : home + "/Documents/DK-61 PC-Tool/";
        const QString warning = formWidget<QLabel>(w, "labelFileWarning")->text();
        QCOMPARE(warning.count("(" + home + "/Documents is a file)"), documentsIsFile ? 2 : 0);

        QString proposed;
        w->console().tools().chooseSaveFile = [&](const QString& offered) {
            proposed = offered;
            return chosen == "LOG" ? w->logFile().fileName() : home + "/" + chosen;
        };
        formWidget<QPushButton>(w, "saveView")->click();
        QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(folder) +
                                    "Logs/view-\\d{14}\\.txt$")
                     .match(proposed)
                     .hasMatch(),
                 qPrintable(proposed));
        QVERIFY(QFileInfo(proposed).dir().exists());
        QVERIFY(formWidget<QLabel>(w, "viewNote")->text().startsWith("Not saved: "));
        QCOMPARE(readAll(home + "/Documents"), QByteArray(documentsIsFile ? "notes" : ""));

        // The flag files work where they belong.
        if (!documentsIsFile) {
            w.reset();
            w = makeWindow(false, true, false);
        }
        QVERIFY(w->flagFile().fileName().startsWith(folder + "Flags/"));
        arrive(w.get(), record(1, 2, 3, 4, 5));
        QVERIFY(readAll(w->flagFile().fileName()).endsWith(",\t1,\t2,\t3,\t4,\t5\n"));
        w->writeLogLines({"[00:00:09]PC-Tool: A1  "});
        QVERIFY(!documentsIsFile || readAll(w->logFile().fileName()).endsWith("PC-Tool: A1  \n"));
        QCOMPARE(formWidget<QLabel>(w, "labelFileWarning")->text(), warning);
    }

    // Something already at the name the clock gives (a file, a link into another file) is
    // left alone: the file gets the next free name. Log and flag file in one directory, created
    // in the same second, are two files.
    void takenName_nextFreeName_data() {
        QTest::addColumn<bool>("link");
        QTest::newRow("a file") << false;
        QTest::newRow("a link to another file") << true;
    }
    void takenName_nextFreeName() {
        QFETCH(bool, link);
        flagDir = logDir;
        const QString elsewhere = env->path() + "/victim";
        QFile victim(elsewhere);
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write("keep\n");
        victim.close();
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 5; ++s) {
            const QString name = LogFileFormat::fileName(QDir(logDir), now.addSecs(s));
            QVERIFY(link ? QFile::link(elsewhere, name) : QFile::copy(elsewhere, name));
        }
        auto w = makeWindow(true, true);
        QVERIFY(w->logFile().isOpen() && w->flagFile().isOpen());
        QVERIFY2(w->logFile().fileName().endsWith("_2.txt"), qPrintable(w->logFile().fileName()));
        QVERIFY(w->flagFile().fileName() != w->logFile().fileName());
        arrive(w.get(), record(1, 0, 0, 0, 0));
        w->writeLogLines({"[00:00:01]DK-61  : C6  "});
        QVERIFY(readAll(w->logFile().fileName()).endsWith("\n[00:00:01]DK-61  : C6  \n"));
        QVERIFY(readAll(w->flagFile().fileName()).endsWith(",\t1,\t0,\t0,\t0,\t0\n"));
        QCOMPARE(readAll(elsewhere), QByteArray("keep\n"));
    }

    // The disk fills in the middle of a line (a file size limit stands in for the full disk):
    // the reason is the system's, shown on the flag page until a write succeeds again, and the
    // next line starts on a line of its own.
    void shortWrite_nextLineOnItsOwn_data() {
        QTest::addColumn<bool>("log");
        QTest::newRow("log") << true;
        QTest::newRow("flags") << false;
    }
    void shortWrite_nextLineOnItsOwn() {
        QFETCH(bool, log);
        auto w = makeWindow(log, !log);
        const LogFile& file = log ? w->logFile() : w->flagFile();
        QVERIFY(file.isOpen());
        auto write = [&](int n) {
            if (log)
                w->writeLogLines({QString("[00:00:0%1]PC-Tool: A1  ").arg(n)});
            else
                arrive(w.get(), record(quint16(5000 + n), 0, 0, 0, 0));
        };
        write(1);
        const int start = readAll(file.fileName()).size();
        QLabel* warning = formWidget<QLabel>(w, "labelFileWarning");
        QVERIFY(warning->isHidden());
        signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = rlim_t(QFileInfo(file.fileName()).size() + 10);
        setrlimit(RLIMIT_FSIZE, &limited);
        write(2);
        write(3);
        setrlimit(RLIMIT_FSIZE, &old);
        const QString reason = QString::fromLocal8Bit(strerror(EFBIG));
        QVERIFY2(!warning->isHidden() && warning->text().contains("(" + reason + ")"),
                 qPrintable(warning->text()));
        write(4);
        QVERIFY(warning->isHidden());
        const QList<QByteArray> lines = readAll(file.fileName()).mid(start).split('\n');
        QCOMPARE(lines.size(), 3); // the torn line, the fourth and the rest
        QCOMPARE(lines[0].size(), 10);
        QVERIFY(lines[1].endsWith(log ? "[00:00:04]PC-Tool: A1  " : ",\t5004,\t0,\t0,\t0,\t0"));
        QCOMPARE(lines[1].count(log ? "[" : ","), log ? 1 : 5);
    }

    void destruction_closesFiles() {
        QString logName;
        {
            auto w = makeWindow(true, true);
            logName = w->logFile().fileName();
            w->writeLogLines({"[00:00:03]PC-Tool: A1  "});
        }
        QVERIFY(readAll(logName).endsWith("[00:00:03]PC-Tool: A1  \n"));
    }
};

QTEST_MAIN(tst_logfiles)
#include "tst_logfiles.moc"
