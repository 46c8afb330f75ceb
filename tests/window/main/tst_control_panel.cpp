#include "cd_board.h"
#include "dk61version.h"
#include "firmware/flashpage.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "windowfixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <memory>

class tst_control_panel : public QObject {
    Q_OBJECT

private:
    // One virtual bridge, so start-up opens it without asking anything.
    std::unique_ptr<WindowFixture> fx;
    TestEnv* env = nullptr;

    std::unique_ptr<Control_Panel> makeWindow() {
        return std::make_unique<Control_Panel>(fx->ports());
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        env = &fx->env;
    }
    void cleanup() { fx.reset(); }

    void deliveredConfiguration_leavesDataLogAndFlags() {
        auto w = makeWindow();
        QTabWidget* tabs = formWidget<QTabWidget>(w, "tabWidget");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QString("Data Log"));
        QCOMPARE(tabs->tabText(1), QString("Flags"));
        QCOMPARE(tabs->widget(0)->objectName(), QString("tabExpertMode"));
        QCOMPARE(tabs->widget(1)->objectName(), QString("tabFlags"));
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(w->windowTitle(), QString("KXRT DADO-Tool Version 4"));
        QCOMPARE(w->size(), QSize(900, 700));
        QVERIFY(!w->windowIcon().pixmap(32).isNull());
    }

    void deliveredConfiguration_hidesWidgets_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"ExpertButtonPlay",
                                 "ExpertButtonPause",
                                 "ExpertButtonStop",
                                 "ExpertEvTag",
                                 "ExpertButtonPrevious",
                                 "ExpertButtonNext",
                                 "ExpertButtonOpen",
                                 "ExperButtonClose",
                                 "checkBoxPlayInit",
                                 "ExpertGetLaser",
                                 "label_19",
                                 "labelLaserCurrent",
                                 "buttonRecordLaser",
                                 "btnLaserToEeprom",
                                 "labelAvgLaserHexValue",
                                 "lineLaserListAverage",
                                 "pushButtonFlush",
                                 "buttonWriteToRegister",
                                 "btnTestfunctions",
                                 "labelPLL",
                                 "ServiceModeWarningLabel_2",
                                 "CustomInputWarningLabel",
                                 "InputText",
                                 "CheckBoxClear",
                                 "SendButton",
                                 "connect_disconnect",
                                 "chkOther",
                                 "btnConnectOther",
                                 "txtOther",
                                 "btnSetOther",
                                 "lblConnect_other",
                                 "groupBoxTest",
                                 "ServiceModeWarningLabel_3",
                                 "labelLogFile"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void deliveredConfiguration_hidesWidgets() {
        QFETCH(QString, name);
        auto w = makeWindow();
        w->show();
        QWidget* widget = w->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QVERIFY2(widget->isHidden(), qPrintable(name + " should be hidden"));
    }

    void deliveredConfiguration_keepsFlagPageControlsVisible() {
        auto w = makeWindow();
        w->show();
        for (QWidget* widget :
             {static_cast<QWidget*>(formWidget<QCustomPlot>(w, "customPlot")),
              static_cast<QWidget*>(formWidget<QComboBox>(w, "comboCFLAGInterval")),
              static_cast<QWidget*>(formWidget<QSlider>(w, "horizontalSliderFlagsGraph")),
              static_cast<QWidget*>(formWidget<QSlider>(w, "verticalSliderFlagsGraph")),
              static_cast<QWidget*>(formWidget<QCheckBox>(w, "checkBoxC1")),
              static_cast<QWidget*>(formWidget<QCheckBox>(w, "chkLog")),
              static_cast<QWidget*>(formWidget<QPlainTextEdit>(w, "textBrowser"))})
            QVERIFY2(!widget->isHidden(), qPrintable(widget->objectName()));
    }

    void statusBar_startTexts() {
        auto w = makeWindow();
        QCOMPARE(linkStates(w), NoLinkStates);
        QVERIFY(formWidget<QLabel>(w, "statusLabel")->text().isEmpty());
        // The labels sit in the status bar, left to right.
        const QList<QWidget*> order = {
            formWidget<QLabel>(w, "boardLabel"),      formWidget<QLabel>(w, "spdifLabel"),
            formWidget<QLabel>(w, "cflagLabel"),      formWidget<QLabel>(w, "statusLabel"),
            formWidget<QLabel>(w, "connectionLabel"), formWidget<QPushButton>(w, "connectButton")};
        for (int i = 1; i < order.size(); ++i) {
            w->show();
            QVERIFY(order[i - 1]->x() < order[i]->x());
        }
    }

    void storedPage_isReplacedByFlagsPage_andStoredOnClose() {
        env->setSetting("selectedTab", 0);
        auto w = makeWindow();
        QCOMPARE(formWidget<QTabWidget>(w, "tabWidget")->currentIndex(), 1);
        formWidget<QTabWidget>(w, "tabWidget")->setCurrentIndex(0);
        w.reset();
        QCOMPARE(QSettings().value("selectedTab").toInt(), 0);
        auto again = makeWindow();
        QCOMPARE(formWidget<QTabWidget>(again, "tabWidget")->currentIndex(), 1);
        again.reset();
        QCOMPARE(QSettings().value("selectedTab").toInt(), 1);
    }

    void emptyStore_startsWithoutFirmwareFile() {
        auto w = makeWindow();
        QVERIFY(formWidget<QLineEdit>(w, "lineHexFileName")->text().isEmpty());
        QVERIFY(w->firmwarePage().hexFile().isEmpty());
    }

    void storedHexFile_givesNameAndDirectory() {
        env->setSetting("hexFilename", "/opt/fw/dk61_v12.hex");
        auto w = makeWindow();
        QCOMPARE(formWidget<QLineEdit>(w, "lineHexFileName")->text(),
                 QString("/opt/fw/dk61_v12.hex"));
        QCOMPARE(w->firmwarePage().hexDirectory(), QString("/opt/fw/"));
    }

    void baudRateList_followsStoredRate_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("warning");
        QTest::newRow("none") << QString() << 0 << false;
        QTest::newRow("128000") << "128000" << 0 << false;
        QTest::newRow("115200") << "115200" << 1 << false;
        QTest::newRow("57600") << "57600" << 0 << true;
        QTest::newRow("garbage") << "fast" << 0 << false;
    }
    void baudRateList_followsStoredRate() {
        QFETCH(QString, stored);
        QFETCH(int, index);
        QFETCH(bool, warning);
        if (!stored.isNull())
            env->setSetting("Baudrate", stored);
        auto w = makeWindow();
        QCOMPARE(formWidget<QComboBox>(w, "comboBox_selected_baud_rate")->count(), 2);
        QCOMPARE(formWidget<QComboBox>(w, "comboBox_selected_baud_rate")->itemText(0),
                 QString("128000"));
        QCOMPARE(formWidget<QComboBox>(w, "comboBox_selected_baud_rate")->currentIndex(), index);
        QCOMPARE(!formWidget<QLabel>(w, "BaudrateWarningLabel")->isHidden(), warning);
        QCOMPARE(formWidget<QComboBox>(w, "comboBox_selected_focus")->count(), 2);
        QCOMPARE(formWidget<QComboBox>(w, "comboBox_selected_focus")->currentText(),
                 QString("R31 = 18kOhm"));
    }

    void resize_relaysOutPages_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("delivered") << QSize(900, 700);
        QTest::newRow("large") << QSize(1539, 861);
        QTest::newRow("minimum") << QSize(800, 600);
    }
    void resize_relaysOutPages() {
        QFETCH(QSize, size);
        auto w = makeWindow();
        w->show();
        w->resize(size);
        QTRY_COMPARE(w->size(), size);
        const int W = size.width();
        const int H = size.height();
        QCOMPARE(formWidget<QTabWidget>(w, "tabWidget")->size(), QSize(W, H - 60));
        QCOMPARE(formWidget<QPlainTextEdit>(w, "textBrowser")->size(), QSize(W - 214, H - 210));
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->size(), QSize(W - 70, H - 170));
        QCOMPARE(formWidget<QSlider>(w, "verticalSliderFlagsGraph")->size(), QSize(19, H - 160));
        // the width slider just below the plot, what it sets at its right end
        const QRect h = formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->geometry();
        QCOMPARE(h.topLeft(),
                 QPoint(formWidget<QSlider>(w, "verticalSliderFlagsGraph")->x() + 100, H - 146));
        QCOMPARE(formWidget<QLabel>(w, "labelPlotWindow")->x(), h.right() + 7);
        QCOMPARE(formWidget<SLineEdit>(w, "InputText")->pos(), QPoint(210, H - 189));
        QCOMPARE(formWidget<QScrollBar>(w, "horizontalScrollBar")->maximum(), qMax(0, 1600 - W));
        QCOMPARE(formWidget<QGroupBox>(w, "groupBoxTest")->x(),
                 W - formWidget<QGroupBox>(w, "groupBoxTest")->width() - 20);
    }

    void missingIspTool_leavesFlashButtonUnwired() {
        // The test binary's directory holds no ISP tool; PATH is emptied for the check.
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QByteArray("/nonexistent"));
        auto w = makeWindow();
        qputenv("PATH", oldPath);
        QVERIFY(w->firmwarePage().toolPath().isEmpty());
        QCOMPARE(formWidget<QLabel>(w, "labelBrowserError")->text(),
                 QString("Firmware cannot be flashed. Please make sure lpc21isp.exe is in PC "
                         "Tool's directory"));
    }

    // The one in the program's directory is taken unless it cannot be run; then PATH's.
    void ispTool_foundInProgramDirectoryOrPath() {
        QTemporaryDir here, onPath;
        const QString local = here.filePath("lpc21isp"), other = onPath.filePath("lpc21isp");
        for (const QString& tool : {local, other})
            QVERIFY(QFile(tool).open(QIODevice::WriteOnly) &&
                    QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", onPath.path().toUtf8());
        const QString runnable = FlashPage::findIspTool(here.path());
        QFile::setPermissions(local, QFile::ReadOwner);
        const QString notRunnable = FlashPage::findIspTool(here.path());
        qputenv("PATH", oldPath);
        QCOMPARE(runnable, local);
        QCOMPARE(notRunnable, other);
    }

    // ---- Help menu ----

    void about_namesVersionAndWhereFilesGo_data() {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("name");
        QTest::newRow("delivered") << false << "DK-61 PC-Tool";
        QTest::newRow("service") << true << "DK-61 Service Tool";
    }
    void about_namesVersionAndWhereFilesGo() {
        QFETCH(bool, service);
        QFETCH(QString, name);
        env->setSetting("logFileDirectory", env->path() + "/logs");
        env->setSetting("storeLogFile", true);
        fx->start(service ? Control_Panel::Configuration::Service
                          : Control_Panel::Configuration::Delivered);
        formWidget<QAction>(fx->window, "actionAbout")->trigger();
        auto* box = formWidget<QMessageBox>(fx->window, "aboutBox");
        QVERIFY(box && box->isVisible());
        const QStringList lines = box->text().split('\n');
        QCOMPARE(lines.value(0), name + " " + QString(DK61_VERSION));
        QCOMPARE(lines.value(2), "Settings: " + QSettings().fileName());
        QCOMPARE(lines.value(3), "Log files: " + env->path() + "/logs");
        QVERIFY(lines.value(4).endsWith("(switched off in Options > Settings)"));
    }

    void portRefused_saysHowToFixItOnce() {
        fx->start();
        fx->window->portAccessDenied("ttyUSB0");
        fx->window->portAccessDenied("ttyUSB0");
        const auto boxes = fx->window->findChildren<QMessageBox*>("portAccessBox");
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first()->text().contains("ttyUSB0"));
        QVERIFY(boxes.first()->text().contains("add yourself to the dialout group"));
    }
};

QTEST_MAIN(tst_control_panel)
#include "tst_control_panel.moc"
