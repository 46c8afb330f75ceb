// The flag plot is redrawn after changes at a bounded pace, and not while its page is hidden or
// its window minimised.
#include "flags/plotredraw.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include <qcustomplot.h>

class tst_plotredraw : public QObject {
    Q_OBJECT

private slots:
    void requests_areMergedAndPaced() {
        QCustomPlot plot;
        plot.addGraph();
        PlotRedraw redraw(&plot);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        QSignalSpy drawn(&plot, &QCustomPlot::afterReplot);
        for (int i = 0; i < 5; ++i)
            redraw.request();
        QVERIFY(drawn.wait(1000));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(drawn.count(), 1);
        QVERIFY(!redraw.isPending());
        redraw.request();
        QVERIFY(drawn.wait(1000));
        QCOMPARE(drawn.count(), 2);
        // A coarse timer may fire up to 5 % early.
        QVERIFY2(clock.elapsed() >= PlotRedraw::MinIntervalMs * 95 / 100 - 2,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void hiddenPlot_isRedrawnWhenShown() {
        QTabWidget tabs;
        tabs.addTab(new QWidget, "Data Log");
        auto* plot = new QCustomPlot;
        tabs.addTab(plot, "Flags");
        PlotRedraw redraw(plot);
        // Shown once, so that its own first-show redraw is behind it.
        tabs.setCurrentIndex(1);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        QSignalSpy settled(plot, &QCustomPlot::afterReplot);
        settled.wait(100);
        tabs.setCurrentIndex(0);
        QSignalSpy drawn(plot, &QCustomPlot::afterReplot);
        redraw.request();
        // Whatever was due has come and gone: nothing was drawn, the change waits.
        QTRY_VERIFY(!redraw.isScheduled());
        QCOMPARE(drawn.count(), 0);
        QVERIFY(redraw.isPending());
        tabs.setCurrentIndex(1);
        QVERIFY(drawn.wait(1000));
        QCOMPARE(drawn.count(), 1);
        QVERIFY(!redraw.isPending());
    }

    void minimisedWindow_isRedrawnWhenRestored() {
        QCustomPlot plot;
        PlotRedraw redraw(&plot);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.showMinimized();
        QSignalSpy drawn(&plot, &QCustomPlot::afterReplot);
        redraw.request();
        QTRY_VERIFY(!redraw.isScheduled());
        QCOMPARE(drawn.count(), 0);
        QVERIFY(redraw.isPending());
        plot.showNormal();
        QVERIFY(drawn.wait(1000));
        QCOMPARE(drawn.count(), 1);
    }
};

QTEST_MAIN(tst_plotredraw)
#include "tst_plotredraw.moc"
