#ifndef FLAGSPAGE_H
#define FLAGSPAGE_H

#include "board/statuswording.h"

#include <QWidget>

#include <functional>
#include <memory>

class CD_Board;
class FlagPlot;
class QSettings;
class QStatusBar;
class RunFiles;
class RunPanel;
class RunSession;

namespace Ui {
class FlagsPage;
}

// The flags page: the live plot of the five flag rates with its sliders, curves and unit, the
// interval the flag board counts over, the run's summary and whole-run view (RunPanel), the
// link's and the files' messages over the plot, and the second link's row.
class FlagsPage : public QWidget {
    Q_OBJECT

public:
    // `store` remembers the plot's unit and scale.
    FlagsPage(CD_Board& board, QSettings* store, QWidget* parent = nullptr);
    ~FlagsPage() override;

    FlagPlot& plot() const { return *flagPlot; }
    // The view of `session` on this page's widgets, with the interval label in `statusBar`
    // (`reportedInterval` as RunPanel takes it); the page draws the live curves again when the
    // view resumes them.
    RunPanel* makeRun(RunSession& session, QStatusBar* statusBar,
                      std::function<int()> reportedInterval);
    // The session's files on this page's plots; `window` parents the choosers and messages.
    RunFiles* makeFiles(RunSession& session, QWidget* window, QStatusBar* statusBar);

    // The curves take the board's records (the newest one just appended).
    void plotRecords();
    // The operator chose entry `selection` of the interval list: the board counts over it, the
    // plot and the run start again.
    void chooseInterval(int selection);
    // The plot's window changed: its time axis starts again.
    void restartPlot();
    // The interval chosen (1, 2 or 3).
    int chosenInterval() const;

    void showLinkMessage(const StatusWording::Text& message);
    // A file that cannot be written (empty: none).
    void showFileWarning(const QString& text);
    void hideSecondLink();
    void showServiceWarning(bool shown);
    // Lays the page (`page` its size) out for a window of W x H, bottom up: the service warning
    // and the second link's row (where shown), the plot's unit and scale row under the width
    // slider, the slider with the window it sets, the plot above it.
    void fitWindow(const QSize& page, int W, int H);

private:
    std::unique_ptr<Ui::FlagsPage> ui;
    CD_Board& board;
    FlagPlot* flagPlot = nullptr;
    RunSession* session = nullptr;
    RunPanel* run = nullptr;
};

#endif // FLAGSPAGE_H
