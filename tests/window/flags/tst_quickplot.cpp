// The flag plots draw the picture the stock plot draws, whatever is set on them.
#include "flags/quickplot.h"

#include <QtTest>

namespace {

// Five named curves of noisy counts, the legend shown, as the flag page has them.
void fill(QCustomPlot& plot) {
    const char* names[] = {"C1Flags", "Uncorrectable C1 Flags", "C2 Flags",
                           "Uncorrectable C2 Flags", "Interpolation Flags"};
    const Qt::GlobalColor colours[] = {Qt::black, Qt::red, Qt::green, Qt::magenta, Qt::cyan};
    for (int k = 0; k < 5; ++k) {
        QCPGraph* graph = plot.addGraph();
        graph->setName(QString::fromLatin1(names[k]));
        graph->setPen(QPen(colours[k]));
        for (int i = 0; i < 400; ++i)
            graph->addData(i * 0.03, (i * (7 + k)) % 23 / (k + 1.0));
    }
    plot.xAxis->setLabel("Time in seconds");
    plot.yAxis->setLabel("Flags in %");
    plot.legend->setVisible(true);
    plot.rescaleAxes();
}

// The largest difference of a colour channel between two pictures of the same size.
int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

} // namespace

class tst_quickplot : public QObject {
    Q_OBJECT

private slots:
    void samePicture_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("curves and legend") << "";
        QTest::newRow("legend in two columns") << "columns";
        QTest::newRow("renamed curve") << "rename";
        QTest::newRow("resized") << "resize";
        QTest::newRow("grey background") << "grey";
        QTest::newRow("buffered layer over the curves") << "layer";
    }

    void samePicture() {
        QFETCH(QString, change);
        QCustomPlot stock;
        QuickPlot quick;
        for (QCustomPlot* plot : {&stock, static_cast<QCustomPlot*>(&quick)}) {
            fill(*plot);
            if (change == "columns") {
                plot->legend->setWrap(3);
                plot->legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
            }
            plot->resize(640, 420);
            plot->show();
            QVERIFY(QTest::qWaitForWindowExposed(plot));
            plot->replot();
            if (change == "rename") {
                plot->graph(2)->setName("C2 Flags renamed");
                plot->graph(3)->setName(QString());
            } else if (change == "resize")
                plot->resize(500, 380);
            else if (change == "grey")
                plot->setBackground(QColor(200, 200, 200));
            if (change == "layer") {
                plot->layer("overlay")->setMode(QCPLayer::lmBuffered);
                auto* mark = new QCPItemRect(plot);
                mark->setLayer("overlay");
                mark->setBrush(QColor(255, 0, 0, 100));
                mark->topLeft->setCoords(2, 20);
                mark->bottomRight->setCoords(8, 0);
            }
            plot->replot();
        }
        const QImage expected = stock.grab().toImage();
        const QImage shown = quick.grab().toImage();
        QCOMPARE(shown.size(), expected.size());
        // Anti-aliased edges may round apart by a few steps of 255 where the stock plot blends.
        QVERIFY2(largestDifference(shown, expected) <= 4,
                 qPrintable(QString::number(largestDifference(shown, expected))));
    }

    // Saving the plot as a picture or a document draws the stock way.
    void savedPicture() {
        QCustomPlot stock;
        QuickPlot quick;
        fill(stock);
        fill(quick);
        quick.replot();
        QVERIFY(largestDifference(quick.toPixmap(640, 420).toImage(),
                                  stock.toPixmap(640, 420).toImage()) <= 4);
    }
};

QTEST_MAIN(tst_quickplot)
#include "tst_quickplot.moc"
