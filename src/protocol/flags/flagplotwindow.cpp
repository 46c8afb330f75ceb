#include "flags/flagplotwindow.h"

#include "flags/flaginterval.h"

#include <cmath>

double FlagPlotWindow::intervalFor(int flagSubStatus) {
    return FlagInterval::milliseconds(flagSubStatus) / 1000.0;
}

double FlagPlotWindow::scaleFor(double interval) {
    return 100.0 / (interval * 7350.0);
}

double FlagPlotWindow::windowFor(int width, double interval) {
    return width / interval;
}

FlagPlotWindow::Step FlagPlotWindow::plan(qint64 count, double window) {
    Step step;
    if (window >= static_cast<double>(count)) {
        step.firstTaken = 0;
        return step;
    }
    step.firstTaken = static_cast<qint64>(std::trunc(static_cast<double>(count) - window));
    // The range follows each point taken; a single point gives an empty span, which the plot
    // does not accept, so only two or more points move it.
    step.setsRange = count - step.firstTaken >= 2;
    return step;
}

FlagPlotWindow::Update FlagPlotWindow::track(qint64 first, qint64 end, double interval,
                                             const CFlags* atShownNewest, const CFlags* newest) {
    Update update;
    const bool continues = shownValid && interval == shownInterval && first < end &&
                           first >= shownFirst && end >= shownEnd && atShownNewest == shownNewest;
    update.rebuild = !continues;
    update.appendFrom = continues ? qMax(shownEnd, first) : first;
    shownValid = first < end;
    shownFirst = first;
    shownEnd = end;
    shownInterval = interval;
    shownNewest = newest;
    return update;
}
