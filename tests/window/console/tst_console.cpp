#include "cd_board.h"
#include "console/consolepage.h"
#include "console/datalogtools.h"
#include "console/trafficfeed.h"
#include "console/trafficview.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QtTest>

#include <memory>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines without their "[hh:mm:ss]" stamps.
QStringList withoutStamps(const QStringList& lines) {
    static const QRegularExpression stamp("^\\[\\d\\d:\\d\\d:\\d\\d\\]");
    QStringList out;
    for (const QString& line : lines) {
        if (!stamp.match(line).hasMatch())
            return {"unstamped: " + line};
        out.append(line.mid(10));
    }
    return out;
}

} // namespace

class tst_console : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;
    QString logDir;

    Control_Panel* makeWindow(bool storeLog = true) {
        fx->env.setSetting("logFileDirectory", logDir);
        fx->env.setSetting("storeLogFile", storeLog);
        fx->start();
        if (!fx->device())
            return nullptr;
        formWidget<QCheckBox>(fx->window, "chkLog")->setChecked(true);
        formWidget<QCheckBox>(fx->window, "CheckBoxClear")->setChecked(true);
        fx->device()->waitForWritten(1, 300); // whatever the start-up sent
        return fx->window;
    }
    QByteArray readAtLeast(int count, int timeoutMs) {
        return fx->device()->waitForWritten(count, timeoutMs);
    }
    bool inject(const QByteArray& bytes) { return fx->device()->inject(bytes); }
    // What the view holds once the lines waiting for it (the window is never shown) are in.
    static QString viewText(Control_Panel* w) {
        w->console().view().flush();
        return formWidget<QPlainTextEdit>(w, "textBrowser")->toPlainText();
    }
    static QStringList viewLines(Control_Panel* w) {
        return viewText(w).split('\n', Qt::SkipEmptyParts);
    }
    static QStringList fileLines(Control_Panel* w) {
        return QString::fromLatin1(readAll(w->logFile().fileName()))
            .split('\n', Qt::SkipEmptyParts);
    }
    void type(Control_Panel* w, const QString& text) {
        formWidget<SLineEdit>(w, "InputText")->clear();
        QTest::keyClicks(formWidget<SLineEdit>(w, "InputText"), text);
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        logDir = fx->env.path() + "/logs";
        QVERIFY(QDir().mkpath(logDir));
    }
    void cleanup() { fx.reset(); }

    void typing_isFormatted_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a1") << "a1"
                            << "A1";
        QTest::newRow("1101ab") << "1101ab"
                                << "11 01 AB";
        QTest::newRow("11-01 x5") << "11-01 x5"
                                  << "11 01 5";
        QTest::newRow("a3 01 05") << "a3 01 05"
                                  << "A3 01 05";
    }
    void typing_isFormatted() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto w = makeWindow();
        QVERIFY(w);
        type(w, typed);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), shown);
        // Pasted text is formatted the same way.
        formWidget<SLineEdit>(w, "InputText")->setText(typed);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), shown);
    }

    void typedRequest_isSentShownAndLogged() {
        auto w = makeWindow();
        QVERIFY(w);
        formWidget<QLabel>(w, "CustomInputWarningLabel")->setText("old warning");
        type(w, "a3 01 05");
        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Return);
        QCOMPARE(readAtLeast(3, 2000), QByteArray::fromHex("a30105"));
        QTRY_VERIFY(viewLines(w).indexOf(QRegularExpression(
                        "^\\[\\d\\d:\\d\\d:\\d\\d\\]PC-Tool: A3  01  05  $")) >= 0);
        QVERIFY(fileLines(w).last().endsWith("]PC-Tool: A3  01  05  "));
        QVERIFY(formWidget<SLineEdit>(w, "InputText")
                    ->text()
                    .isEmpty()); // "Delete posted Bytes after sending"
        QVERIFY(formWidget<QLabel>(w, "CustomInputWarningLabel")->text().isEmpty());
    }

    void sendButton_keepsLineWhenClearIsOff() {
        auto w = makeWindow();
        QVERIFY(w);
        formWidget<QCheckBox>(w, "CheckBoxClear")->setChecked(false);
        type(w, "2100");
        formWidget<QPushButton>(w, "SendButton")->click();
        QCOMPARE(readAtLeast(2, 2000), QByteArray::fromHex("2100"));
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("21 00"));
    }

    void oddDigitCount_isRefused() {
        auto w = makeWindow();
        QVERIFY(w);
        const qint64 sentBefore = w->cdBoard()->journal().sentFrames().size();
        type(w, "A30");
        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Return);
        QCOMPARE(formWidget<QLabel>(w, "CustomInputWarningLabel")->text(),
                 QString("You must enter an even amount of characters"));
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("A3 0"));
        QCOMPARE(w->cdBoard()->journal().sentFrames().size(), sentBefore);
        // The next request that is sent is the first thing the board gets.
        type(w, "2100");
        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Return);
        QCOMPARE(readAtLeast(2, 2000), QByteArray::fromHex("2100"));
        QCOMPARE(w->cdBoard()->journal().sentFrames().size(), sentBefore + 1);
    }

    void recall_stopsAtBothEnds() {
        auto w = makeWindow();
        QVERIFY(w);
        type(w, "2100");
        w->sendCustomData();
        type(w, "11 01 00");
        w->sendCustomData();
        QCOMPARE(readAtLeast(5, 2000), QByteArray::fromHex("2100110100"));
        const IndexedList<QByteArray>& sent = w->cdBoard()->journal().sentFrames();
        QTRY_COMPARE(w->console().sentIndex(), sent.size());
        const qint64 oldest = sent.firstIndex();
        const int earlier = static_cast<int>(w->console().sentIndex() - 2 - oldest);

        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Up);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("11 01 00"));
        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Up);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("21 00"));
        // Further up: the requests written before (start-up), then the oldest one stays.
        for (int i = 0; i < earlier + 1; ++i)
            QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Up);
        QCOMPARE(w->console().recallIndex(), oldest);
        const QString first = formWidget<SLineEdit>(w, "InputText")->text();
        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Up);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), first);
        // Down to the newest, which stays.
        for (int i = 0; i < earlier + 1; ++i)
            QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Down);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("11 01 00"));
        QTest::keyClick(formWidget<SLineEdit>(w, "InputText"), Qt::Key_Down);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("11 01 00"));
        QCOMPARE(w->console().recallIndex(), w->console().sentIndex() - 1);
        // A written request resets the recall position after the newest.
        w->sendCustomData();
        QTRY_COMPARE(w->console().recallIndex(), w->console().sentIndex());
    }

    void receivedFrames_oneCallShowsAll() {
        auto w = makeWindow();
        QVERIFY(w);
        QVERIFY(inject(QByteArray::fromHex("ab04000c0000"))); // track 12
        QTRY_COMPARE(w->console().receivedIndex(), w->cdBoard()->journal().received().size());
        const qint64 before = w->console().receivedIndex();
        const int viewBefore = viewLines(w).size();
        const int fileBefore = fileLines(w).filter("DK-61").size();
        QVERIFY(inject(QByteArray::fromHex("a20105 a20106 b30201f4")));
        QTRY_COMPARE(w->console().receivedIndex(), before + 3);
        const QStringList shown = viewLines(w).mid(viewBefore).filter("DK-61");
        QCOMPARE(withoutStamps(shown),
                 QStringList({"DK-61  : A2  01  05  ", "DK-61  : A2  01  06  ",
                              "DK-61  : B3  02  01  F4  "}));
        QCOMPARE(withoutStamps(fileLines(w).filter("DK-61").mid(fileBefore)), withoutStamps(shown));
        QCOMPARE(formWidget<QLabel>(w, "track_number_display")->text(), QString("12"));
        QCOMPARE(formWidget<QLabel>(w, "track_number_display_2")->text(), QString("12"));
        QCOMPARE(formWidget<QLabel>(w, "time_display")->text(),
                 w->cdBoard()->state().player.current_time.toString("hh:mm:ss"));
        // The current the board state holds after the frame (the decoder computes it).
        QCOMPARE(formWidget<QLabel>(w, "labelLaserCurrent")->text(),
                 QString::number(w->cdBoard()->state().laser.laser_current_mA, 'g', 6) + " mA");
    }

    void showDataUnchecked_stillLogsEverything() {
        auto w = makeWindow();
        QVERIFY(w);
        formWidget<QCheckBox>(w, "chkLog")->setChecked(false);
        const QString viewBefore = viewText(w);
        const int fileBefore = fileLines(w).size();
        type(w, "2100");
        w->sendCustomData();
        QCOMPARE(readAtLeast(2, 2000), QByteArray::fromHex("2100"));
        QVERIFY(inject(QByteArray::fromHex("a20107")));
        QTRY_COMPARE(fileLines(w).size(), fileBefore + 2);
        QCOMPARE(withoutStamps(fileLines(w).mid(fileBefore)),
                 QStringList({"PC-Tool: 21  00  ", "DK-61  : A2  01  07  "}));
        QCOMPARE(viewText(w), viewBefore);
        // Skipped for the view, not deferred.
        formWidget<QCheckBox>(w, "chkLog")->setChecked(true);
        QVERIFY(inject(QByteArray::fromHex("a20108")));
        QTRY_COMPARE(fileLines(w).size(), fileBefore + 3);
        QCOMPARE(withoutStamps(viewLines(w).mid(viewLines(w).size() - 1)),
                 QStringList({"DK-61  : A2  01  08  "}));
        QVERIFY(!viewText(w).contains("21  00"));
    }

    // The operator's Data Log tools: the log file gets every line whatever the view does; hidden
    // flag records come back when they are shown again, a paused view says how many lines wait.
    void hideFlagRecords_pause_clear() {
        auto w = makeWindow();
        QVERIFY(w);
        auto* pause = formWidget<QPushButton>(w, "pauseView");
        auto* hide = formWidget<QCheckBox>(w, "hideFlagRecords");
        const QByteArray flagFrame = QByteArray::fromHex("c60c000c000000030000000001 01");
        QVERIFY(inject(flagFrame + QByteArray::fromHex("a20105")));
        QTRY_COMPARE(viewLines(w).filter("C6  0C").size(), 1);
        const int fileBefore = fileLines(w).size() + 1;
        QVERIFY(inject(flagFrame)); // waits for the view (the window is not shown)
        QTRY_COMPARE(fileLines(w).size(), fileBefore);
        hide->setChecked(true);
        QVERIFY(viewLines(w).filter("C6  0C").isEmpty()); // shown and waiting ones go too
        QVERIFY(!viewLines(w).filter("A2  01  05").isEmpty());
        pause->click();
        const QStringList paused = viewLines(w);
        QVERIFY(inject(flagFrame + QByteArray::fromHex("a20106") + flagFrame +
                       QByteArray::fromHex("a20107")));
        QTRY_COMPARE(fileLines(w).size(), fileBefore + 4);
        QCOMPARE(viewLines(w), paused);
        QCOMPARE(pause->text(), QString("Resume (2 waiting)"));
        QCOMPARE(pause->accessibleName(), pause->text());
        pause->click();
        QCOMPARE(pause->text(), QString("Pause"));
        QCOMPARE(withoutStamps(viewLines(w).mid(paused.size())),
                 QStringList({"DK-61  : A2  01  06  ", "DK-61  : A2  01  07  "}));
        hide->setChecked(false);
        const QString flagLine =
            "DK-61  : C6  0C  00  0C  00  00  00  03  00  00  00  00  01  01  ";
        QCOMPARE(withoutStamps(viewLines(w).filter("]DK-61  : ")),
                 QStringList({flagLine, "DK-61  : A2  01  05  ", flagLine, flagLine,
                              "DK-61  : A2  01  06  ", flagLine, "DK-61  : A2  01  07  "}));
        formWidget<QPushButton>(w, "clearView")->click();
        QVERIFY(viewLines(w).isEmpty());
        QCOMPARE(fileLines(w).size(), fileBefore + 4);
    }

    void searchAndSave() {
        auto w = makeWindow();
        QVERIFY(w);
        formWidget<QPushButton>(w, "clearView")->click();
        w->showTrafficLines({"[00:00:01]DK-61  : A2  01  05  ", "[00:00:02]DK-61  : B3  02  ",
                             "[00:00:03]DK-61  : a2  01  06  "});
        viewText(w);
        auto* view = formWidget<QPlainTextEdit>(w, "textBrowser");
        QTest::keyClicks(formWidget<QLineEdit>(w, "searchField"), "A2  01");
        // A new text goes to the newest place; Next wraps around to the oldest.
        QCOMPARE(view->textCursor().block().blockNumber(), 2);
        QCOMPARE(view->textCursor().selectedText(), QString("a2  01"));
        QCOMPARE(view->extraSelections().size(), 2);
        QCOMPARE(formWidget<QLabel>(w, "searchResult")->text(), QString("2 of 2"));
        formWidget<QPushButton>(w, "findNext")->click();
        QCOMPARE(view->textCursor().block().blockNumber(), 0);
        formWidget<QPushButton>(w, "findPrevious")->click();
        QCOMPARE(view->textCursor().block().blockNumber(), 2);
        QTest::keyClicks(formWidget<QLineEdit>(w, "searchField"), "x");
        QCOMPARE(formWidget<QLabel>(w, "searchResult")->text(), QString("Not found"));

        const QString saved = logDir + "/view.txt";
        w->console().tools().chooseSaveFile = [saved](const QString&) { return saved; };
        formWidget<QPushButton>(w, "saveView")->click();
        QCOMPARE(readAll(saved), (view->toPlainText() + "\n").toLatin1());
        w->console().tools().chooseSaveFile = [this](const QString&) {
            return logDir + "/no/such/dir/v.txt";
        };
        formWidget<QPushButton>(w, "saveView")->click();
        QVERIFY(formWidget<QLabel>(w, "viewNote")->text().startsWith("Not saved: "));
    }

    void debugText_shownButNotLogged() {
        auto w = makeWindow();
        QVERIFY(w);
        QVERIFY(inject(QByteArray::fromHex("cc0548656c6c6f")));
        QVERIFY(viewLines(w).last().endsWith("]DK-61  : CC  05  48  65  6C  6C  6F  "));
        QVERIFY(!readAll(w->logFile().fileName()).contains("CC  05"));
        // Hidden while "show data" is cleared.
        formWidget<QCheckBox>(w, "chkLog")->setChecked(false);
        QVERIFY(inject(QByteArray::fromHex("cc0141")));
        QVERIFY(!viewText(w).contains("CC  01  41"));
    }

    void debugTransmission_fromBoard() {
        auto w = makeWindow();
        QVERIFY(w);
        QVERIFY(inject(QByteArray::fromHex("cc024849")));
        QTRY_VERIFY(viewText(w).contains("DK-61  : CC  02  48  49  "));
        QTRY_COMPARE(w->console().receivedIndex(), w->cdBoard()->journal().received().size());
        // The file holds at most the frame itself, never the debug text as well.
        QVERIFY(fileLines(w).filter("CC  02  48  49").size() <= 1);
    }

    void consumedFrames_areDropped() {
        auto w = makeWindow();
        QVERIFY(w);
        const IndexedList<BoardFrame>& frames = w->cdBoard()->journal().received();
        // A burst larger than what is kept: every frame is shown and logged, then let go of.
        const int fileBefore = fileLines(w).size();
        QVERIFY(inject(QByteArray::fromHex("a20105").repeated(TrafficFeed::KeptFrames + 10)));
        QTRY_COMPARE(w->console().receivedIndex(), frames.size());
        QCOMPARE(frames.heldCount(), qint64(TrafficFeed::KeptFrames));
        const qint64 before = w->console().receivedIndex();
        QVERIFY(inject(QByteArray::fromHex("a20106 a20107")));
        QTRY_COMPARE(w->console().receivedIndex(), before + 2);
        QCOMPARE(w->cdBoard()->journal().decodePosition(), frames.size());
        QCOMPARE(frames.heldCount(), qint64(TrafficFeed::KeptFrames));
        QCOMPARE(frames.last().bytes, QByteArray::fromHex("a20107"));
        const QStringList logged = withoutStamps(fileLines(w).mid(fileBefore).filter("DK-61"));
        QCOMPARE(logged.size(), TrafficFeed::KeptFrames + 12);
        QCOMPARE(logged.mid(TrafficFeed::KeptFrames + 10),
                 QStringList({"DK-61  : A2  01  06  ", "DK-61  : A2  01  07  "}));
    }

    void recall_keepsTheNewestRequests() {
        auto w = makeWindow(false);
        QVERIFY(w);
        // More requests written than are kept (written one by one at the link's pace they would
        // take 40 s: they go into the journal as the transmit queue puts them there).
        FrameJournal& journal = w->cdBoard()->journal();
        const qint64 start = journal.sentFrames().size();
        const int total = TrafficFeed::RecallHistory + 5;
        for (int i = 0; i < total; ++i)
            journal.addSent(QByteArray::fromHex("1201") + char(i & 0xFF), 3);
        w->put_send_bytes();
        QCOMPARE(w->console().sentIndex(), start + total);
        QCOMPARE(viewLines(w).filter("PC-Tool: 12  01").size(), total);
        QCOMPARE(journal.sentFrames().heldCount(), qint64(TrafficFeed::RecallHistory));
        QCOMPARE(journal.sentLengths().heldCount(), qint64(TrafficFeed::RecallHistory));
        // Up walks back to the oldest request kept and stays there.
        for (int i = 0; i < TrafficFeed::RecallHistory + 2; ++i)
            w->text_pressedUp();
        QCOMPARE(w->console().recallIndex(), start + total - TrafficFeed::RecallHistory);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("12 01 05"));
        w->text_pressedDown();
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->text(), QString("12 01 06"));
    }

    void logClosed_linesStillShown() {
        auto w = makeWindow(false);
        QVERIFY(w);
        QVERIFY(!w->logFile().isOpen());
        type(w, "2100");
        w->sendCustomData();
        QTRY_VERIFY(viewText(w).contains("PC-Tool: 21  00  "));
    }

    void view_keepsNewestLinesOnly() {
        auto w = makeWindow();
        QVERIFY(w);
        QTextDocument* doc = formWidget<QPlainTextEdit>(w, "textBrowser")->document();
        QCOMPARE(doc->maximumBlockCount(), ConsolePage::MaxLines);
        const int fileBefore = fileLines(w).size();
        const int total = ConsolePage::MaxLines + 500;
        QStringList batch;
        for (int i = 0; i < total; ++i) {
            batch.append(QString("[00:00:00]DK-61  : %1  ").arg(i));
            if (batch.size() == 1000 || i == total - 1) {
                w->showTrafficLines(batch);
                w->console().view().flush(); // each batch cuts the oldest lines
                w->writeLogLines(batch);
                batch.clear();
            }
        }
        QCOMPARE(doc->blockCount(), ConsolePage::MaxLines);
        QCOMPARE(doc->lastBlock().text(), QString("[00:00:00]DK-61  : %1  ").arg(total - 1));
        QCOMPARE(doc->firstBlock().text(),
                 QString("[00:00:00]DK-61  : %1  ").arg(total - ConsolePage::MaxLines));
        // The file keeps every line.
        QCOMPARE(fileLines(w).size(), fileBefore + total);
    }
};

QTEST_MAIN(tst_console)
#include "tst_console.moc"
