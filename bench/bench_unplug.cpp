// What an unplugged adapter costs: the CPU time of the process in the second after the far end of
// the line went away (a pseudo-terminal whose other side closes). A port that went on reporting
// its error in a tight loop would take the whole second.
#include "cd_board.h"
#include "main/control_panel.h"
#include "portfactory.h"
#include "ptypair.h"
#include "testenv.h"

#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace {

constexpr int SpanMs = 1000;

// Runs the event loop for `ms`; `atEnd` runs then, inside whatever loop runs at that moment.
void runFor(int ms, const std::function<void()>& atEnd) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, [&] {
        atEnd();
        loop.quit();
    });
    loop.exec();
}

// The board alone, its link on a pseudo-terminal.
void BM_UnpluggedBoardLink(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto pty = std::make_unique<PtyPair>();
        auto ports = std::make_unique<PortFactory>();
        auto board = std::make_unique<CD_Board>(*ports);
        board->setPortName(pty->slavePath());
        board->applyPortSettings();
        board->openPort();
        state.ResumeTiming();
        pty->closeMaster();
        bool closed = false;
        runFor(SpanMs, [&] {
            state.PauseTiming();
            closed = !board->isPortOpen();
        });
        if (!closed)
            state.SkipWithError("the port stayed open");
        board.reset();
        ports.reset();
        pty.reset();
        state.ResumeTiming();
    }
    state.SetLabel("unplugged adapter, the board's link alone: CPU in the second after");
}
BENCHMARK(BM_UnpluggedBoardLink)->Iterations(2)->Unit(benchmark::kMillisecond);

// The window, its board link on a virtual bridge whose node goes with the adapter: the link
// closes and the Retry/Abort question stays up.
void BM_UnpluggedWithQuestion(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto env = std::make_unique<TestEnv>();
        env->setSetting("storeLogFile", false);
        env->setSetting("storeFlagFile_csv", false);
        auto pty = std::make_unique<PtyPair>();
        const QString link = env->path() + "/board";
        QFile::link(pty->slavePath(), link);
        auto ports = std::make_unique<PortFactory>(QStringList{link});
        auto w = std::make_unique<Control_Panel>(*ports);
        w->boardSupervisor().answerWatchdog.stop();
        w->boardSupervisor().loaderWatchdog.stop();
        const bool opened = w->cdBoard()->isPortOpen();
        state.ResumeTiming();
        pty->closeMaster();
        QFile::remove(link);
        bool asked = false;
        runFor(SpanMs, [&] {
            state.PauseTiming();
            if (QMessageBox* box = w->portQuestion()) {
                asked = box->isVisible();
                box->reject();
            }
        });
        if (!opened || !asked)
            state.SkipWithError("the link did not open, or no question came up");
        w.reset();
        ports.reset();
        pty.reset();
        env.reset();
        state.ResumeTiming();
    }
    state.SetLabel("unplugged adapter, the window with its Retry/Abort question up: CPU in the "
                   "second after");
}
BENCHMARK(BM_UnpluggedWithQuestion)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace
