#ifndef SERVICEMODE_H
#define SERVICEMODE_H

#include "board/boardstate.h"

#include <QByteArray>
#include <QList>

// The board's fourteen-step service mode as the tool drives it: start, next step, go to a step,
// exit, and the step reports that move the page's marker. The step the board is in is
// `service_step` of the board state (-1 outside; the decoder takes it from 0xC0). The board
// answers at its own pace and the tool waits for it without a time-out: a board that does not
// answer leaves the page as it was.
class ServiceMode {
public:
    enum class Step {
        Outside,   // no service mode on the tool's side
        Requested, // 57 00 sent, no step reported yet
        InStep,    // the board reported a step
    };
    static constexpr int Steps = 14;
    static constexpr int LaserOnStep = 1;
    static constexpr int LaserOffStep = 2;

    explicit ServiceMode(ServiceState& state) : state(state) {}

    // Each returns the request to send; none when the command is refused in this state (start
    // only outside, next and go-to only in a step, exit always).
    QList<QByteArray> start();
    QList<QByteArray> next();
    QList<QByteArray> gotoStep(int step);
    QList<QByteArray> exit();
    // The laser page's laser button does what it reads: "Turn Laser Off" (a step was reported)
    // goes to the laser-off step; "Turn Laser On" starts service mode (step 1, laser on) outside
    // it and goes to step 1 inside it, once the board reported the laser module off.
    QList<QByteArray> laserButton();
    // The board reported the laser module off (0xB5): the button offers to switch it on.
    void moduleOff() { offersLaserOff = false; }
    static QString laserButtonText(bool offersLaserOff) {
        return offersLaserOff ? QStringLiteral("Turn Laser Off") : QStringLiteral("Turn Laser On");
    }

    // What the pages show: the service warnings, the one step marker (0: none), and whether the
    // laser button offers to switch the laser off (in service mode) or on (outside).
    struct View {
        bool warnings = false;
        int marker = 0;
        bool offersLaserOff = false;
    };
    // A step report of the board (0xC0), or -1 when it ended service mode (0xC8 after exit).
    View onReply(int step);
    // The tool leaves service mode on its side: the link closed, or the board identified itself
    // anew (a board that was switched off starts outside service mode).
    View leave();

    Step step() const;

private:
    ServiceState& state;
    bool requested = false;
    // What the laser button offers: a step report offers "Turn Laser Off", the module's off
    // report and the end of service mode "Turn Laser On".
    bool offersLaserOff = false;
};

#endif // SERVICEMODE_H
