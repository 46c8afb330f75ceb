// What the operator sees of the board's frames: the window on a loopback adapter, frames through
// the real receive path.
#include "cd_board.h"
#include "flags/cflags.h"
#include "formwidget.h"
#include "laser/laserlist.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

namespace {

const QString Red = "QLabel {color: red}";
const QString Green = "QLabel {color: green}";

QString byteText(int value) {
    return QString("%1").arg(value & 0xFF, 2, 16, QChar('0')).toUpper();
}

} // namespace

class tst_boardwindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;

    QList<QLabel*> statusLabels() const {
        return {fx->find<QLabel>("boardLabel"), fx->find<QLabel>("spdifLabel"),
                fx->find<QLabel>("cflagLabel"), fx->find<QLabel>("status_description_spdif_label")};
    }
    QCPGraph* laserGraph(int n) const { return fx->find<QCustomPlot>("customPlotLaser")->graph(n); }

private slots:
    void initTestCase() { qRegisterMetaType<CFlags*>(); }
    void init() {
        fx = std::make_unique<WindowFixture>();
        fx->start(Control_Panel::Configuration::Service);
        QVERIFY(fx->device());
    }
    void cleanup() { fx.reset(); }

    // ---- the status bar after CFLAG records ----

    void cflags_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("announced");      // recievedCFlags
        QTest::addColumn<QStringList>("labels"); // board, spdif, cflag, message; "-": untouched
        QTest::addColumn<QStringList>("styles"); // board, spdif, cflag
        const QStringList untouched{"-", "-", "-", "-"};
        QTest::newRow("C6, 14 bytes")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 01 05" << 1
            << QStringList{"  BOARD: OK  ", "  SPDIF: OK  ", "  CFLAG: OK  ", ""}
            << QStringList{Green, Green, Green};
        QTest::newRow("A9, 14 bytes: board label untouched")
            << "A9 0C 00 10 00 01 00 02 00 03 00 04 01 05" << 0
            << QStringList{"-", "  SPDIF: OK  ", "  CFLAG: OK  ", ""}
            << QStringList{"-", Green, Green};
        QTest::newRow("C6, 8 bytes: labels untouched")
            << "C6 06 00 10 01 02 03 04" << 1 << untouched << QStringList{"-", "-", "-"};
        QTest::newRow("SPDIF error")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 11 05" << 0
            << QStringList{"  BOARD: OK  ", "  SPDIF: no signal  ", "  CFLAG: no data  ",
                           "SPDIF Error: check your SPDIF signal and if it is connected "
                           "properly! In case of persistant error, reconnect the USB-Dongle!"}
            << QStringList{Green, Red, Red};
        QTest::newRow("CFLAG error")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 21 05" << 0
            << QStringList{"  BOARD: OK  ", "  SPDIF: OK  ", "  CFLAG: no data  ",
                           "CFLAG Error: getting no CFLAG-Data! Make sure EBU-Flags are "
                           "activated and disc is played!"}
            << QStringList{Green, Green, Red};
        QTest::newRow("other error code")
            << "C6 0C 00 10 00 01 00 02 00 03 00 04 31 05" << 0
            << QStringList{"  BOARD: OK  ", "  SPDIF: OK  ", "  CFLAG: OK  ", ""}
            << QStringList{Green, Green, Green};
    }
    void cflags() {
        QFETCH(QString, frame);
        QFETCH(int, announced);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, styles);
        for (QLabel* label : statusLabels()) {
            label->setText("-");
            label->setStyleSheet("-");
        }
        QSignalSpy spy(fx->window, &Control_Panel::recievedCFlags);
        fx->feed(frame);
        QCOMPARE(spy.count(), announced);
        if (announced)
            QCOMPARE(spy.first().first().value<CFlags*>(), fx->board->flagRecords().last());
        QStringList texts;
        QStringList sheets;
        for (QLabel* label : statusLabels()) {
            texts.append(label->text());
            sheets.append(label->styleSheet());
        }
        QCOMPARE(texts, labels);
        QCOMPARE(sheets.mid(0, 3), styles);
    }

    // The labels follow the flag board from an error back to normal and again into an error.
    void cflags_labelsFollowTheErrorState() {
        auto state = [this] {
            QLabel* spdif = fx->find<QLabel>("spdifLabel");
            QLabel* cflag = fx->find<QLabel>("cflagLabel");
            return QStringList{spdif->text(), spdif->styleSheet(), cflag->text(),
                               cflag->styleSheet(), statusLabels()[3]->text().left(11)};
        };
        for (int i = 0; i < 2; ++i)
            fx->feed("C6 0C 00 10 00 01 00 02 00 03 00 04 11 05");
        QCOMPARE(state(), QStringList({"  SPDIF: no signal  ", Red, "  CFLAG: no data  ", Red,
                                       "SPDIF Error"}));
        fx->feed("C6 0C 00 10 00 01 00 02 00 03 00 04 01 05");
        QCOMPARE(state(), QStringList({"  SPDIF: OK  ", Green, "  CFLAG: OK  ", Green, ""}));
        fx->feed("C6 0C 00 10 00 01 00 02 00 03 00 04 21 05");
        QCOMPARE(state(),
                 QStringList({"  SPDIF: OK  ", Green, "  CFLAG: no data  ", Red, "CFLAG Error"}));
    }

    void flagFirmware_shownOnceInTheConnectionLabel() {
        fx->find<QLabel>("connectionLabel")->setText("Connected");
        fx->feed("C6 0C 00 00 00 00 00 00 00 00 00 00 01 07");
        fx->feed("C6 0C 00 00 00 00 00 00 00 00 00 00 01 08");
        QCOMPARE(fx->find<QLabel>("connectionLabel")->text(), QString("Connected, FW-Version: 7"));
    }

    // ---- single displays ----

    void pll_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("style");
        QTest::newRow("not locked") << "AA 01 00"
                                    << "PLL State: NOT LOCKED"
                                    << "QLabel {color:red}";
        QTest::newRow("locked") << "AA 01 01"
                                << "PLL State: LOCKED"
                                << "QLabel {color:green}";
        QTest::newRow("undefined") << "AA 01 02"
                                   << "PLL State: NOT LOCKED"
                                   << "QLabel {color:black}";
        QTest::newRow("negative") << "AA 01 FF"
                                  << "PLL State: NOT LOCKED"
                                  << "QLabel {color:black}";
    }
    void pll() {
        QFETCH(QString, frame);
        QFETCH(QString, text);
        QFETCH(QString, style);
        fx->feed(frame);
        QCOMPARE(fx->find<QLabel>("labelPLL")->text(), text);
        QCOMPARE(fx->find<QLabel>("labelPLL")->styleSheet(), style);
    }

    // The play-time displays stay empty until the board reports a time.
    void timeDisplays_emptyUntilATimeArrives() {
        fx->feed("B1 00");
        QCOMPARE(fx->find<QLabel>("time_display")->text(), QString());
        QCOMPARE(fx->find<QLabel>("time_display_2")->text(), QString());
        fx->feed("AC 03 00 4B 09");
        QCOMPARE(fx->find<QLabel>("time_display")->text(), QString("01:15:09"));
    }

    void discGone_clearsTheDiscId() {
        QLabel* label = fx->find<QLabel>("labelDiscID");
        label->setText("Disc ID: 305441741");
        fx->feed("A1 01 03");
        QVERIFY(label->text().isEmpty());
    }

    void laserReading_goesToTheRing() {
        fx->feed("B3 02 01 F4");
        QCOMPARE(fx->window->laserReadings().count(), 1);
        QCOMPARE(fx->window->laserReadings().average(), quint32(500));
    }

    // ---- loader codes ----

    void loaderList_fillsComboAndLabel() {
        QComboBox* combo = fx->find<QComboBox>("comboBox_selected_loader_type");
        QLabel* list = fx->find<QLabel>("label_possible_loader_types_list");
        fx->feed("C7 03 01 22 84");
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(0), QString("None"));
        QCOMPARE(combo->itemText(1), QString("Tray Loader + Sony KHM"));
        QCOMPARE(combo->itemText(3), QString("DK-Tria Tray + Sanyo DA11"));
        QCOMPARE(combo->itemData(2).toString(), QString(QChar(0x22)));
        QCOMPARE(list->text(), QString("Tray Loader + Sony KHM\nTop Loader + Sanyo HD850\nDK-Tria "
                                       "Tray + Sanyo DA11\n"));
        // a second list replaces the first
        fx->feed("C7 01 41");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(list->text(), QString("Slot Loader  + Sony KHM\n"));
        fx->feed("C7 00");
        QCOMPARE(combo->count(), 1);
        QVERIFY(list->text().isEmpty());
    }

    void loaderType_selectedAndShown() {
        QComboBox* combo = fx->find<QComboBox>("comboBox_selected_loader_type");
        fx->feed("BD 01 81");
        QCOMPARE(fx->find<QLabel>("statusLabel")->text(),
                 QString("Loader Type: Tray Loader DK-Tria"));
        fx->feed("C7 02 01 81");
        QCOMPARE(combo->currentIndex(), 2);
        // the placeholder is never selected
        QVERIFY(!fx->window->selectLoaderEntry(0x44));
        QCOMPARE(combo->currentIndex(), 2);
    }

    // ---- laser history and zero-hour byte ----

    void historyPlot() {
        fx->feed("A3 01 3C"); // firmware 60
        fx->board->readLaserHistory();
        for (int page = 0x22; page <= 0x31; ++page) {
            QString row = "99 13 " + byteText(page) + " 00 10";
            for (int n = 0; n < 16; ++n)
                row += " " + byteText(page + n);
            fx->feed(row);
        }
        fx->mark();
        fx->feed("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 10 00");
        QCOMPARE(fx->since(), QStringList{});
        QCPGraph* graph = laserGraph(0);
        QVERIFY(graph->visible());
        QCOMPARE(graph->dataCount(), 256);
        const double runtime = 0x1008 * 7;
        // 257 times and 256 samples pair from the start: the newest time stays without one
        QCOMPARE(graph->data()->at(0)->key, runtime - 256 * 112);
        QCOMPARE(graph->data()->at(255)->key, runtime - 112);
        // oldest sample: ring index 1 (row 0, column 1); newest: index 0
        QCOMPARE(graph->data()->at(0)->value, (0x22 + 1) * 5.0 / 7.0);
        QCOMPARE(graph->data()->at(255)->value, 0x22 * 5.0 / 7.0);
        QCOMPARE(fx->find<QCustomPlot>("customPlotLaser")->xAxis->range().upper, runtime);
        // a short play time keeps only what fits
        fx->board->readLaserHistory();
        for (int page = 0x22; page <= 0x31; ++page)
            fx->feed("99 13 " + byteText(page) + " 00 10" + QString(" 01").repeated(16));
        fx->feed("99 13 00 00 10 05 06 07 08 00 00 00 00 00 00 00 00 00 00 00 00");
        QCOMPARE(graph->dataCount(), 1);
        QCOMPARE(graph->data()->at(0)->key, 0.0);
    }

    void zeroHourLine_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("visible");
        QTest::newRow("0x80") << "99 04 21 0C 01 80" << true;
        QTest::newRow("not set") << "99 04 21 0C 01 FF" << false;
    }
    void zeroHourLine() {
        QFETCH(QString, frame);
        QFETCH(bool, visible);
        fx->board->readZeroByte();
        fx->feed(frame);
        QCPGraph* graph = laserGraph(1);
        QCOMPARE(graph->visible(), visible);
        if (visible) {
            QCOMPARE(graph->dataCount(), 2);
            QCOMPARE(graph->data()->at(0)->value, 128 * 5.0 / 7.0);
            QCOMPARE(graph->data()->at(0)->key, 0.0);
            QCOMPARE(graph->data()->at(1)->key, 5000.0);
        }
    }
};

QTEST_MAIN(tst_boardwindow)
#include "tst_boardwindow.moc"
