#ifndef TRAYCALIBRATION_H
#define TRAYCALIBRATION_H

#include <QString>

// The DK-Tria tray loader's calibration: reset, brake distance, timing, in this order, each one
// sub-command of "Calibrate Loader" (71 02 sub value). The board does not answer them; a step is
// taken on the strength of the previous press, and a press out of order breaks the sequence
// until the next reset. Between the steps the operator opens and closes the tray.
class TrayCalibration {
public:
    enum class Step { NotStarted = 0, Broken = 1, ResetSent = 2, DistanceSent = 3, Done = 4 };

    // What one press leads to: the command text to send (empty: nothing), the new hint (null:
    // the hint stays), and why a press was refused without touching the sequence.
    struct Press {
        QString command;
        QString hint;
        QString refusal;
    };

    Press reset();
    // `distance`: the brake distance as typed; it must be one byte, two hexadecimal digits.
    Press setDistance(const QString& distance);
    Press setTiming();

    Step step() const { return current; }

private:
    Press outOfOrder();
    Step current = Step::NotStarted;
};

#endif // TRAYCALIBRATION_H
