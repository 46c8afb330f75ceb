#include "cd_board.h"
#include "flags/cflags.h"
#include "flags/flagplot.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "windowfixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using Counts = std::array<quint16, 5>;

// The plot as the flag page draws it, computed from scratch for every record: the model the
// window's point-by-point updates must match exactly.
struct ReferencePlot {
    std::vector<Counts> records;
    int scroll = 0;
    double lower = 0, upper = 0; // x range
    std::array<QVector<double>, 5> keys, values;

    void setRange(double a, double b) {
        if (a == b) // an empty span is not accepted by the axis
            return;
        lower = qMin(a, b);
        upper = qMax(a, b);
    }
    void clear(int width) {
        records.clear();
        scroll = 0;
        setRange(0, width);
    }
    void plot(int subStatus, int width) {
        if (records.empty())
            return;
        const double interval = subStatus == 2 ? 0.17 : subStatus == 3 ? 0.03 : 1.0;
        const double scale = 100 / (interval * 7350);
        const double window = width / interval;
        if (records.size() > window + 1) {
            ++scroll;
            records.erase(records.begin());
        }
        const int n = static_cast<int>(records.size());
        int first = 0;
        if (window < n)
            first = static_cast<int>(std::trunc(n - window));
        for (auto& k : keys)
            k.clear();
        for (auto& v : values)
            v.clear();
        for (int i = first; i < n; ++i) {
            const double time = (scroll + i) * interval;
            for (int k = 0; k < 5; ++k) {
                keys[k].append(time);
                values[k].append(static_cast<qint16>(records[i][k]) * scale);
            }
            if (window < n)
                setRange(first == i ? time : (scroll + first) * interval, time);
        }
    }
};

} // namespace

