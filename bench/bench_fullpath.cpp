// Framing and decoding throughput on the recorded stream, through the board's real receive path
// (receiveChunk(), which read_data() calls with what it read): once with the window and every
// consumer of the records (traffic view and log file, flag file, plot), once without a window.
#include "benchstream.h"
#include "benchwindow.h"
#include "cd_board.h"
#include "console/consolepage.h"
#include "flags/cflags.h"
#include "formwidget.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "ptypair.h"

#include <QApplication>
#include <QLoggingCategory>

#include <benchmark/benchmark.h>

namespace {

constexpr int RecordingBytes = 64 * 1024;

std::string readsText(int size) {
    return std::to_string(size) + "-byte reads";
}

// range(0): bytes per read; range(1): 1 when the Data Log page is the current page.
void BM_FullPath(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const bool logShown = state.range(1) != 0;
    BenchWindow bench(true);
    Control_Panel* w = bench.window();
    CD_Board* board = w->cdBoard();
    if (logShown)
        formWidget<QTabWidget>(w, "tabWidget")->setCurrentIndex(0);
    const QByteArray stream = BenchStream::recording(RecordingBytes);
    const QList<QByteArray> reads = BenchStream::chunks(stream, size);
    const IndexedList<BoardFrame>& frames = board->journal().received();
    const qint64 framesBefore = frames.size();
    for (auto _ : state) {
        for (const QByteArray& read : reads) {
            board->receiveChunk(read);
            // What the event loop runs between two reads: the queued redraw, paints, the
            // transmit queue's tick.
            bench.settle();
        }
    }
    if (w->console().receivedIndex() != frames.size() || frames.size() == framesBefore)
        state.SkipWithError("frames were not shown");
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.SetLabel("framing + decoding with view, log file, flag file and plot" +
                   std::string(logShown ? " (Data Log page shown)" : "") + ", " + readsText(size));
}
BENCHMARK(BM_FullPath)
    ->Args({64, 0})
    ->Args({4096, 0})
    ->Args({4096, 1})
    ->Unit(benchmark::kMillisecond);

void discardMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// The board without a window: the decoder's calls into the window are left out, so this is the
// framing and decoding alone. range(0): bytes per read; range(1): 1 with every debug category on
// (the messages built and thrown away), to show what the silent categories save.
void BM_FramingDecoding(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const bool debugOn = state.range(1) != 0;
    QtMessageHandler previous = nullptr;
    if (debugOn) {
        QLoggingCategory::setFilterRules(QStringLiteral("dk61.*.debug=true"));
        previous = qInstallMessageHandler(discardMessage);
    }
    PtyPair pty;
    PortFactory ports;
    CD_Board board(ports);
    board.setPortName(pty.slavePath());
    board.applyPortSettings();
    board.openPort();
    const QByteArray stream = BenchStream::recording(RecordingBytes);
    const QList<QByteArray> reads = BenchStream::chunks(stream, size);
    for (auto _ : state) {
        for (const QByteArray& read : reads)
            board.receiveChunk(read);
        state.PauseTiming();
        // Without a window nothing consumes the records, the frames and the requests. The lists
        // are emptied as the window and the transmit queue empty them, one element at a time:
        // they keep their storage (freeing it and growing it again on every pass of the recording
        // would put a reallocation of every list into each pass, which the tool never does).
        QList<CFlags*>& records = board.flagRecords();
        qDeleteAll(records);
        records.erase(records.begin(), records.end());
        FrameJournal& journal = board.journal();
        journal.dropReceivedBefore(journal.decodePosition());
        board.transmitQueue().clear();
        journal.dropSentBefore(journal.sentFrames().size());
        pty.readAvailable();
        state.ResumeTiming();
    }
    if (debugOn) {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous);
    }
    if (board.journal().decodePosition() != board.journal().received().size())
        state.SkipWithError("frames were not parsed");
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.SetLabel("framing + decoding alone (no window), " + readsText(size) +
                   (debugOn ? ", debug categories on (output discarded)" : ""));
}
BENCHMARK(BM_FramingDecoding)
    ->Args({64, 0})
    ->Args({4096, 0})
    ->Args({4096, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
