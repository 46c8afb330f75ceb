// The flag plot at its full window: 60 s at the 30 ms interval (2,002 records before the oldest is
// dropped), five graphs, the window at 900 x 700.
#include "benchstream.h"
#include "benchwindow.h"
#include "cd_board.h"
#include "flags/cflags.h"
#include "flags/flagplot.h"
#include "flags/plotredraw.h"
#include "formwidget.h"
#include "main/control_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int RecordMs = 30;

enum PlotMode {
    CallOnly,      // plotCFlags() alone; the redraw it queues is not run
    WithRedraw,    // plotCFlags() and a redraw of its own (the cost of one redraw)
    RebuildRedraw, // every curve rebuilt from the whole list, then the redraw
    Antialiased,   // as WithRedraw, with anti-aliased curves
    Paced          // a record every 30 ms, as at the 30 ms interval, with the redraws they cause
};

CFlags* randomRecord(QRandomGenerator& random) {
    quint16 c[5];
    BenchStream::randomCounts(random, c);
    return new CFlags(c[0], c[1], c[2], c[3], c[4], 1, QTime(), QTime(0, 0, 0), 0);
}

void BM_PlotCFlags(benchmark::State& state) {
    const auto mode = static_cast<PlotMode>(state.range(0));
    BenchWindow bench(false);
    Control_Panel* w = bench.window();
    QCustomPlot* plot = formWidget<QCustomPlot>(w, "customPlot");
    if (mode == Antialiased) {
        plot->setNotAntialiasedElements(QCP::aeNone);
        plot->setAntialiasedElements(QCP::aeAll);
        for (int k = 0; k < plot->graphCount(); ++k)
            plot->graph(k)->setAntialiased(true);
    }
    // The flag board reports its interval 3 (220 samples) with a record of its own.
    w->cdBoard()->receiveChunk(QByteArray::fromHex("C60C00DC00000000000000000305"));
    QRandomGenerator random(7);
    // Fill the window: the list then holds 2,001 records after each call.
    for (int i = 0; i < 2002; ++i) {
        w->cdBoard()->flagRecords().append(randomRecord(random));
        w->plotCFlags();
    }
    bench.settle();
    QElapsedTimer pace;
    pace.start();
    for (auto _ : state) {
        w->cdBoard()->flagRecords().append(randomRecord(random));
        if (mode == RebuildRedraw)
            w->livePlot().invalidate();
        w->plotCFlags();
        if (mode == CallOnly)
            continue;
        // The event loop runs, as in the tool, until the next record is due or, with a redraw
        // of its own, until the redraw and its paint are done (waiting costs no CPU time).
        QEventLoop loop;
        if (mode == Paced) {
            QTimer::singleShot(qMax<qint64>(0, RecordMs - pace.elapsed()), &loop,
                               &QEventLoop::quit);
            loop.exec();
            pace.start();
            continue;
        }
        QThread::msleep(RecordMs);
        if (w->livePlot().redrawPending()) {
            QObject::connect(plot, &QCustomPlot::afterReplot, &loop, &QEventLoop::quit);
            loop.exec();
        }
        QApplication::processEvents();
    }
    if (plot->graph(0)->data()->size() != 2000)
        state.SkipWithError("the curves do not hold the full window");
    static const char* const labels[] = {
        "plotCFlags() at the full window (2,000 points x 5 graphs), call only, per call",
        "plotCFlags() at the full window with its redraw, per call",
        "plotCFlags() at the full window, curves rebuilt, with redraw, per call",
        "plotCFlags() at the full window with redraw, anti-aliased, per call",
        "plotCFlags() at the full window, a record every 30 ms with the redraws they cause, per "
        "record"};
    state.SetLabel(labels[mode]);
}
BENCHMARK(BM_PlotCFlags)->Arg(CallOnly)->Unit(benchmark::kMicrosecond);
// A redraw at most every PlotRedraw::MinIntervalMs: a fixed number of calls keeps the wall time
// of these short.
BENCHMARK(BM_PlotCFlags)
    ->Arg(WithRedraw)
    ->Arg(RebuildRedraw)
    ->Arg(Antialiased)
    ->Iterations(30)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlotCFlags)->Arg(Paced)->Iterations(200)->Unit(benchmark::kMicrosecond);

} // namespace
