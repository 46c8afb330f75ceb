// The service build's mechanism pages on a loopback adapter: service mode, the laser button,
// the tray loader calibration and the loader and pickup choice.
#include "cd_board.h"
#include "windowfixture.h"

#include <QSettings>
#include <QtTest>
#include <QtWidgets>

#include <memory>

class tst_servicepages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    template <typename T = QWidget> T* w(const QString& name) { return fx->find<T>(name); }
    void click(const QString& name) { w<QPushButton>(name)->click(); }
    void feed(const QString& frames) {
        for (const QString& frame : frames.split(',', Qt::SkipEmptyParts))
            fx->feed(frame);
    }
    // The step markers shown; the service warnings of the seven pages as "+" shown, "-" hidden.
    QList<int> markers() {
        QList<int> shown;
        for (int step = 1; step <= 14; ++step)
            if (!w(QString("labelService%1").arg(step))->isHidden())
                shown.append(step);
        return shown;
    }
    QString warnings() {
        QString shown;
        for (int n = 1; n <= 7; ++n)
            shown += w(QString("ServiceModeWarningLabel_%1").arg(n))->isHidden() ? '-' : '+';
        return shown;
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
        QCOMPARE(warnings(), QString("-------"));
        click("btnServiceModeNext"); // no step reported yet
        click("btnServiceMode_5");
        click("btnServiceModeStart");
        QCOMPARE(fx->since(), QStringList{"57 00"});
        fx->feed("C0 01 01");
        QCOMPARE(markers(), QList<int>{1});
        QCOMPARE(warnings(), QString("+++++++"));
        fx->feed("C0 01 0D");
        QCOMPARE(markers(), QList<int>{13});
        fx->feed("C0 01 0F"); // no such step: no marker, still in service mode
        QCOMPARE(markers(), QList<int>{});
        QCOMPARE(warnings(), QString("+++++++"));
        fx->mark();
        click("btnServiceModeStart"); // already in
        click("btnServiceMode_5");
        click("btnServiceModeNext");
        click("btnServiceModeExit");
        QCOMPARE(fx->since(), (QStringList{"59 01 05", "58 00", "5A 00"}));
        fx->feed("C8 00");
        QCOMPARE(warnings(), QString("-------"));
        QCOMPARE(markers(), QList<int>{});
    }

    // The warnings advise a power cycle: a board back from one is outside service mode.
    void serviceMode_endsWithTheBoardsPower_data() {
        QTest::addColumn<bool>("linkCloses");
        QTest::addColumn<bool>("exitUnanswered"); // "Exit Service Mode" pressed, no C8 came
        for (bool exit : {false, true}) {
            const QString unanswered = exit ? ", exit unanswered" : "";
            QTest::newRow(qPrintable("link closes and opens" + unanswered)) << true << exit;
            QTest::newRow(qPrintable("board names itself anew" + unanswered)) << false << exit;
        }
    }
    void serviceMode_endsWithTheBoardsPower() {
        QFETCH(bool, linkCloses);
        const auto reconnect = [this] {
            fx->find<QPushButton>("connectButton")->click();
            fx->find<QPushButton>("connectButton")->click();
        };
        if (!linkCloses)
            reconnect(); // the board reports a step before it names itself after the reconnect
        fx->feed("C0 01 04");
        QFETCH(bool, exitUnanswered);
        if (exitUnanswered)
            click("btnServiceModeExit");
        if (linkCloses)
            reconnect();
        else
            fx->feed("A3 01 05");
        QCOMPARE(warnings(), QString("-------"));
        QCOMPARE(markers(), QList<int>{});
        fx->mark();
        click("btnServiceModeStart");
        QCOMPARE(fx->since(), QStringList{"57 00"});
    }

    void laserButton_data() {
        QTest::addColumn<QString>("frames");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("text");
        QTest::newRow("outside: service mode on")
            << "" << QStringList{"57 00"} << "Turn Laser Diode On";
        QTest::newRow("in a step: laser off")
            << "C0 01 01" << QStringList{"59 01 02"} << "Turn Laser Off";
        QTest::newRow("after the end")
            << "C0 01 01,C8 00" << QStringList{"57 00"} << "Turn Laser On";
        QTest::newRow("module off: laser on")
            << "C0 01 02,B5 00" << QStringList{"59 01 01"} << "Turn Laser On";
        QTest::newRow("on again") << "C0 01 02,B5 00,C0 01 01" << QStringList{"59 01 02"}
                                  << "Turn Laser Off";
    }
    void laserButton() {
        QFETCH(QString, frames);
        QFETCH(QStringList, sent);
        QFETCH(QString, text);
        click("btnServiceModeExit"); // a C8 ends service mode after an exit only
        feed(frames);
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
    }
    void calibrationGroup_onlyForTheTriaTrayLoader() {
        QFETCH(QString, code);
        QFETCH(bool, shown);
        QVERIFY(w("groupLoaderCalibration")->isHidden());
        feed("99 04 21 04 01 " + code + ",C7 02 11 " + code); // EEPROM loader byte, list
        QCOMPARE(!w("groupLoaderCalibration")->isHidden(), shown);
        QCOMPARE(w<QComboBox>("comboBox_selected_loader_type")->currentIndex(), 2);
        QCOMPARE(int(fx->board->state().loader.loader_type), code.toInt(nullptr, 16));
    }

    // Presses: R reset, T timing, anything else a brake distance to set.
    void trayCalibration_data() {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("hints"); // after each press
        QTest::addColumn<bool>("refused");      // the brake distance warning at the end
        const QString open = "Done! Open and set distance!", error = "Error! Restart with delete!";
        const QString timing = "Done! Re-open and set timing!";
        QTest::newRow("in order") << QStringList{"R", "0A", "T"}
                                  << QStringList{"71 02 00 00", "71 02 01 0A", "71 02 02 00"}
                                  << QStringList{open, timing, "Done!"} << false;
        QTest::newRow("timing first") << QStringList{"T", "0A", "R"} << QStringList{"71 02 00 00"}
                                      << QStringList{error, error, open} << false;
        QTest::newRow("odd distance") << QStringList{"R", "A"} << QStringList{"71 02 00 00"}
                                      << QStringList{open, open} << true;
        QTest::newRow("refused, then good")
            << QStringList{"R", "A", "0a"} << QStringList{"71 02 00 00", "71 02 01 0A"}
            << QStringList{open, open, timing} << false;
    }
    void trayCalibration() {
        QFETCH(QStringList, presses);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, hints);
        QFETCH(bool, refused);
        QStringList seen;
        for (const QString& press : presses) {
            if (press != "R" && press != "T")
                w<QLineEdit>("txtBrakeDistance")->setText(press);
            click(press == "R"   ? "btnCalibrationDelete"
                  : press == "T" ? "btnCalibrationSet2"
                                 : "btnCalibrationSet1");
            seen.append(w<QLabel>("lblCalibrationHint")->text());
        }
        QCOMPARE(fx->since(), sent);
        QCOMPARE(seen, hints);
        QCOMPARE(w<QLabel>("lblBrakeDistanceWarning")->text().isEmpty(), !refused);
    }

    void loaderAndPickupMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QStringList>("choices"); // action texts, in order
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("loader") << "menuLoader" << QStringList{"Tray Loader", "Slot Loader"}
                                << "loader_type" << 4;
        QTest::newRow("pickup") << "menuPickup" << QStringList{"Sanyo DA11", "Sony KHM"}
                                << "opu_type" << 1;
    }
    void loaderAndPickupMenus() {
        QFETCH(QString, menu);
        QFETCH(QStringList, choices);
        QFETCH(QString, key);
        QFETCH(int, value);
        QMenu* submenu = w<QMenu>(menu);
        QVERIFY(w<QMenu>("menuOptions")->actions().contains(submenu->menuAction()));
        QStringList checked;
        for (const QString& choice : choices)
            for (QAction* action : submenu->actions())
                if (action->text() == choice)
                    action->trigger();
        for (QAction* action : submenu->actions())
            if (action->isChecked())
                checked.append(action->text());
        QCOMPARE(checked, QStringList{choices.last()});
        QCOMPARE(QSettings().value(key).toInt(), value);
    }
    // A new session shows the choices stored by the last one.
    void loaderAndPickupMenus_storedChoiceChecked() {
        fx.reset();
        fx = std::make_unique<WindowFixture>();
        QSettings().setValue("loader_type", 4);
        QSettings().setValue("opu_type", 2);
        fx->start(Control_Panel::Configuration::Service);
        QStringList checked;
        for (const char* menu : {"menuLoader", "menuPickup"})
            for (QAction* action : w<QMenu>(menu)->actions())
                if (action->isChecked())
                    checked.append(action->text());
        QCOMPARE(checked, (QStringList{"Slot Loader", "Sanyo HD850"}));
    }
};

QTEST_MAIN(tst_servicepages)
#include "tst_servicepages.moc"
