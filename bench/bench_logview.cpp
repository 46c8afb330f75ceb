// The Data Log view when it already holds its maximum of lines.
#include "benchwindow.h"
#include "control_panel.h"
#include "trafficline.h"
#include "ui_control_panel.h"

#include <QApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

QString frameLine(qint64 n) {
    const char frame[] = "\xC6\x0C\x00\x12\x00\x00\x00\x03\x00\x00\x00\x00\x03\x05";
    return TrafficLine::received(n * 30, QByteArray(frame, 14));
}

// range(0): 1 when the Data Log page is the current page (the view is drawn), 0 when the flag
// page is (as after start-up); range(1): lines added per pass.
void BM_LogViewAppend(benchmark::State& state) {
    const bool shown = state.range(0) != 0;
    const int perPass = static_cast<int>(state.range(1));
    BenchWindow bench(false);
    Control_Panel* w = bench.window();
    w->ui->tabWidget->setCurrentIndex(shown ? 0 : 1);
    qint64 n = 0;
    while (n < Control_Panel::MaxTrafficLines + 1000) {
        QStringList lines;
        for (int i = 0; i < 1000; ++i)
            lines.append(frameLine(n++));
        w->showTrafficLines(lines);
    }
    bench.settle();
    for (auto _ : state) {
        QStringList lines;
        for (int i = 0; i < perPass; ++i)
            lines.append(frameLine(n++));
        w->showTrafficLines(lines);
        QApplication::processEvents();
    }
    if (w->ui->textBrowser->document()->blockCount() != Control_Panel::MaxTrafficLines)
        state.SkipWithError("the view does not hold its maximum of lines");
    state.SetItemsProcessed(state.iterations() * perPass);
    state.SetLabel("Data Log view at " + std::to_string(Control_Panel::MaxTrafficLines) +
                   " lines, " + (shown ? "shown" : "hidden") + ", " + std::to_string(perPass) +
                   (perPass == 1 ? " line" : " lines") + " per pass, per appended line");
}
BENCHMARK(BM_LogViewAppend)
    ->Args({1, 1})
    ->Args({0, 1})
    ->Args({1, 10})
    ->Unit(benchmark::kMicrosecond);

} // namespace
