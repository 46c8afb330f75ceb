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

enum ViewState {
    NeverShown, // the flag page is the current page since start-up
    Shown,      // the Data Log page is the current page
    ShownBefore // the operator looked at the Data Log page and went back to the flag page
};

// range(0): a ViewState; range(1): lines added per pass.
void BM_LogViewAppend(benchmark::State& state) {
    const auto view = static_cast<ViewState>(state.range(0));
    const int perPass = static_cast<int>(state.range(1));
    BenchWindow bench(false);
    Control_Panel* w = bench.window();
    w->ui->tabWidget->setCurrentIndex(view == NeverShown ? 1 : 0);
    qint64 n = 0;
    while (n < Control_Panel::MaxTrafficLines + 1000) {
        QStringList lines;
        for (int i = 0; i < 1000; ++i)
            lines.append(frameLine(n++));
        w->showTrafficLines(lines);
    }
    bench.settle();
    if (view == ShownBefore) {
        w->ui->tabWidget->setCurrentIndex(1);
        bench.settle();
    }
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
    static const char* const viewText[] = {"never shown", "shown", "hidden after being shown"};
    state.SetLabel("Data Log view at " + std::to_string(Control_Panel::MaxTrafficLines) +
                   " lines, " + viewText[view] + ", " + std::to_string(perPass) +
                   (perPass == 1 ? " line" : " lines") + " per pass, per appended line");
}
BENCHMARK(BM_LogViewAppend)
    ->Args({Shown, 1})
    ->Args({NeverShown, 1})
    ->Args({ShownBefore, 1})
    ->Args({Shown, 10})
    ->Unit(benchmark::kMicrosecond);

} // namespace
