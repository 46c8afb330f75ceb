#include "overlay.h"
#include "windowfit.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

// The window at the sizes an operator meets, page by page: no visible widget may lie outside its
// parent or over a sibling, unless it says it lies over that one on purpose.
class tst_layout : public QObject {
    Q_OBJECT

    static QString where(const QWidget* w) {
        const QRect g = w->geometry();
        return QString("%1 (%2,%3 %4x%5)")
            .arg(w->objectName())
            .arg(g.x())
            .arg(g.y())
            .arg(g.width())
            .arg(g.height());
    }

    // Widgets without a name, or named by Qt, and the parts a tab bar places itself are Qt's own.
    static bool ours(const QWidget* w) {
        return !w->isWindow() && w->isVisible() && !w->objectName().isEmpty() &&
               !w->objectName().startsWith("qt_") && !qobject_cast<QTabBar*>(w->parentWidget());
    }

    static void collectFaults(const QWidget* parent, QStringList& faults) {
        QList<const QWidget*> shown;
        for (const QWidget* w :
             parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (ours(w))
                shown << w;
            if (w->isVisible() && !w->isWindow())
                collectFaults(w, faults);
        }
        for (int i = 0; i < shown.size(); ++i) {
            const QWidget* a = shown[i];
            const bool squeezed = a->geometry().isEmpty() && !a->minimumSizeHint().isEmpty();
            if (squeezed || (!a->geometry().isEmpty() && !parent->rect().contains(a->geometry())))
                faults << where(a) + " outside " + where(parent);
            for (int j = i + 1; j < shown.size(); ++j) {
                const QWidget* b = shown[j];
                if (a->geometry().intersects(b->geometry()) && !Overlay::liesOver(a, b) &&
                    !Overlay::liesOver(b, a))
                    faults << where(a) + " over " + where(b);
            }
        }
    }

private slots:
    void initTestCase() {
        // The desktop's usual face (the offscreen platform's own is a third larger than any).
        QApplication::setFont(QFont(QApplication::font().family(), 9));
    }

    void window_fitsEveryPage_data() {
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("testButtons");
        QTest::addColumn<QSize>("size");
        // the test buttons' window on a 1280 x 800 screen
        const QSize withTests = WindowFit::within({1500, 800}, {0, 0}, {0, 0, 1280, 800});
        for (bool service : {false, true}) {
            const char* build = service ? "service" : "delivered";
            QTest::addRow("%s, 900 x 700", build) << service << false << QSize(900, 700);
            QTest::addRow("%s, 1280 x 800", build) << service << false << withTests;
            QTest::addRow("%s, 1920 x 1200", build) << service << false << QSize(1920, 1200);
        }
        // the delivered pages down to the form's smallest window (the service pages are drawn for
        // 900 x 700)
        QTest::newRow("delivered, smallest") << false << false << QSize(800, 600);
        QTest::newRow("test buttons, 1280 x 800") << true << true << withTests;
        QTest::newRow("test buttons, 2560 x 1440") << true << true << QSize(2560, 1440);
    }
    void window_fitsEveryPage() {
        QFETCH(bool, service);
        QFETCH(bool, testButtons);
        QFETCH(QSize, size);
        WindowFixture fx;
        fx.start(service ? Control_Panel::Configuration::Service
                         : Control_Panel::Configuration::Delivered);
        Control_Panel* w = fx.window;
        w->show();
        if (testButtons)
            fx.find<QPushButton>("btnTestfunctions")->click();
        w->resize(size);
        QCOMPARE(w->size(), size);
        auto* pages = fx.find<QTabWidget>("tabWidget");
        QStringList faults;
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QStringList found;
            collectFaults(w, found);
            for (const QString& fault : found)
                faults << pages->tabText(i) + ": " + fault;
        }
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
    }

    // The test buttons' larger window stays on the screen (here smaller than the window's
    // smallest size, which is lowered for it).
    void testButtons_stayOnTheScreen() {
        WindowFixture fx;
        fx.start(Control_Panel::Configuration::Service);
        Control_Panel* w = fx.window;
        w->setMinimumSize(400, 300);
        w->show();
        for (int i = 0; i < 2; ++i) {
            fx.find<QPushButton>("btnTestfunctions")->click();
            QVERIFY2(w->screen()->availableGeometry().contains(w->frameGeometry()),
                     qPrintable(where(w)));
            QVERIFY(w->width() >= 700);
        }
    }

    void plotWindow_saysWhatTheSliderSets() {
        WindowFixture fx;
        fx.start();
        QCOMPARE(fx.find<QLabel>("labelPlotWindow")->text(), QString("Window: 30 s"));
        fx.find<QSlider>("horizontalSliderFlagsGraph")->setValue(45);
        QCOMPARE(fx.find<QLabel>("labelPlotWindow")->text(), QString("Window: 45 s"));
    }

    void windowFit_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QSize>("border");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("room enough") << QRect(10, 20, 1500, 800) << QSize(2, 30)
                                     << QRect(0, 0, 1920, 1080) << QRect(10, 20, 1500, 800);
        QTest::newRow("smaller screen, panel at the top")
            << QRect(300, 200, 1500, 800) << QSize(2, 30) << QRect(0, 40, 1280, 760)
            << QRect(0, 40, 1278, 730);
        QTest::newRow("second screen") << QRect(2000, 900, 1500, 800) << QSize(0, 0)
                                       << QRect(1920, 0, 1280, 1024) << QRect(1920, 224, 1280, 800);
    }
    void windowFit() {
        QFETCH(QRect, frame);
        QFETCH(QSize, border);
        QFETCH(QRect, available);
        QFETCH(QRect, fitted);
        const QSize size = WindowFit::within(frame.size(), border, available);
        const QPoint corner = WindowFit::inside(QRect(frame.topLeft(), size + border), available);
        QCOMPARE(QRect(corner, size), fitted);
    }
};

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
