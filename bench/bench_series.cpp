// A run's curve in the results database (table run_series). Writing: what the curve of a
// 74-minute run at the 30 ms interval costs the window's thread and the store's thread while it
// is measured, into SQLite files (the results file and the outbox). Reading: a 74-minute run's
// series read back from a PostgreSQL server of its own (as the tests start one) and made into
// what a report needs (the seconds, the plot's records and the summary), wall clock per read.
#include "flags/runseries.h"
#include "flags/runsummary.h"
#include "pgserver.h"
#include "resultsstore.h"
#include "resultstable.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

namespace {

constexpr int RunSeconds = 74 * 60;
constexpr int Records = RunSeconds * 1000 / 30;
constexpr int RecordsPerWrite = 10000 / 30; // the store writes every 10 s of the run

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A disc in fair condition: about 300 C1 blocks a second, some C2, now and then worse.
RunStore::Counts counts(QRandomGenerator& random) {
    return {quint16(random.bounded(4, 15)), quint16(random.bounded(60) == 0),
            quint16(random.bounded(3) == 0), 0, quint16(random.bounded(500) == 0)};
}

// What the series adds to a 74-minute run at the 30 ms interval, in CPU seconds of this thread:
// on the window's side every record added to the curve and, with every new second, the chunks
// handed to the store (as the recorder does); on the store's side every 10 s of the run its
// write as the store's thread makes it (into the outbox, into the results file, out of the
// outbox), with the chunk against the same write without it, the two taking turns.
struct SeriesCost {
    double window = 0.0;
    double store = 0.0;
};

SeriesCost seriesCost(const QString& folder) {
    SeriesCost cost;
    const ResultsLocation boxAt = ResultsLocation::parse("sqlite:" + folder + "/outbox.sqlite");
    const ResultsLocation fileAt = ResultsLocation::parse("sqlite:" + folder + "/results.sqlite");
    {
        QSqlDatabase box = boxAt.connection("bench-box", 5);
        QSqlDatabase file = fileAt.connection("bench-file", 5);
        QString error;
        if (!box.open() || !file.open() || !ResultsTable::prepare(box, &error) ||
            !ResultsTable::prepare(file, &error))
            return cost;
        RunSeries curve;
        RunSummary summary;
        RunResult run = RunResult::begin();
        QRandomGenerator random(3);
        int handedFrom = 0, handedSize = 0;
        QVector<RunSeries::Chunk> pending;
        for (int i = 0; i < Records; ++i) {
            const RunStore::Counts c = counts(random);
            summary.add(c, 3);
            const double before = threadCpuSeconds();
            curve.add(i * 30, c, 3, {1 + i / 8000, i * 30 / 1000});
            if (curve.size() > handedSize) {
                const QVector<RunSeries::Chunk> chunks = curve.chunksFrom(handedFrom);
                for (const RunSeries::Chunk& chunk : chunks) { // the store's merge
                    auto same = std::find_if(pending.begin(), pending.end(), [&](auto& o) {
                        return o.firstSecond == chunk.firstSecond;
                    });
                    same == pending.end() ? pending.append(chunk) : void(*same = chunk);
                }
                handedFrom = curve.size() - 1;
                handedSize = curve.size();
            }
            cost.window += threadCpuSeconds() - before;
            if ((i + 1) % RecordsPerWrite != 0)
                continue;
            run.takeSummary(summary);
            for (bool withSeries : {false, true}) {
                RunResult version = run;
                version.revision = ++run.revision;
                if (withSeries)
                    version.series = pending;
                const double start = threadCpuSeconds();
                ResultsTable::upsert(box, {version}, &error);
                ResultsTable::upsert(file, {version}, &error);
                ResultsTable::remove(box, {version}, &error);
                cost.store += (withSeries ? 1 : -1) * (threadCpuSeconds() - start);
            }
            pending.clear();
        }
    }
    QSqlDatabase::removeDatabase("bench-box");
    QSqlDatabase::removeDatabase("bench-file");
    return cost;
}

void BM_SeriesWrite(benchmark::State& state) {
    SeriesCost cost;
    for (auto _ : state) {
        QTemporaryDir dir;
        cost = seriesCost(dir.path());
    }
    const double share = 100.0 * (cost.window + cost.store) / RunSeconds;
    char label[200];
    std::snprintf(label, sizeof label,
                  "Series of a 74-min run at 30 ms, written: %.0f ms CPU (window %.0f ms, store "
                  "%.0f ms) = %.4f %% of a core",
                  1000.0 * (cost.window + cost.store), 1000.0 * cost.window, 1000.0 * cost.store,
                  share);
    state.SetLabel(label);
}
BENCHMARK(BM_SeriesWrite)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SeriesReadPostgres(benchmark::State& state) {
    if (!QSqlDatabase::isDriverAvailable("QPSQL")) {
        state.SkipWithError("Qt's PostgreSQL driver is not installed");
        return;
    }
    qputenv("PGPASSWORD", PgServer::Password);
    PgServer server;
    const QString why = server.create();
    if (!why.isEmpty()) {
        state.SkipWithError(qPrintable(why));
        return;
    }
    QTemporaryDir dir;
    ResultsStore::Options o;
    o.location = server.location();
    o.outboxPath = dir.filePath("outbox.sqlite");
    ResultsStore store(o);
    RunResult run = RunResult::begin();
    RunSeries curve;
    QRandomGenerator random(3);
    for (int i = 0; i < Records; ++i)
        curve.add(i * 30, counts(random), 3, {1 + i / 8000, i * 30 / 1000});
    run.records = Records;
    run.series = curve.chunks();
    store.finish(run);
    if (!store.flush(30000)) {
        state.SkipWithError("the run did not reach the server");
        return;
    }
    qint64 wallNs = 0;
    int reads = 0;
    for (auto _ : state) {
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QVector<RunSeries::Chunk> chunks;
        const int id = store.querySeries(run.runId);
        QObject::connect(&store, &ResultsStore::seriesDone, &loop,
                         [&](int answered, const QVector<RunSeries::Chunk>& got) {
                             if (answered == id) {
                                 chunks = got;
                                 loop.quit();
                             }
                         });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        RunSeries back;
        QString error;
        RunSummary summary;
        if (!RunSeries::fromChunks(chunks, &back, &error) || back.size() != curve.size()) {
            state.SkipWithError("the series did not come back whole");
            return;
        }
        back.addUp(summary);
        const RunStore plotted = back.toStore();
        benchmark::DoNotOptimize(plotted.size());
        wallNs += wall.nsecsElapsed();
        ++reads;
    }
    char label[160];
    std::snprintf(label, sizeof label,
                  "Series of a 74-min run read back from PostgreSQL for a report: %.1f ms wall",
                  reads ? wallNs / 1e6 / reads : 0.0);
    state.SetLabel(label);
}
BENCHMARK(BM_SeriesReadPostgres)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
