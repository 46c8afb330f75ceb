// The main window's pages as the operator meets them in either build: which pages, in which
// order and under which titles, the pages the delivered tool does not show still built, and every
// control saying what it is.

#include "formwidget.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QStringList AllPages = {"tabPlayMode",        "tabExpertMode",  "tabFlags", "tabEeprom",
                              "tabServoParameters", "tabAudioByte",   "tabFlash", "tabLaser",
                              "tabServiceMode",     "tabLaserCurrent"};

// What the operator reads on a control: its text, title or the value it shows.
QString shownText(const QWidget* w) {
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(w))
        return group->title();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text().isEmpty() ? edit->placeholderText() : edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->currentText();
    return QString();
}

// The controls an operator reads or works: buttons, labels with a text, fields, lists, sliders,
// progress bars, text views and plots.
bool isControl(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w))
        return !label->text().isEmpty();
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QProgressBar*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QCustomPlot*>(w) || qobject_cast<const QGroupBox*>(w);
}

} // namespace

class tst_pages : public QObject {
    Q_OBJECT

private slots:
    void pages_inTabOrderWithTheirTitles_data() {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("windowTitle");
        QTest::newRow("delivered")
            << false << QStringList{"Data Log", "Flags"} << QStringList{"tabExpertMode", "tabFlags"}
            << 1 << "KXRT DADO-Tool Version 4";
        // the servo page is built but never offered
        QTest::newRow("service")
            << true << QStringList{"Play Mode",         "Expert Mode",  "Flags",
                                   "EEPROM Parameters", "Audio Byte",   "Flash Firmware",
                                   "Laser Calibration", "Service Mode", "Laser Current"}
            << QStringList{"tabPlayMode", "tabExpertMode",  "tabFlags",
                           "tabEeprom",   "tabAudioByte",   "tabFlash",
                           "tabLaser",    "tabServiceMode", "tabLaserCurrent"}
            << 0 << "DK-61/65 PC Tool V 0.0.49";
    }
    void pages_inTabOrderWithTheirTitles() {
        QFETCH(bool, service);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, names);
        QFETCH(int, current);
        QFETCH(QString, windowTitle);
        WindowFixture fx;
        fx.start(service ? Control_Panel::Configuration::Service
                         : Control_Panel::Configuration::Delivered);
        fx.window->show();
        auto* tabs = fx.find<QTabWidget>("tabWidget");
        QStringList shownTitles, shownNames;
        for (int i = 0; i < tabs->count(); ++i) {
            shownTitles << tabs->tabText(i);
            shownNames << tabs->widget(i)->objectName();
        }
        QCOMPARE(shownTitles, titles);
        QCOMPARE(shownNames, names);
        QCOMPARE(tabs->currentIndex(), current);
        QCOMPARE(fx.window->windowTitle(), windowTitle);
        // The pages not offered are still built, each once, and none shows.
        for (const QString& page : AllPages) {
            const QList<QWidget*> found = fx.window->findChildren<QWidget*>(page);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first()->isVisible(), tabs->currentWidget() == found.first());
        }
    }

    // What a screen reader or a GUI test tool reads: a text, or an accessible name.
    void controls_sayWhatTheyAre_data() {
        QTest::addColumn<bool>("service");
        QTest::newRow("delivered") << false;
        QTest::newRow("service") << true;
    }
    void controls_sayWhatTheyAre() {
        QFETCH(bool, service);
        WindowFixture fx;
        fx.start(service ? Control_Panel::Configuration::Service
                         : Control_Panel::Configuration::Delivered);
        fx.window->resize(1280, 800);
        fx.window->show();
        if (service)
            fx.find<QPushButton>("btnTestfunctions")->click();
        auto* tabs = fx.find<QTabWidget>("tabWidget");
        QStringList silent;
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            for (const QWidget* w : tabs->currentWidget()->findChildren<QWidget*>()) {
                if (!w->isVisible() || w->objectName().startsWith("qt_") || !isControl(w))
                    continue;
                if (shownText(w).trimmed().isEmpty() && w->accessibleName().isEmpty())
                    silent << tabs->tabText(i) + ": " + w->objectName() + " (" +
                                  w->metaObject()->className() + ")";
            }
        }
        QVERIFY2(silent.isEmpty(), qPrintable("\n" + silent.join('\n')));
    }

    // A few texts the operator reads as the window comes up.
    void texts_asTheOperatorReadsThem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("play page title") << "title_label"
                                         << "DK-61 Controls";
        QTest::newRow("time display") << "time_display"
                                      << "00:00:00";
        QTest::newRow("service warning")
            << "ServiceModeWarningLabel_7"
            << "Warning! You are now in service mode. To exit service mode, send "
               "AC_Exit_Service_Mode or unplug and then plug in the DK-61's power supply.";
        QTest::newRow("test buttons") << "groupBoxTest"
                                      << "TEST BUTTONS";
        QTest::newRow("a test button") << "btnClickGetCurrentTrackFolderNumber"
                                       << "Get Current Track Folder Num 27 00";
        QTest::newRow("its parameters") << "txtInputPlayTrackXY"
                                        << "00 01 FF 00";
        QTest::newRow("flag interval") << "comboCFLAGInterval"
                                       << "7350 samples (1s interval)";
        QTest::newRow("tray calibration") << "groupLoaderCalibration"
                                          << "DK-Tria Tray Loader Calibration";
        QTest::newRow("audio byte hint")
            << "label_68"
            << "(This will only set the value in the EEPROM Parameters tab)";
        QTest::newRow("laser history hint") << "lblWarnLaserHistory"
                                            << "Please use this function only during STOP mode!";
        QTest::newRow("servo list") << "comboBox_25"
                                    << "    525/8400 kHz";
    }
    void texts_asTheOperatorReadsThem() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        WindowFixture fx;
        fx.start(Control_Panel::Configuration::Service);
        QWidget* widget = fx.find<QWidget>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(shownText(widget), text);
    }

    // The File menu: the flag monitor's entries, the results, a separator, Exit; Options holds
    // the settings (and in the service build the loader and pickup choices).
    void menus_holdTheirEntries_data() {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("delivered") << false << QStringList{"Settings"};
        QTest::newRow("service") << true << QStringList{"Settings", "Loader", "Pickup"};
    }
    void menus_holdTheirEntries() {
        QFETCH(bool, service);
        QFETCH(QStringList, options);
        WindowFixture fx;
        fx.start(service ? Control_Panel::Configuration::Service
                         : Control_Panel::Configuration::Delivered);
        auto texts = [](const QMenu* menu) {
            QStringList list;
            for (const QAction* action : menu->actions())
                list << (action->isSeparator() ? QStringLiteral("-") : action->text());
            return list;
        };
        QCOMPARE(
            texts(fx.find<QMenu>("menuSettings")),
            (QStringList{"Open Flag File...", "Save Plot as PNG...", "Save Plot as PDF...",
                         "Export Run as CSV...", "Results...", "Export report...", "-", "Exit"}));
        QCOMPARE(texts(fx.find<QMenu>("menuOptions")), options);
    }

    // Options > Loader / Pickup: the entry chosen is stored for the board and alone checked in
    // its menu.
    void loaderAndPickup_storeTheChoice_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("tray loader") << "Loader"
                                     << "Tray Loader"
                                     << "loader_type" << 0;
        QTest::newRow("top loader") << "Loader"
                                    << "Top Loader"
                                    << "loader_type" << 2;
        QTest::newRow("slot loader") << "Loader"
                                     << "Slot Loader"
                                     << "loader_type" << 4;
        QTest::newRow("tria tray loader") << "Loader"
                                          << "Tray Loader Tria"
                                          << "loader_type" << 8;
        QTest::newRow("sony") << "Pickup"
                              << "Sony KHM"
                              << "opu_type" << 1;
        QTest::newRow("sanyo hd850") << "Pickup"
                                     << "Sanyo HD850"
                                     << "opu_type" << 2;
        QTest::newRow("sanyo da11") << "Pickup"
                                    << "Sanyo DA11"
                                    << "opu_type" << 4;
    }
    void loaderAndPickup_storeTheChoice() {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(QString, key);
        QFETCH(int, value);
        WindowFixture fx;
        fx.start(Control_Panel::Configuration::Service);
        QMenu* submenu = nullptr;
        for (QAction* action : fx.find<QMenu>("menuOptions")->actions())
            if (action->text() == menu)
                submenu = action->menu();
        QVERIFY(submenu);
        QStringList checked;
        for (QAction* action : submenu->actions()) {
            if (action->text() == entry)
                action->trigger();
        }
        for (QAction* action : submenu->actions()) {
            if (action->isChecked())
                checked << action->text();
        }
        QCOMPARE(checked, QStringList{entry});
        QCOMPARE(QSettings().value(key).toInt(), value);
    }
};

QTEST_MAIN(tst_pages)
#include "tst_pages.moc"