class tst_flagplot : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<WindowFixture> fx;
    // The interval the flag board reports with its records (its status byte's low nibble).
    int reported = 1;

    std::unique_ptr<Control_Panel> makeWindow() {
        auto w = std::make_unique<Control_Panel>(fx->ports());
        formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->setRange(0, 60);
        formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->setValue(30);
        return w;
    }
    // A record from the flag board (a 14-byte CFLAG frame on the link): the board appends it,
    // the window plots it.
    void arrive(Control_Panel*, const Counts& c) {
        QByteArray frame = QByteArray::fromHex("C60C");
        for (quint16 count : c)
            frame += char(count >> 8) + QByteArray(1, char(count & 0xFF));
        frame += char(reported) + QByteArray(1, '\0');
        QVERIFY(fx->device() && fx->device()->inject(frame));
    }
    // How many pixels of the plot, drawn at the size the window gives it, have a curve's colour.
    static int pixelsOf(Control_Panel* w, int k) {
        QCustomPlot* plot = formWidget<QCustomPlot>(w, "customPlot");
        plot->replot();
        const QImage image = plot->toPixmap().toImage();
        const QRgb colour = plot->graph(k)->pen().color().rgb();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    static QCPGraph* graph(Control_Panel* w, int k) {
        return formWidget<QCustomPlot>(w, "customPlot")->graph(k);
    }

    static void compare(Control_Panel* w, const ReferencePlot& ref, const char* where) {
        for (int k = 0; k < 5; ++k) {
            QSharedPointer<QCPGraphDataContainer> data = graph(w, k)->data();
            QVERIFY2(data->size() == ref.keys[k].size(),
                     qPrintable(QString("%1: graph %2 holds %3 points, expected %4")
                                    .arg(where)
                                    .arg(k)
                                    .arg(data->size())
                                    .arg(ref.keys[k].size())));
            int i = 0;
            for (auto it = data->constBegin(); it != data->constEnd(); ++it, ++i) {
                QVERIFY2(it->key == ref.keys[k][i] && it->value == ref.values[k][i],
                         qPrintable(QString("%1: graph %2 point %3 is (%4, %5), expected (%6, %7)")
                                        .arg(where)
                                        .arg(k)
                                        .arg(i)
                                        .arg(it->key)
                                        .arg(it->value)
                                        .arg(ref.keys[k][i])
                                        .arg(ref.values[k][i])));
            }
        }
        const QCPRange range = formWidget<QCustomPlot>(w, "customPlot")->xAxis->range();
        QVERIFY2(range.lower == ref.lower && range.upper == ref.upper,
                 qPrintable(QString("%1: x range %2..%3, expected %4..%5")
                                .arg(where)
                                .arg(range.lower)
                                .arg(range.upper)
                                .arg(ref.lower)
                                .arg(ref.upper)));
        QCOMPARE(w->cdBoard()->flagRecords().size(), static_cast<int>(ref.records.size()));
        QCOMPARE(w->livePlot().scrollCount(), ref.scroll);
    }

private slots:
    void init() {
        fx = std::make_unique<WindowFixture>();
        reported = 1;
    }
    void cleanup() { fx.reset(); }

    void arithmetic_data() {
        QTest::addColumn<int>("subStatus");
        QTest::addColumn<double>("interval");
        QTest::newRow("1 s") << 1 << 1.0;
        QTest::newRow("170 ms") << 2 << 0.17;
        QTest::newRow("30 ms") << 3 << 0.03;
        QTest::newRow("unknown 0") << 0 << 1.0;
        QTest::newRow("unknown 7") << 7 << 1.0;
    }
    void arithmetic() {
        QFETCH(int, subStatus);
        QFETCH(double, interval);
        QCOMPARE(FlagPlotWindow::intervalFor(subStatus), interval);
        // 7350 flagged frames per second are 100 %.
        QCOMPARE(FlagPlotWindow::percentOf(7350, FlagPlotWindow::scaleFor(1.0)), 100.0);
        QCOMPARE(FlagPlotWindow::windowFor(30, interval), 30 / interval);
    }

    void plan_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("window");
        QTest::addColumn<bool>("drops");
        QTest::addColumn<int>("first");
        QTest::addColumn<bool>("setsRange");
        QTest::newRow("fits") << 10 << 30.0 << false << 0 << false;
        QTest::newRow("exactly the window") << 30 << 30.0 << false << 0 << false;
        QTest::newRow("one over") << 31 << 30.0 << false << 1 << true;
        QTest::newRow("two over drops") << 32 << 30.0 << true << 2 << true;
        QTest::newRow("170 ms, 177 kept") << 177 << 30 / 0.17 << false << 0 << true;
        QTest::newRow("170 ms, 178 drops") << 178 << 30 / 0.17 << true << 1 << true;
        QTest::newRow("zero width: nothing drawn") << 1 << 0.0 << false << 1 << false;
        QTest::newRow("single point in range") << 2 << 1.5 << false << 0 << true;
    }
    void plan() {
        QFETCH(int, count);
        QFETCH(double, window);
        QFETCH(bool, drops);
        QFETCH(int, first);
        QFETCH(bool, setsRange);
        QCOMPARE(FlagPlotWindow::dropsOldest(count, window), drops);
        const FlagPlotWindow::Step step = FlagPlotWindow::plan(count, window);
        QCOMPARE(step.firstTaken, qint64(first));
        QCOMPARE(step.setsRange, setsRange);
    }

    void percent_data() {
        QTest::addColumn<int>("subStatus");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("percent");
        QTest::newRow("one flag at 1 s") << 1 << 1 << 100.0 / 7350;
        QTest::newRow("all frames at 1 s") << 1 << 7350 << 100.0;
        QTest::newRow("all frames at 170 ms") << 2 << 1250 << 100.0 * 1250 / 1249.5;
        QTest::newRow("one flag at 30 ms") << 3 << 1 << 100.0 / 220.5;
        QTest::newRow("counts are signed 16-bit") << 1 << 65535 << -100.0 / 7350;
    }
    void percent() {
        QFETCH(int, subStatus);
        QFETCH(int, count);
        QFETCH(double, percent);
        auto w = makeWindow();
        reported = subStatus;
        const auto c = static_cast<quint16>(count);
        arrive(w.get(), {c, c, c, c, c});
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(graph(w.get(), k)->data()->size(), 1);
            QCOMPARE(graph(w.get(), k)->data()->at(0)->key, 0.0);
            QVERIFY(qAbs(graph(w.get(), k)->data()->at(0)->value - percent) < 1e-9);
        }
        if (subStatus == 1 && count == 1)
            QCOMPARE(QString::number(graph(w.get(), 0)->data()->at(0)->value, 'f', 4),
                     QString("0.0136"));
    }

    void window170ms_keeps177Records() {
        auto w = makeWindow();
        reported = 2;
        for (int i = 0; i < 300; ++i)
            arrive(w.get(), {quint16(i), 0, 0, 0, 0});
        QCOMPARE(w->cdBoard()->flagRecords().size(), 177);
        QCOMPARE(w->livePlot().scrollCount(), 300 - 177);
        QCPGraph* g = graph(w.get(), 0);
        QCOMPARE(g->data()->size(), 177);
        QCOMPARE(g->data()->at(0)->key, 123 * 0.17);
        QCOMPARE(g->data()->at(176)->key, 299 * 0.17);
        // The newest record is the newest point, the oldest kept one the first.
        QCOMPARE(g->data()->at(176)->value, 299 * 100 / (0.17 * 7350));
        QCOMPARE(w->cdBoard()->flagRecords().first()->getC1Flags(), quint16(123));
        const QCPRange range = formWidget<QCustomPlot>(w, "customPlot")->xAxis->range();
        QCOMPARE(range.lower, 123 * 0.17);
        QCOMPARE(range.upper, 299 * 0.17);
    }

    void widthSlider_emptiesListAndRestartsAtZero() {
        auto w = makeWindow();
        for (int i = 0; i < 40; ++i)
            arrive(w.get(), {1, 0, 0, 0, 0});
        QVERIFY(w->livePlot().scrollCount() > 0);
        formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->setValue(20);
        QVERIFY(w->cdBoard()->flagRecords().isEmpty());
        QCOMPARE(w->livePlot().scrollCount(), 0);
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->xAxis->range().lower, 0.0);
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->xAxis->range().upper, 20.0);
        arrive(w.get(), {2, 0, 0, 0, 0});
        QCOMPARE(graph(w.get(), 0)->data()->size(), 1);
        QCOMPARE(graph(w.get(), 0)->data()->at(0)->key, 0.0);
    }

    void heightSlider_setsYRange() {
        auto w = makeWindow();
        formWidget<QSlider>(w, "verticalSliderFlagsGraph")->setRange(1, 100);
        formWidget<QSlider>(w, "verticalSliderFlagsGraph")->setValue(55);
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->yAxis->range().lower, 0.0);
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->yAxis->range().upper, 55.0);
    }

    void intervalChange_sendsOneByteAndRestarts_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("7350 samples") << 0 << QByteArray("\xA1");
        QTest::newRow("1250 samples") << 1 << QByteArray("\xA2");
        QTest::newRow("220 samples") << 2 << QByteArray("\xA3");
    }
    void intervalChange_sendsOneByteAndRestarts() {
        QFETCH(int, entry);
        QFETCH(QByteArray, sent);
        auto w = makeWindow();
        QVERIFY(fx->device());
        fx->device()->waitForWritten(2, 300); // whatever the start-up sent
        for (int i = 0; i < 35; ++i)
            arrive(w.get(), {1, 0, 0, 0, 0});
        QVERIFY(w->livePlot().scrollCount() > 0);
        formWidget<QCustomPlot>(w, "customPlot")->xAxis->setRange(3, 33);

        emit formWidget<QComboBox>(w, "comboCFLAGInterval")->activated(entry);
        QVERIFY(w->cdBoard()->flagRecords().isEmpty());
        QCOMPARE(w->livePlot().scrollCount(), 0);
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->xAxis->range().lower, 0.0);
        QCOMPARE(formWidget<QCustomPlot>(w, "customPlot")->xAxis->range().upper, 30.0);
        // A request handed over now goes out after whatever the change queued.
        const QByteArray marker = QByteArray::fromHex("2100");
        w->cdBoard()->sendRequest(marker);
        QCOMPARE(fx->device()->waitForWritten(sent.size() + marker.size(), 2000), sent + marker);

        arrive(w.get(), {1, 0, 0, 0, 0});
        QCOMPARE(graph(w.get(), 0)->data()->size(), 1);
        QCOMPARE(graph(w.get(), 0)->data()->at(0)->key, 0.0);
    }

    void checkBox_showsAtNextRecord() {
        auto w = makeWindow();
        QCheckBox* boxes[5] = {
            formWidget<QCheckBox>(w, "checkBoxC1"), formWidget<QCheckBox>(w, "checkBoxC1U"),
            formWidget<QCheckBox>(w, "checkBoxC2"), formWidget<QCheckBox>(w, "checkBoxC2U"),
            formWidget<QCheckBox>(w, "checkBoxInterpol")};
        for (QCheckBox* box : boxes)
            box->setChecked(true);
        arrive(w.get(), {1, 1, 1, 1, 1});
        for (int k = 0; k < 5; ++k)
            QVERIFY(graph(w.get(), k)->visible());
        boxes[2]->setChecked(false);
        QVERIFY(graph(w.get(), 2)->visible());
        arrive(w.get(), {1, 1, 1, 1, 1});
        QVERIFY(!graph(w.get(), 2)->visible());
        for (int k : {0, 1, 3, 4})
            QVERIFY(graph(w.get(), k)->visible());
        // Hidden curves keep their points.
        QCOMPARE(graph(w.get(), 2)->data()->size(), 2);
    }

    void noRecords_keepsLastContent() {
        auto w = makeWindow();
        arrive(w.get(), {5, 0, 0, 0, 0});
        formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->setValue(25);
        w->plotCFlags();
        QCOMPARE(graph(w.get(), 0)->data()->size(), 1);
    }

    void graphs_setUp() {
        auto w = makeWindow();
        QCustomPlot* plot = formWidget<QCustomPlot>(w, "customPlot");
        // Five curves in the legend (the edge marks of each are graphs of their own, not listed).
        QCOMPARE(plot->legend->itemCount(), 5);
        const char* names[] = {"C1Flags", "Uncorrectable C1 Flags", "C2 Flags",
                               "Uncorrectable C2 Flags", "Interpolation Flags"};
        for (int k = 0; k < 5; ++k)
            QCOMPARE(plot->graph(k)->name(), QString(names[k]));
        QCOMPARE(plot->graph(1)->pen().color(), QColor(Qt::red));
        QCOMPARE(plot->graph(2)->pen().color(), QColor(Qt::green));
        QCOMPARE(plot->graph(3)->pen().color(), QColor(Qt::magenta));
        QCOMPARE(plot->graph(4)->pen().color(), QColor(Qt::cyan));
        QCOMPARE(plot->xAxis->label(), QString("Time in seconds"));
        QCOMPARE(plot->yAxis->label(), QString("Flags in %"));
        QVERIFY(plot->legend->visible());
    }

    // Where C1 and C2 are at one place, above the top or on the same values, C1 shows: its marks
    // as whole as C2's, its curve over C2's.
    void severalCurvesAtOnePlace_C1Seen_data() {
        QTest::addColumn<int>("subStatus");
        QTest::addColumn<bool>("perSecond");
        QTest::addColumn<int>("count"); // of C1 and C2 in every record
        QTest::newRow("above the top, per second at 30 ms") << 3 << true << 100;
        QTest::newRow("above the top, percent at 1 s") << 1 << false << 5000;
        QTest::newRow("on the same values") << 1 << false << 400;
    }
    void severalCurvesAtOnePlace_C1Seen() {
        QFETCH(int, subStatus);
        QFETCH(bool, perSecond);
        QFETCH(int, count);
        auto w = makeWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        if (perSecond)
            formWidget<QRadioButton>(w, "radioFlagsPerSecond")->click();
        reported = subStatus;
        for (int i = 0; i < 200; ++i)
            arrive(w.get(), {quint16(count), 0, quint16(count), 0, 0});
        const int c1 = pixelsOf(w.get(), 0);
        const int c2 = pixelsOf(w.get(), 2);
        QVERIFY2(c1 >= c2 && c1 > 100, qPrintable(QString("C1 %1, C2 %2 pixels").arg(c1).arg(c2)));
    }

    // Scaled automatically, the newest points stay below the legend.
    void automaticScale_newestClearOfLegend() {
        auto w = makeWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        formWidget<QCheckBox>(w, "checkBoxFlagsAutoScale")->setChecked(true);
        for (int i = 0; i < 40; ++i)
            arrive(w.get(), {1200, 0, 0, 0, 0});
        QCustomPlot* plot = formWidget<QCustomPlot>(w, "customPlot");
        plot->replot();
        plot->replot(); // the legend laid out at the plot's size
        const double newest =
            graph(w.get(), 0)->data()->at(graph(w.get(), 0)->dataCount() - 1)->value;
        QVERIFY2(plot->yAxis->coordToPixel(newest) > plot->legend->outerRect().bottom(),
                 qPrintable(QString("top %1").arg(plot->yAxis->range().upper)));
    }

    // A screen reader names every plot, slider and text view of the pages the operator has.
    void plotsSlidersAndViews_named() {
        auto w = makeWindow();
        auto* tabs = formWidget<QTabWidget>(w, "tabWidget");
        QList<QWidget*> widgets;
        for (int page = 0; page < tabs->count(); ++page)
            for (QWidget* widget : tabs->widget(page)->findChildren<QWidget*>())
                if (qobject_cast<QCustomPlot*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
                    (qobject_cast<QSlider*>(widget) && !widget->isHidden()))
                    widgets << widget;
        QCOMPARE(widgets.size(), 5); // the Data Log, two plots, two sliders
        for (QWidget* widget : widgets)
            QVERIFY2(
                !QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).isEmpty(),
                qPrintable(widget->objectName()));
    }

    // The curves are updated point by point; whatever happens, they must hold exactly what a
    // rebuild from the whole list gives.
    void pointByPointUpdates_matchFullRebuild() {
        auto w = makeWindow();
        ReferencePlot ref;
        ref.lower = 0;
        ref.upper = 30;
        quint32 seed = 12345;
        auto next = [&seed]() {
            seed = seed * 1103515245u + 12345u;
            return static_cast<quint16>(seed >> 8);
        };
        int status = 1;
        auto feed = [&](int count, const char* where) {
            for (int i = 0; i < count; ++i) {
                const Counts c = {next(), next(), next(), next(), next()};
                ref.records.push_back(c);
                ref.plot(status, formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->value());
                reported = status;
                arrive(w.get(), c);
                compare(w.get(), ref, where);
                if (QTest::currentTestFailed())
                    return;
            }
        };
        auto setWidth = [&](int width) {
            formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->setValue(width);
            ref.clear(width);
        };
        setWidth(5);
        feed(12, "1 s, width 5");
        status = 3; // the board reports another interval without a request
        feed(4, "30 ms after 1 s");
        status = 2;
        feed(40, "170 ms, width 5");
        setWidth(0);
        feed(3, "zero width");
        setWidth(1);
        feed(10, "170 ms, width 1");
        w->send_flagrate_setting(0);
        ref.clear(formWidget<QSlider>(w, "horizontalSliderFlagsGraph")->value());
        status = 1;
        feed(4, "after the interval command");
        setWidth(2);
        status = 3;
        feed(150, "30 ms, width 2");
    }
};

QTEST_MAIN(tst_flagplot)
#include "tst_flagplot.moc"
