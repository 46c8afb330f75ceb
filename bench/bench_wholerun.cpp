// The whole-run view over a day at the 30 ms interval: 2,880,000 records in simulated time (about
// 4 ms of arrival jitter, the link down for a minute twice), the plot 1,400 x 600 pixels. Filling
// the store, its memory, and a redraw of the view (the envelope of the pixel columns in view and
// the plot's replot) for the whole day, an hour, a minute and ten seconds, and a pan step.
#include "benchstream.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "flags/wholerunplot.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <memory>

namespace {

const qint64 DayRecords = 86400 * 1000 / 30;

qint64 residentBytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : -1;
}

// One day of records, built once for all the benchmarks.
struct Day {
    RunStore store;
    qint64 residentGrowth = 0;
    double fillSeconds = 0;

    Day() {
        QRandomGenerator random(11);
        const qint64 before = residentBytes();
        QElapsedTimer timer;
        timer.start();
        qint64 ms = 0;
        for (qint64 i = 0; i < DayRecords; ++i) {
            if (i == DayRecords / 3 || i == 2 * DayRecords / 3) {
                store.markGap();
                ms += 60000;
            }
            quint16 c[5];
            BenchStream::randomCounts(random, c);
            store.append(ms, RunStore::Counts{c[0], c[1], c[2], c[3], c[4]}, 3);
            ms += 28 + qint64(random.bounded(5));
        }
        fillSeconds = timer.elapsed() / 1000.0;
        residentGrowth = residentBytes() - before;
    }
    static Day& get() {
        static Day day;
        return day;
    }
};

struct Plots {
    QCustomPlot live;
    QCustomPlot run;
    std::unique_ptr<WholeRunPlot> view;
    Plots() {
        for (int k = 0; k < 5; ++k)
            live.addGraph();
        run.resize(1400, 600);
        run.show();
        view = std::make_unique<WholeRunPlot>(&run, &live);
        view->showRun(&Day::get().store);
        QApplication::processEvents();
    }
};

void BM_WholeRunFill(benchmark::State& state) {
    Day& day = Day::get();
    for (auto _ : state)
        benchmark::DoNotOptimize(day.store.size());
    state.counters["records"] = double(day.store.size());
    state.SetLabel(QStringLiteral("a day at 30 ms: %1 records; store %2 MB (%3 bytes a record), "
                                  "resident memory +%4 MB; filled in %5 s")
                       .arg(day.store.size())
                       .arg(day.store.memoryBytes() / 1048576.0, 0, 'f', 1)
                       .arg(double(day.store.memoryBytes()) / day.store.size(), 0, 'f', 2)
                       .arg(day.residentGrowth / 1048576.0, 0, 'f', 1)
                       .arg(day.fillSeconds, 0, 'f', 2)
                       .toStdString());
}
BENCHMARK(BM_WholeRunFill)->Iterations(1);

// Seconds in view: 0 the whole day.
void BM_WholeRunRedraw(benchmark::State& state) {
    // Kept to the end of the program: widgets are not destroyed after the application object.
    static Plots& plots = *new Plots;
    const double span = double(state.range(0));
    const double end = Day::get().store.lastMs() / 1000.0;
    const double from = span == 0 ? 0 : end / 2;
    plots.run.xAxis->setRange(from, span == 0 ? end : from + span);
    for (auto _ : state)
        plots.view->redraw(true);
    state.SetLabel(
        QStringLiteral("whole-run view, %1 in view (%2 points a curve%3), envelope and "
                       "replot")
            .arg(span == 0 ? QStringLiteral("the whole day") : QStringLiteral("%1 s").arg(span))
            .arg(plots.run.graph(0)->dataCount())
            .arg(plots.view->decimated() ? ", decimated" : "")
            .toStdString());
}
BENCHMARK(BM_WholeRunRedraw)->Arg(0)->Arg(3600)->Arg(60)->Arg(10)->Unit(benchmark::kMillisecond);

// The envelope alone (no plot): the whole day into 1,365 columns.
void BM_WholeRunEnvelope(benchmark::State& state) {
    const RunStore& store = Day::get().store;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.envelope(0, double(store.lastMs()), 1365));
    state.SetLabel("envelope of the whole day for 1,365 columns, without the plot");
}
BENCHMARK(BM_WholeRunEnvelope)->Unit(benchmark::kMillisecond);

// A drag by 1/50 of the view, as the mouse moves: the view moves, then the plot is redrawn.
void BM_WholeRunPan(benchmark::State& state) {
    static Plots& plots = *new Plots; // (as above)
    const double end = Day::get().store.lastMs() / 1000.0;
    plots.run.xAxis->setRange(0, end / 4);
    for (auto _ : state) {
        const QCPRange view = plots.run.xAxis->range();
        const double step = view.size() / 50;
        plots.run.xAxis->setRange(view.upper + step > end ? 0 : view.lower + step,
                                  view.upper + step > end ? view.size() : view.upper + step);
        plots.run.replot();
    }
    state.SetLabel("whole-run view, a quarter of the day in view, one pan step and its replot");
}
BENCHMARK(BM_WholeRunPan)->Unit(benchmark::kMillisecond);

// The run summary over the day, record by record as the records arrive (rebuild() adds every
// record of the store again, as a change of the limits does): totals, maxima, the 10-s block
// error rate and both verdicts.
void BM_WholeRunSummary(benchmark::State& state) {
    const RunStore& store = Day::get().store;
    RunSummary summary;
    for (auto _ : state)
        summary.rebuild(store);
    state.SetLabel(QStringLiteral("the summary of the day rebuilt (%1 records; %2)")
                       .arg(store.size())
                       .arg(summary.standardText())
                       .toStdString());
}
BENCHMARK(BM_WholeRunSummary)->Unit(benchmark::kMillisecond);

} // namespace
