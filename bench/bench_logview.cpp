// The Data Log view when it already holds its maximum of lines.
#include "benchwindow.h"
#include "console/consolepage.h"
#include "console/trafficline.h"
#include "console/trafficview.h"
#include "formwidget.h"
#include "main/control_panel.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QThread>

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

enum Pace {
    EachAtOnce, // every pass goes into the view at once (the cost of one batch)
    Every30ms   // one pass every 30 ms, as at the shortest flag interval; CPU time per pass
};

// range(0): a ViewState; range(1): a Pace. One line per pass.
void BM_LogViewAppend(benchmark::State& state) {
    const auto view = static_cast<ViewState>(state.range(0));
    const auto pace = static_cast<Pace>(state.range(1));
    BenchWindow bench(false);
    Control_Panel* w = bench.window();
    formWidget<QTabWidget>(w, "tabWidget")->setCurrentIndex(view == NeverShown ? 1 : 0);
    qint64 n = 0;
    while (n < ConsolePage::MaxLines + 1000) {
        QStringList lines;
        for (int i = 0; i < 1000; ++i)
            lines.append(frameLine(n++));
        w->showTrafficLines(lines);
        w->console().view().flush();
    }
    bench.settle();
    if (view == ShownBefore) {
        formWidget<QTabWidget>(w, "tabWidget")->setCurrentIndex(1);
        bench.settle();
    }
    for (auto _ : state) {
        w->showTrafficLines({frameLine(n++)});
        if (pace == EachAtOnce) {
            w->console().view().flush();
            QApplication::processEvents();
        } else {
            // Sleeping costs no CPU time; the batches due meanwhile are flushed here.
            QThread::msleep(30);
            QApplication::processEvents();
        }
    }
    formWidget<QTabWidget>(w, "tabWidget")->setCurrentIndex(0);
    bench.settle();
    if (formWidget<QPlainTextEdit>(w, "textBrowser")->document()->blockCount() !=
            ConsolePage::MaxLines ||
        formWidget<QPlainTextEdit>(w, "textBrowser")->document()->lastBlock().text() !=
            frameLine(n - 1))
        state.SkipWithError("the view does not hold its newest lines");
    static const char* const viewText[] = {"never shown", "shown", "hidden after being shown"};
    static const char* const paceText[] = {"each line added at once", "a line every 30 ms"};
    state.SetLabel("Data Log view at " + std::to_string(ConsolePage::MaxLines) + " lines, " +
                   viewText[view] + ", " + paceText[pace] + ", per line");
}
BENCHMARK(BM_LogViewAppend)
    ->Args({Shown, EachAtOnce})
    ->Args({NeverShown, EachAtOnce})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LogViewAppend)
    ->Args({Shown, Every30ms})
    ->Args({ShownBefore, Every30ms})
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

} // namespace
