// The service build's mechanism pages on a loopback adapter: service mode, the laser button,
// the tray loader calibration and the loader and pickup choice.
#include "cd_board.h"
#include "formwidget.h"
#include "windowfixture.h"

#include <QSettings>
#include <QtTest>

#include <memory>

class tst_servicepages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    template <typename T> T* w(const QString& name) { return fx->find<T>(name); }
    void click(const QString& name) { w<QPushButton>(name)->click(); }
    // The step markers shown, and whether the service warnings are.
    QList<int> markers() {
        QList<int> shown;
        for (int step = 1; step <= 14; ++step) {
            if (!w<QLabel>(QString("labelService%1").arg(step))->isHidden())
                shown.append(step);
        }
        return shown;
    }
    bool warnings() {
        bool all = true, none = true;
        for (int n : {1, 2, 3, 4, 5, 7}) {
            const bool shown = !w<QLabel>(QString("ServiceModeWarningLabel_%1").arg(n))->isHidden();
            all = all && shown;
            none = none && !shown;
        }
        if (!all && !none)
            qWarning("some service warnings shown, others not");
        return all;
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
        fx->feed("A3 01 05");
        fx->mark();
    }
    void cleanup() { fx.reset(); }

    void serviceMode_walkThrough() {
        QVERIFY(!warnings());
        QCOMPARE(markers(), QList<int>{});
        click("btnServiceModeNext"); // no step reported yet
        click("btnServiceMode_5");
        QCOMPARE(fx->since(), QStringList{});
        click("btnServiceModeStart");
        QCOMPARE(fx->since(), QStringList{"57 00"});
        fx->feed("C0 01 01");
        QCOMPARE(markers(), QList<int>{1});
        QVERIFY(warnings());
        fx->mark();
        click("btnServiceModeStart"); // already in
        click("btnServiceMode_5");
        click("btnServiceModeNext");
        click("btnServiceModeExit");
        QCOMPARE(fx->since(), (QStringList{"59 01 05", "58 00", "5A 00"}));
        fx->feed("C8 00");
        QVERIFY(!warnings());
        QCOMPARE(markers(), QList<int>{});
    }

    void stepReport_movesTheMarker_data() {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QList<int>>("shown");
        QTest::newRow("13") << "C0 01 0D" << QList<int>{13};
        QTest::newRow("0") << "C0 01 00" << QList<int>{};
        QTest::newRow("15") << "C0 01 0F" << QList<int>{};
    }
    void stepReport_movesTheMarker() {
        QFETCH(QString, report);
        QFETCH(QList<int>, shown);
        fx->feed("C0 01 03");
        fx->feed(report);
        QCOMPARE(markers(), shown);
        QVERIFY(warnings());
    }

    // The warnings advise a power cycle: a board back from one is outside service mode.
    void serviceMode_endsWithTheBoardsPower_data() {
        QTest::addColumn<bool>("linkCloses");
        QTest::newRow("link closes") << true;
        QTest::newRow("board names itself anew") << false;
    }
    void serviceMode_endsWithTheBoardsPower() {
        QFETCH(bool, linkCloses);
        fx->feed("C0 01 04");
        QVERIFY(warnings());
        if (linkCloses) {
            fx->window->connectButton->click();
            fx->window->connectButton->click();
        } else {
            fx->board->state.link.has_FW_Version = false; // as after a reconnect
            fx->feed("A3 01 05");
        }
        QVERIFY(!warnings());
        QCOMPARE(markers(), QList<int>{});
        fx->mark();
        click("btnServiceModeStart");
        QCOMPARE(fx->since(), QStringList{"57 00"});
    }

    void laserButton_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("text");
        QTest::newRow("outside: starts service mode") << "" << QStringList{"57 00"} << "";
        QTest::newRow("in a step: laser off")
            << "C0 01 01" << QStringList{"59 01 02"} << "Turn Laser Off";
        QTest::newRow("after the end")
            << "C0 01 01,C8 00" << QStringList{"57 00"} << "Turn Laser On";
    }
    void laserButton() {
        QFETCH(QString, before);
        QFETCH(QStringList, sent);
        QFETCH(QString, text);
        if (before.contains("C8"))
            click("btnServiceModeExit");
        for (const QString& frame : before.split(',', Qt::SkipEmptyParts))
            fx->feed(frame);
        if (!text.isEmpty())
            QCOMPARE(w<QPushButton>("buttonLaserOnOff")->text(), text);
        fx->mark();
        click("buttonLaserOnOff");
        QCOMPARE(fx->since(), sent);
    }

    void calibrationGroup_onlyForTheTriaTrayLoader_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("shown");
        QTest::newRow("82") << "82" << true;
        QTest::newRow("80") << "80" << false;
        QTest::newRow("41") << "41" << false;
    }
    void calibrationGroup_onlyForTheTriaTrayLoader() {
        QFETCH(QString, code);
        QFETCH(bool, shown);
        QVERIFY(w<QGroupBox>("groupLoaderCalibration")->isHidden());
        fx->feed("99 04 21 04 01 " + code); // the EEPROM's loader byte
        fx->feed("C7 02 11 " + code);
        QCOMPARE(!w<QGroupBox>("groupLoaderCalibration")->isHidden(), shown);
        QCOMPARE(w<QComboBox>("comboBox_selected_loader_type")->currentIndex(), 2);
        QCOMPARE(int(fx->board->state.loader.loader_type), code.toInt(nullptr, 16));
    }

    // Presses: R reset, D:<distance>, T timing.
    void trayCalibration_data() {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("hints"); // after each press
        QTest::addColumn<bool>("refused");      // the brake distance warning at the end
        const QString open = "Done! Open and set distance!", error = "Error! Restart with delete!";
        QTest::newRow("in order") << QStringList{"R", "D:0A", "T"}
                                  << QStringList{"71 02 00 00", "71 02 01 0A", "71 02 02 00"}
                                  << QStringList{open, "Done! Re-open and set timing!", "Done!"}
                                  << false;
        QTest::newRow("timing first") << QStringList{"T", "D:0A", "R"} << QStringList{"71 02 00 00"}
                                      << QStringList{error, error, open} << false;
        QTest::newRow("odd distance") << QStringList{"R", "D:A"} << QStringList{"71 02 00 00"}
                                      << QStringList{open, open} << true;
        QTest::newRow("two bytes") << QStringList{"R", "D:0A 0B"} << QStringList{"71 02 00 00"}
                                   << QStringList{open, open} << true;
        QTest::newRow("refused, then good")
            << QStringList{"R", "D:A", "D:0a", "T"}
            << QStringList{"71 02 00 00", "71 02 01 0A", "71 02 02 00"}
            << QStringList{open, open, "Done! Re-open and set timing!", "Done!"} << false;
    }
    void trayCalibration() {
        QFETCH(QStringList, presses);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, hints);
        QFETCH(bool, refused);
        QStringList seen;
        for (const QString& press : presses) {
            if (press == "R") {
                click("btnCalibrationDelete");
            } else if (press == "T") {
                click("btnCalibrationSet2");
            } else {
                w<QLineEdit>("txtBrakeDistance")->setText(press.mid(2));
                click("btnCalibrationSet1");
            }
            seen.append(w<QLabel>("lblCalibrationHint")->text());
        }
        QCOMPARE(fx->since(), sent);
        QCOMPARE(seen, hints);
        QCOMPARE(w<QLabel>("lblBrakeDistanceWarning")->text().isEmpty(), !refused);
    }

    void loaderAndPickupMenus_storeTheChoice_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("choices"); // action texts, in order
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("loader") << "menuLoader" << QStringList{"Tray Loader", "Slot Loader"}
                                << "loader_type" << 4;
        QTest::newRow("pickup") << "menuPickup" << QStringList{"Sanyo DA11", "Sony KHM"}
                                << "opu_type" << 1;
    }
    void loaderAndPickupMenus_storeTheChoice() {
        QFETCH(QString, menu);
        QFETCH(QStringList, choices);
        QFETCH(QString, key);
        QFETCH(int, value);
        QMenu* submenu = w<QMenu>(menu);
        QVERIFY(submenu && w<QMenu>("menuOptions")->actions().contains(submenu->menuAction()));
        QStringList checked;
        for (const QString& choice : choices) {
            for (QAction* action : submenu->actions()) {
                if (action->text() == choice)
                    action->trigger();
            }
        }
        for (QAction* action : submenu->actions()) {
            if (action->isChecked())
                checked.append(action->text());
        }
        QCOMPARE(checked, QStringList{choices.last()});
        QCOMPARE(QSettings().value(key).toInt(), value);
    }
};

QTEST_MAIN(tst_servicepages)
#include "tst_servicepages.moc"
