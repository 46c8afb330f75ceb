// Framing throughput: the frame cutter alone on the recorded stream.
#include "benchstream.h"
#include "board/boardframe.h"
#include "board/framecutter.h"

#include <benchmark/benchmark.h>

namespace {

// The recording cut into reads of state.range(0) bytes, framed as read_data() does: append,
// cut every complete frame, compact once per read.
void BM_FrameCutter(benchmark::State& state) {
    const QByteArray stream = BenchStream::recording(256 * 1024);
    const QList<QByteArray> reads = BenchStream::chunks(stream, static_cast<int>(state.range(0)));
    QByteArray buffer;
    qint64 frames = 0;
    for (auto _ : state) {
        for (const QByteArray& read : reads) {
            FrameCutter cutter(buffer);
            cutter.append(read);
            QByteArray bytes;
            while (cutter.next(bytes) == FrameCutter::Step::Frame) {
                BoardFrame frame;
                frame.code = static_cast<quint8>(bytes.at(0));
                frame.length = static_cast<quint8>(bytes.at(1));
                frame.bytes = bytes;
                benchmark::DoNotOptimize(frame);
                ++frames;
            }
            cutter.compact();
        }
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.SetLabel("framing alone (frame cutter, " + std::to_string(state.range(0)) +
                   "-byte reads)");
    benchmark::DoNotOptimize(frames);
}
BENCHMARK(BM_FrameCutter)->Arg(64)->Arg(4096)->Unit(benchmark::kMillisecond);

} // namespace
