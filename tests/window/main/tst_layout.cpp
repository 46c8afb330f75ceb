#include "common/overlay.h"
#include "common/windowfit.h"
#include "settings/settings.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

// The window at the sizes an operator meets, page by page: no visible widget may lie outside its
// parent or over a sibling, unless it says it lies over that one on purpose.
class tst_layout : public QObject {
    Q_OBJECT

    static QString where(const QWidget* w) {
        QString text;
        QDebug(&text).nospace() << w->objectName() << ' ' << w->geometry();
        return text;
    }

    // Widgets without a name, or named by Qt, and the parts a tab bar places itself are Qt's own.
    static bool ours(const QWidget* w) {
        return w->isVisible() && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_") &&
               !qobject_cast<QTabBar*>(w->parentWidget());
    }

    static void collectFaults(const QWidget* parent, QStringList& faults) {
        QList<const QWidget*> shown;
        for (const QWidget* w :
             parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (w->isWindow() || !w->isVisible())
                continue;
            if (ours(w))
                shown << w;
            collectFaults(w, faults);
        }
        for (int i = 0; i < shown.size(); ++i) {
            const QRect a = shown[i]->geometry();
            // an empty widget may be squeezed to nothing
            if (a.isEmpty() ? !shown[i]->minimumSizeHint().isEmpty() : !parent->rect().contains(a))
                faults << where(shown[i]) + " outside " + where(parent);
            for (int j = i + 1; j < shown.size(); ++j) {
                if (a.intersects(shown[j]->geometry()) && !Overlay::liesOver(shown[i], shown[j]) &&
                    !Overlay::liesOver(shown[j], shown[i]))
                    faults << where(shown[i]) + " over " + where(shown[j]);
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
        fx.window->show();
        if (testButtons)
            fx.find<QPushButton>("btnTestfunctions")->click();
        // long texts where the bar has them (port, firmware versions, loader and pickup)
        for (const char* name : {"connectionLabel", "statusLabel"})
            fx.find<QLabel>(name)->setText(
                QString("/dev/ttyUSB0, 128000 Baud, FW-Version: ").repeated(3));
        fx.window->resize(size);
        QApplication::processEvents(); // the layouts' pending requests
        QCOMPARE(fx.window->size(), size);
        auto* pages = fx.find<QTabWidget>("tabWidget");
        QStringList faults;
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QStringList found;
            collectFaults(fx.window, found);
            for (const QString& fault : found)
                faults << pages->tabText(i) + ": " + fault;
        }
        QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
    }

    // The test buttons' larger window stays on the screen (here smaller than the window's
    // smallest size, which is lowered for it), and so does the smaller one after them.
    void testButtons_stayOnTheScreen() {
        WindowFixture fx;
        fx.start(Control_Panel::Configuration::Service);
        fx.window->setMinimumSize(400, 300);
        fx.window->show();
        for (int i = 0; i < 2; ++i) {
            fx.find<QPushButton>("btnTestfunctions")->click();
            QVERIFY2(fx.window->screen()->availableGeometry().contains(fx.window->frameGeometry()),
                     qPrintable(where(fx.window)));
            QVERIFY(fx.window->width() >= 700);
        }
    }

    // A window on a smaller screen, or reaching past its edge, is moved back onto it.
    void windowFit() {
        const QRect available(1920, 40, 1280, 760); // a second screen, a panel at its top
        const QSize size = WindowFit::within({1500, 800}, {2, 30}, available);
        QCOMPARE(size, QSize(1278, 730));
        QCOMPARE(WindowFit::inside({{3000, 900}, size + QSize(2, 30)}, available),
                 QPoint(1920, 40));
        QCOMPARE(WindowFit::inside({{2000, 100}, QSize(800, 600)}, available), QPoint(2000, 100));
    }

    // The settings window at its size with the desktop's font, and larger with a larger one:
    // every text whole, nothing over another.
    void settingsWindow_showsEveryTextWhole_data() {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("9 pt") << 9;
        QTest::newRow("12 pt") << 12;
    }
    void settingsWindow_showsEveryTextWhole() {
        QFETCH(int, pointSize);
        QWidget owner;
        auto* settings = new Settings(SettingsValues{}, &owner);
        settings->setFont(QFont(QApplication::font().family(), pointSize));
        settings->show();
        QApplication::processEvents();
        if (pointSize == 9)
            QCOMPARE(settings->size(), QSize(685, 365));
        QStringList faults;
        collectFaults(settings, faults);
        QStringList texts;
        for (const QWidget* w : settings->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const QLabel*>(w);
            const auto* button = qobject_cast<const QAbstractButton*>(w);
            const QString text = label ? label->text() : button ? button->text() : QString();
            if (text.isEmpty())
                continue;
            texts << text;
            if (w->width() < w->sizeHint().width() || w->height() < w->sizeHint().height())
                faults << where(w) + " cut: " + text;
        }
        QVERIFY2(faults.isEmpty(), qPrintable("\n" + faults.join('\n')));
        for (const char* text : {"Store Log File at:", "Results database:",
                                 "Reset Connection after Buadrate Change (recommended)"})
            QVERIFY2(texts.contains(text), text);
    }

    void plotWindow_saysWhatTheSliderSets() {
        WindowFixture fx;
        fx.start();
        QCOMPARE(fx.find<QLabel>("labelPlotWindow")->text(), QString("Window: 30 s"));
        fx.find<QSlider>("horizontalSliderFlagsGraph")->setValue(45);
        QCOMPARE(fx.find<QLabel>("labelPlotWindow")->text(), QString("Window: 45 s"));
    }
};

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
