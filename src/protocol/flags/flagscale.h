#ifndef FLAGSCALE_H
#define FLAGSCALE_H

#include <QString>
#include <QtNumeric>

// How the flag plots show a flag rate and how high their rate axis reaches. A rate is either in
// percent of the frames counted or in flagged frames per second: a count divided by its interval
// in seconds (the C1 rate per second is the block error rate). The axis reaches to the height
// slider's value in percent (in the other unit the same share of the 7350 frames of a second),
// or, scaled automatically, a little above the largest value shown.
class FlagScale {
public:
    enum class Unit { Percent, PerSecond };
    static constexpr double FramesPerSecond = 7350.0;

    Unit unit = Unit::Percent;
    bool automatic = false;
    int sliderPercent = 30; // the height slider's value
    // The whole run along the time on the disc (where the board reported it) instead of the
    // run's elapsed time.
    bool discTime = false;

    // The value of one flagged frame in a record counted over `intervalSeconds`.
    double perCount(double intervalSeconds) const;
    // A rate in percent in this scale's unit.
    double fromPercent(double percent) const;
    QString axisLabel() const;
    // The top of the axis when it is not scaled automatically.
    double fixedTop() const { return fromPercent(sliderPercent); }
    // The top of an automatic axis over values up to `largest`: 1, 2 or 5 times a power of ten,
    // above `largest` by at least a twentieth, and never below a tenth of a percent.
    double automaticTop(double largest) const;
    // The same where the top `covered` share of the axis (0 to 1) is hidden under the legend over
    // the newest values, the largest of which is `largestCovered`: those stay below it.
    double automaticTop(double largest, double largestCovered, double covered) const;
    // Values above it are marked at the edge (none when the axis follows the data).
    double edgeTop() const;

    bool operator==(const FlagScale& other) const {
        return unit == other.unit && automatic == other.automatic &&
               sliderPercent == other.sliderPercent && discTime == other.discTime;
    }
    bool operator!=(const FlagScale& other) const { return !(*this == other); }

    // Follows one curve along its keys and tells which of its points above `top` get a mark on
    // the edge (at `top`): the first point of each stretch above it, then one at most every
    // `spacing` (in keys), so that a long stretch is marked along its length without a mark per
    // point.
    class EdgeTrack {
    public:
        explicit EdgeTrack(double top = qInf(), double spacing = 0.0)
            : top(top), spacing(spacing) {}
        bool marks(double key, double value);
        double edge() const { return top; }

    private:
        double top;
        double spacing;
        double lastMark = 0.0;
        bool above = false;
    };
};

#endif // FLAGSCALE_H
