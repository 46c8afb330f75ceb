// The flag plot at its full window: 60 s at the 30 ms interval (2,002 records before the oldest is
// dropped), five graphs, the window at 900 x 700.
#include "benchstream.h"
#include "benchwindow.h"
#include "cd_board.h"
#include "cflags.h"
#include "control_panel.h"
#include "flagplot.h"
#include "formwidget.h"
#include "plotredraw.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QThread>

#include <benchmark/benchmark.h>

namespace {

enum PlotMode {
    CallOnly,      // plotCFlags() alone; the redraw it queues is not run
    WithRedraw,    // plotCFlags() and the redraw it causes
    RebuildRedraw, // every curve rebuilt from the whole list, then the redraw
    Antialiased    // as WithRedraw, with anti-aliased curves
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
    w->cdBoard()->state.flags.flag_sub_status = 3;
    QRandomGenerator random(7);
    // Fill the window: the list then holds 2,001 records after each call.
    for (int i = 0; i < 2002; ++i) {
        w->cdBoard()->flag_records.append(randomRecord(random));
        w->plotCFlags();
    }
    bench.settle();
    for (auto _ : state) {
        w->cdBoard()->flag_records.append(randomRecord(random));
        if (mode == RebuildRedraw)
            w->livePlot().invalidate();
        w->plotCFlags();
        if (mode == CallOnly)
            continue;
        // The redraw comes from the event loop, paced: wait for it (sleeping costs no CPU time)
        // and let it run.
        QThread::msleep(PlotRedraw::MinIntervalMs);
        QApplication::processEvents();
        while (w->livePlot().redrawPending()) {
            QThread::msleep(1);
            QApplication::processEvents();
        }
    }
    if (plot->graph(0)->data()->size() != 2000)
        state.SkipWithError("the curves do not hold the full window");
    static const char* const labels[] = {
        "plotCFlags() at the full window (2,000 points x 5 graphs), call only, per call",
        "plotCFlags() at the full window with its redraw, per call",
        "plotCFlags() at the full window, curves rebuilt, with redraw, per call",
        "plotCFlags() at the full window with redraw, anti-aliased, per call"};
    state.SetLabel(labels[mode]);
}
BENCHMARK(BM_PlotCFlags)
    ->Arg(CallOnly)
    ->Arg(WithRedraw)
    ->Arg(RebuildRedraw)
    ->Arg(Antialiased)
    ->Unit(benchmark::kMicrosecond);

} // namespace
