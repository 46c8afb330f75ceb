#include "service/servicemode.h"

#include "board/requestframe.h"
#include "shell/logging.h"

ServiceMode::Step ServiceMode::step() const {
    if (state.service_step >= 0)
        return Step::InStep;
    return requested ? Step::Requested : Step::Outside;
}

QList<QByteArray> ServiceMode::start() {
    if (state.service_step != -1)
        return {};
    state.last_custom_command = 0x57;
    requested = true;
    qCDebug(dk61Service) << "service mode on, step 1";
    return {RequestFrame::of({0x57, 0x00})};
}

QList<QByteArray> ServiceMode::next() {
    if (state.service_step < 0)
        return {};
    state.last_custom_command = 0x58;
    qCDebug(dk61Service) << "service mode next step";
    return {RequestFrame::of({0x58, 0x00})};
}

QList<QByteArray> ServiceMode::gotoStep(int step) {
    if (state.service_step < 0)
        return {};
    state.last_custom_command = 0x59;
    qCDebug(dk61Service) << "service mode step" << step;
    return {RequestFrame::of({0x59, 0x01, step & 0xFF})};
}

QList<QByteArray> ServiceMode::exit() {
    state.service_step = -1;
    state.last_custom_command = 0x5A;
    requested = false;
    qCDebug(dk61Service) << "service mode off";
    return {RequestFrame::of({0x5A, 0x00})};
}

QList<QByteArray> ServiceMode::laserButton() {
    if (step() != Step::InStep)
        return start();
    return gotoStep(offersLaserOff ? LaserOffStep : LaserOnStep);
}

ServiceMode::View ServiceMode::onReply(int step) {
    if (step == -1)
        return leave();
    requested = false;
    View view;
    view.warnings = true;
    view.marker = step >= 1 && step <= Steps ? step : 0;
    view.offersLaserOff = offersLaserOff = true;
    return view;
}

ServiceMode::View ServiceMode::leave() {
    state.service_step = -1;
    requested = false;
    offersLaserOff = false;
    return View{};
}
