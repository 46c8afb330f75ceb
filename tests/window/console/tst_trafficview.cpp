// The Data Log view takes its lines in batches while shown, none while hidden, and always ends up
// with the newest lines in order.
#include "console/trafficview.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

constexpr int MaxLines = 50;

QStringList numbered(int from, int count) {
    QStringList lines;
    for (int i = from; i < from + count; ++i)
        lines.append(QString("[00:00:00]DK-61  : %1  ").arg(i));
    return lines;
}

bool isFlag(const QString& line) {
    return line.contains("C6  0C");
}

// Numbered lines from `from`, the even ones flag records (left out with `withoutFlags`).
QStringList mixed(int from, int count, bool withoutFlags = false) {
    QStringList lines;
    for (int i = from; i < from + count; ++i)
        if (i % 2 || !withoutFlags)
            lines.append(
                QString(i % 2 ? "[00:00:00]DK-61  : %1  " : "[00:00:00]DK-61  : C6  0C  %1  ")
                    .arg(i));
    return lines;
}

QStringList viewLines(QPlainTextEdit* view) {
    return view->toPlainText().split('\n');
}

// The view on the first page of a tab widget, with another page beside it.
struct Pages {
    QTabWidget tabs;
    QPlainTextEdit* view = new QPlainTextEdit;
    TrafficView feed{view, MaxLines};
    Pages() {
        view->document()->setMaximumBlockCount(MaxLines);
        tabs.addTab(view, "Data Log");
        tabs.addTab(new QWidget, "Flags");
        tabs.resize(600, 400);
    }
};

} // namespace

class tst_trafficview : public QObject {
    Q_OBJECT

private slots:
    void neverShown_linesWaitForIt() {
        Pages pages;
        for (int i = 0; i < 3; ++i)
            pages.feed.add(numbered(i, 1));
        QCOMPARE(pages.feed.pendingCount(), 3);
        pages.tabs.show();
        QCOMPARE(viewLines(pages.view), numbered(0, 3));
    }

    void shown_batchesLines() {
        Pages pages;
        pages.tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages.tabs));
        pages.feed.add(numbered(0, MaxLines + 10));
        QCOMPARE(viewLines(pages.view), numbered(10, MaxLines));
        // Lines right after a batch wait for the next one.
        for (int i = 0; i < 5; ++i)
            pages.feed.add(numbered(MaxLines + 10 + i, 1));
        QVERIFY(pages.feed.pendingCount() > 0);
        QTRY_COMPARE(pages.feed.pendingCount(), 0);
        QCOMPARE(viewLines(pages.view), numbered(15, MaxLines));
    }

    void hiddenAfterShown_catchesUpWhenShownAgain() {
        Pages pages;
        pages.tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages.tabs));
        pages.feed.add(numbered(0, MaxLines));
        QScrollBar* bar = pages.view->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        pages.tabs.setCurrentIndex(1);
        // More than the view keeps: only the newest wait.
        for (int i = 0; i < MaxLines + 20; ++i)
            pages.feed.add(numbered(MaxLines + i, 1));
        QCOMPARE(pages.feed.pendingCount(), MaxLines);
        QCOMPARE(viewLines(pages.view), numbered(0, MaxLines));
        pages.tabs.setCurrentIndex(0);
        QCOMPARE(pages.feed.pendingCount(), 0);
        QCOMPARE(viewLines(pages.view), numbered(MaxLines + 20, MaxLines));
        // Still following the newest line.
        QCOMPARE(bar->value(), bar->maximum());
    }

    // Flag records left out of the view come back when shown again: those among the newest
    // lines the view keeps, the ones still waiting for it included.
    void hiddenLines_comeBackWithinTheLimit() {
        Pages pages;
        pages.tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages.tabs));
        pages.feed.setHidden(&isFlag);
        pages.feed.add(mixed(0, 2 * MaxLines - 10));
        pages.feed.flush();
        pages.feed.setPaused(true);
        pages.feed.add(mixed(2 * MaxLines - 10, 10));
        QCOMPARE(viewLines(pages.view), mixed(0, 2 * MaxLines - 10, true));
        pages.feed.setHidden(nullptr);
        pages.feed.setPaused(false);
        QCOMPARE(viewLines(pages.view), mixed(MaxLines, MaxLines));
    }
};

QTEST_MAIN(tst_trafficview)
#include "tst_trafficview.moc"
