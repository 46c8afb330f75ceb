#include "cd_board.h"
#include "control_panel.h"
#include "ptypair.h"
#include "testenv.h"
#include "ui_control_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QtTest>

#include <memory>

class tst_control_panel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<PtyPair> pty;

    std::unique_ptr<Control_Panel> makeWindow() { return std::make_unique<Control_Panel>(); }

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        // One virtual bridge, so start-up opens it without asking anything.
        pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        TestEnv::setVirtualPorts({pty->slavePath()});
    }
    void cleanup() {
        pty.reset();
        env.reset();
    }

    void deliveredConfiguration_leavesDataLogAndFlags() {
        auto w = makeWindow();
        QTabWidget* tabs = w->ui->tabWidget;
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QString("Data Log"));
        QCOMPARE(tabs->tabText(1), QString("Flags"));
        QCOMPARE(tabs->widget(0)->objectName(), QString("tabExpertMode"));
        QCOMPARE(tabs->widget(1)->objectName(), QString("tabFlags"));
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(w->windowTitle(), QString("KXRT DADO-Tool Version 4"));
        QCOMPARE(w->size(), QSize(900, 700));
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
             {static_cast<QWidget*>(w->ui->customPlot),
              static_cast<QWidget*>(w->ui->comboCFLAGInterval),
              static_cast<QWidget*>(w->ui->horizontalSliderFlagsGraph),
              static_cast<QWidget*>(w->ui->verticalSliderFlagsGraph),
              static_cast<QWidget*>(w->ui->checkBoxC1), static_cast<QWidget*>(w->ui->chkLog),
              static_cast<QWidget*>(w->ui->textBrowser)})
            QVERIFY2(!widget->isHidden(), qPrintable(widget->objectName()));
    }

    void statusBar_startTexts() {
        auto w = makeWindow();
        QCOMPARE(w->boardLabel->text(), QString("  BOARD: no connection  "));
        QCOMPARE(w->spdifLabel->text(), QString("  SPDIF Signal: no signal  "));
        QCOMPARE(w->cflagLabel->text(), QString("  CFLAG Data: no data  "));
        for (QLabel* label : {w->boardLabel, w->spdifLabel, w->cflagLabel})
            QCOMPARE(label->styleSheet(), QString("QLabel {color: red}"));
        QVERIFY(w->statusLabel->text().isEmpty());
        // The labels sit in the status bar, left to right.
        const QList<QWidget*> order = {w->boardLabel,  w->spdifLabel,      w->cflagLabel,
                                       w->statusLabel, w->connectionLabel, w->connectButton};
        for (int i = 1; i < order.size(); ++i) {
            w->show();
            QVERIFY(order[i - 1]->x() < order[i]->x());
        }
    }

    void storedPage_isReplacedByFlagsPage_andStoredOnClose() {
        env->setSetting("selectedTab", 0);
        auto w = makeWindow();
        QCOMPARE(w->ui->tabWidget->currentIndex(), 1);
        w->ui->tabWidget->setCurrentIndex(0);
        w.reset();
        QCOMPARE(QSettings().value("selectedTab").toInt(), 0);
        auto again = makeWindow();
        QCOMPARE(again->ui->tabWidget->currentIndex(), 1);
        again.reset();
        QCOMPARE(QSettings().value("selectedTab").toInt(), 1);
    }

    void emptyStore_startsWithoutFirmwareFile() {
        auto w = makeWindow();
        QVERIFY(w->ui->lineHexFileName->text().isEmpty());
        QVERIFY(w->hexFileName.isEmpty());
    }

    void storedHexFile_givesNameAndDirectory() {
        env->setSetting("hexFilename", "/opt/fw/dk61_v12.hex");
        auto w = makeWindow();
        QCOMPARE(w->ui->lineHexFileName->text(), QString("/opt/fw/dk61_v12.hex"));
        QCOMPARE(w->hexFileDir, QString("/opt/fw/"));
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
        QCOMPARE(w->ui->comboBox_selected_baud_rate->count(), 2);
        QCOMPARE(w->ui->comboBox_selected_baud_rate->itemText(0), QString("128000"));
        QCOMPARE(w->ui->comboBox_selected_baud_rate->currentIndex(), index);
        QCOMPARE(!w->ui->BaudrateWarningLabel->isHidden(), warning);
        QCOMPARE(w->ui->comboBox_selected_focus->count(), 2);
        QCOMPARE(w->ui->comboBox_selected_focus->currentText(), QString("R31 = 18kOhm"));
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
        QCOMPARE(w->ui->tabWidget->size(), QSize(W, H - 60));
        QCOMPARE(w->ui->textBrowser->size(), QSize(W - 214, H - 210));
        QCOMPARE(w->ui->customPlot->size(), QSize(W - 70, H - 170));
        QCOMPARE(w->ui->verticalSliderFlagsGraph->size(), QSize(19, H - 160));
        const QRect h = w->ui->horizontalSliderFlagsGraph->geometry();
        QCOMPARE(h, QRect(w->ui->verticalSliderFlagsGraph->x() + 100, H - 150, W - 130, 19));
        QCOMPARE(w->ui->InputText->pos(), QPoint(210, H - 189));
        QCOMPARE(w->ui->ServiceModeWarningLabel_3->pos(), QPoint(30, H - 50));
        QCOMPARE(w->ui->horizontalScrollBar->maximum(), qMax(0, 1600 - W));
        QCOMPARE(w->ui->groupBoxTest->x(), W - w->ui->groupBoxTest->width() - 20);
    }

    void missingIspTool_leavesFlashButtonUnwired() {
        // The test binary's directory holds no ISP tool; PATH is emptied for the check.
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QByteArray("/nonexistent"));
        auto w = makeWindow();
        qputenv("PATH", oldPath);
        QVERIFY(w->ispToolPath.isEmpty());
        QCOMPARE(w->ui->labelBrowserError->text(),
                 QString("Firmware cannot be flashed. Please make sure lpc21isp.exe is in PC "
                         "Tool's directory"));
    }

    void ispTool_foundInProgramDirectoryOrPath() {
        QTemporaryDir dir;
        QVERIFY(Control_Panel::findIspTool(dir.path()).isEmpty() ||
                !qEnvironmentVariableIsEmpty("PATH"));
        QFile tool(dir.filePath("lpc21isp"));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.close();
        QCOMPARE(Control_Panel::findIspTool(dir.path()), dir.filePath("lpc21isp"));
    }
};

QTEST_MAIN(tst_control_panel)
#include "tst_control_panel.moc"
