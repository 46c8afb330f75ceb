// Reading a saved run back for review: a 200 MB flag file (8,000,000 rows at the 30 ms interval,
// generated once in a temporary directory), a flag file with one line of 50 MB among its rows and
// a run of 2,000,000 records exported as CSV (165 MB); then the 200 MB file opened for review in
// the window.
// Each figure gives the time of the read (wall clock; the file is in the page cache, it was just
// written), the memory the process added at its peak while reading against the file's size, and
// the time of the run's summary, which the review builds next.
#include "benchwindow.h"
#include "flags/flagfilereader.h"
#include "flags/runcsv.h"
#include "flags/runfiles.h"
#include "flags/runsession.h"
#include "flags/runstore.h"
#include "flags/runsummary.h"
#include "main/control_panel.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cstdio>

namespace {

const qint64 Rows = 8000000;
const int LongLineBytes = 50 * 1024 * 1024;

qint64 statusKilobytes(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Memory the process holds now; the peak is counted again from here.
qint64 startPeak() {
#ifdef __GLIBC__
    malloc_trim(0); // what the last read freed goes back to the system first
#endif
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    return statusKilobytes("VmRSS:");
}

// `rows` rows of a run at the 30 ms interval, from `second` on, of a disc in poor condition.
void writeRows(QFile& file, qint64 rows, qint64 second) {
    QRandomGenerator random(5);
    QByteArray block;
    char row[64];
    for (qint64 i = 0; i < rows; ++i) {
        const int c[5] = {int(random.bounded(1000)), int(random.bounded(3)),
                          int(random.bounded(100)), int(random.bounded(2)), int(random.bounded(2))};
        const qint64 s = second + i * 30 / 1000;
        block.append(row, std::snprintf(row, sizeof row,
                                        "%02lld:%02lld:%02lld,\t%d,\t%d,\t%d,\t%d,\t%d\n", s / 3600,
                                        s / 60 % 60, s % 60, c[0], c[1], c[2], c[3], c[4]));
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
}

struct Files {
    QTemporaryDir dir;
    QString large = dir.filePath("20250306090407.txt");
    QString longLine = dir.filePath("20250306090408.txt");
    QString exported = dir.filePath("run.csv");

    Files() {
        QFile a(large);
        a.open(QIODevice::WriteOnly);
        writeRows(a, Rows, 0);
        QFile b(longLine);
        b.open(QIODevice::WriteOnly);
        writeRows(b, 10000, 0);
        const QByteArray stretch(1 << 20, 'x');
        for (int k = 0; k < LongLineBytes / stretch.size(); ++k)
            b.write(stretch);
        b.write("\n");
        writeRows(b, 10000, 400);
        RunStore run;
        QRandomGenerator random(7);
        for (qint64 i = 0; i < 2000000; ++i) {
            const RunStore::Counts c{quint16(random.bounded(1000)), quint16(random.bounded(3)),
                                     quint16(random.bounded(100)), 0, 1};
            run.append(i * 30, c, 3);
        }
        QFile e(exported);
        e.open(QIODevice::WriteOnly);
        RunCsv::write(e, run, QDateTime(QDate(2025, 3, 6), QTime(9, 4, 7)));
    }
    static Files& get() {
        static Files files;
        return files;
    }
};

// Reads the file as a flag file, or as an exported run.
void readRun(benchmark::State& state, const QString& path, const char* what, bool csv = false) {
    const qint64 fileBytes = QFileInfo(path).size();
    double seconds = 0;
    double summarySeconds = 0;
    qint64 peakKb = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const qint64 before = startPeak();
        QElapsedTimer timer;
        timer.start();
        {
            RunStore store;
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            if (csv) {
                QDateTime started;
                QString error;
                RunCsv::read(file, &store, &started, &error);
                rows = store.size();
            } else {
                rows = FlagFileReader::read(file, &store).rows;
            }
            seconds = timer.nsecsElapsed() / 1e9;
            peakKb = statusKilobytes("VmHWM:") - before;
            // What the review does next with the run.
            timer.restart();
            RunSummary summary;
            summary.rebuild(store);
            summarySeconds = timer.nsecsElapsed() / 1e9;
        }
    }
    char label[240];
    std::snprintf(label, sizeof label,
                  "reading %s (%.0f MB, %lld rows): %.2f s, peak memory +%.0f MB (%.2f x the "
                  "file); its summary %.2f s",
                  what, fileBytes / 1048576.0, static_cast<long long>(rows), seconds,
                  peakKb / 1024.0, peakKb * 1024.0 / fileBytes, summarySeconds);
    state.SetLabel(label);
}

void BM_ReadLargeFlagFile(benchmark::State& state) {
    readRun(state, Files::get().large, "a flag file of 8 million rows");
}
BENCHMARK(BM_ReadLargeFlagFile)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadFlagFileWithLongLine(benchmark::State& state) {
    readRun(state, Files::get().longLine, "a flag file with a line of 50 MB");
}
BENCHMARK(BM_ReadFlagFileWithLongLine)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ReadExportedRun(benchmark::State& state) {
    readRun(state, Files::get().exported, "a run of 2 million records exported as CSV", true);
}
BENCHMARK(BM_ReadExportedRun)->Iterations(1)->Unit(benchmark::kMillisecond);

// The 200 MB flag file opened for review in the window (File -> "Open Flag File..."): the time
// until the review is on the screen, the peak memory added, and the longest the window's event
// loop went without turning while it read (the largest gap between the ticks of a 10 ms timer).
void BM_ReviewLargeFlagFileInWindow(benchmark::State& state) {
    const QString path = Files::get().large;
    BenchWindow bench(false);
    Control_Panel* window = bench.window();
    window->flagFiles().chooseOpenFile = [path](QWidget*, const QString&, const QString&,
                                                const QString&) { return path; };
    QAction* open = window->findChild<QAction*>(QStringLiteral("actionOpenFlagFile"));
    double seconds = 0;
    qint64 peakKb = 0;
    qint64 longestGapMs = 0;
    for (auto _ : state) {
        bench.settle();
        const qint64 before = startPeak();
        QElapsedTimer gap;
        QTimer tick;
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longestGapMs = qMax(longestGapMs, gap.restart()); });
        QElapsedTimer timer;
        timer.start();
        gap.start();
        tick.start();
        open->trigger();
        bench.settle();
        seconds = timer.nsecsElapsed() / 1e9;
        peakKb = statusKilobytes("VmHWM:") - before;
        tick.stop();
        window->flagSession().backToLive();
    }
    char label[240];
    std::snprintf(label, sizeof label,
                  "review in the window (%.0f MB): shown after %.2f s, peak memory +%.0f MB, "
                  "event loop stalled %lld ms at most",
                  QFileInfo(path).size() / 1048576.0, seconds, peakKb / 1024.0,
                  static_cast<long long>(longestGapMs));
    state.SetLabel(label);
}
BENCHMARK(BM_ReviewLargeFlagFileInWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
