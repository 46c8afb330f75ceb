// Runs the benchmarks offscreen with a temporary settings store and prints one line per figure.
#include "benchstream.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>

namespace {

const char* unitName(benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond:
        return "ns";
    case benchmark::kMicrosecond:
        return "us";
    case benchmark::kMillisecond:
        return "ms";
    default:
        return "s";
    }
}

QString cpuModel() {
    QFile file("/proc/cpuinfo");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    QTextStream in(&file);
    for (QString line = in.readLine(); !line.isNull(); line = in.readLine()) {
        if (line.startsWith(QLatin1String("model name")))
            return line.section(QLatin1Char(':'), 1).trimmed();
    }
    return QStringLiteral("unknown");
}

// One line per figure: a throughput as bytes per second and as a multiple of the link's maximum,
// anything else as the time of one item (where the benchmark counts items) or of one iteration;
// the label says what the time is of. Times are CPU times of the process (the machine is shared;
// all the work of the window happens on its one thread).
class LineReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override {
        std::printf("machine: %d cores (nproc), %s\n", QThread::idealThreadCount(),
                    qPrintable(cpuModel()));
        std::fflush(stdout);
        return true;
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // With repetitions only the medians are printed.
            const bool repeated = run.repetitions > 1;
            if (repeated && (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median"))
                continue;
            const std::string name =
                run.report_label.empty() ? run.benchmark_name() : run.report_label;
            if (run.error_occurred) {
                std::printf("%s: not measured (%s)\n", name.c_str(), run.error_message.c_str());
                continue;
            }
            const auto rate = run.counters.find("bytes_per_second");
            const auto items = run.counters.find("items_per_second");
            if (rate != run.counters.end()) {
                const double perSecond = rate->second.value;
                std::printf("%s: %.0f bytes/s = %.0f x the link maximum (%.0f bytes/s)\n",
                            name.c_str(), perSecond, perSecond / BenchStream::LinkBytesPerSecond,
                            BenchStream::LinkBytesPerSecond);
            } else if (items != run.counters.end() && items->second.value > 0) {
                std::printf("%s: %.1f us\n", name.c_str(), 1e6 / items->second.value);
            } else {
                std::printf("%s: %.1f %s\n", name.c_str(), run.GetAdjustedCPUTime(),
                            unitName(run.time_unit));
            }
        }
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    LineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
