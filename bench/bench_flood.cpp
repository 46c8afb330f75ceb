// An unthrottled flood of CFLAG records through the whole window: framing and decoding, the Data
// Log view and the log file, the flag file, the plot and the run's summary, with both files on.
// Every record must reach the flag file and every frame the log file.
#include "benchstream.h"
#include "benchwindow.h"
#include "cd_board.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "settings/logfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTabWidget>

#include <benchmark/benchmark.h>

namespace {

qint64 countLines(const QString& path, const QByteArray& containing) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 count = 0;
    while (!file.atEnd())
        if (file.readLine().contains(containing))
            ++count;
    return count;
}

// range(0): 1 when the Data Log page is the current page.
void BM_Flood(benchmark::State& state) {
    const bool logShown = state.range(0) != 0;
    BenchWindow bench(true);
    Control_Panel* w = bench.window();
    CD_Board* board = w->cdBoard();
    if (logShown)
        formWidget<QTabWidget>(w, "tabWidget")->setCurrentIndex(0);
    QRandomGenerator random(1);
    QByteArray stream;
    while (stream.size() < 64 * 1024) {
        quint16 counts[5];
        BenchStream::randomCounts(random, counts);
        stream.append(BenchStream::cflagFrame(counts));
    }
    const qint64 perPass = stream.size() / 14;
    const QList<QByteArray> reads = BenchStream::chunks(stream, 4096);
    const QString flagFile = w->flagFile().fileName();
    const QString logFile = w->logFile().fileName();
    const qint64 rowsBefore = countLines(flagFile, ",\t");
    const qint64 linesBefore = countLines(logFile, "]DK-61  : C6");
    for (auto _ : state) {
        for (const QByteArray& read : reads) {
            board->receiveChunk(read);
            bench.settle();
        }
    }
    const qint64 records = perPass * state.iterations();
    if (countLines(flagFile, ",\t") - rowsBefore != records ||
        countLines(logFile, "]DK-61  : C6") - linesBefore != records)
        state.SkipWithError("not every record reached the files");
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.SetLabel(std::string("flood of CFLAG records (14-byte frames), log and flag files on") +
                   (logShown ? ", Data Log page shown" : "") + ", 4096-byte reads");
}
BENCHMARK(BM_Flood)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
