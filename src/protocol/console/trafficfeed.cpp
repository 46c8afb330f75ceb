#include "console/trafficfeed.h"

#include "board/boardstate.h"
#include "console/hexinput.h"
#include "console/trafficline.h"
#include "shell/logging.h"

TrafficFeed::Received TrafficFeed::received(const IndexedList<BoardFrame>& frames, qint64 parsed,
                                            const BoardState& state, qint64 elapsedMs,
                                            qint64* next) {
    Received out;
    if (*next < frames.size()) {
        *next = qMax(*next, frames.firstIndex());
        out.any = true;
        // An unset clock (no time reported yet, or an impossible one) shows nothing.
        const QTime& clock = state.player.current_time;
        out.time = clock.isValid() ? TrafficLine::stamp(clock.msecsSinceStartOfDay()) : QString();
        out.track = state.player.current_track >= 0 ? QString::number(state.player.current_track)
                                                    : QString();
        out.lines.reserve(static_cast<int>(frames.size() - *next));
        for (; *next < frames.size(); ++*next) {
            const BoardFrame& frame = frames.at(*next);
            if (frame.code == 0xB3)
                out.laserCurrent =
                    QString::number(state.laser.laser_current_mA, 'g', 6) + QStringLiteral(" mA");
            out.lines.append(TrafficLine::received(elapsedMs, frame.bytes));
            qCDebug(dk61Console) << out.lines.last();
        }
    }
    // Frames both the decoder and the view have passed are not needed again: only the newest of
    // them stay (for inspection); a frame the decoder has not reached yet always stays.
    out.dropBefore = qMin(parsed, *next) - KeptFrames;
    return out;
}

TrafficFeed::Sent TrafficFeed::sent(const IndexedList<QByteArray>& frames,
                                    const IndexedList<int>& lengths, qint64 elapsedMs,
                                    qint64* next) {
    Sent out;
    *next = qMax(*next, lengths.firstIndex());
    for (; *next < lengths.size() && *next < frames.size(); ++*next)
        out.lines.append(TrafficLine::sent(elapsedMs, frames.at(*next), lengths.at(*next)));
    // Requests already shown stay only as the recall history.
    out.dropBefore = qMax<qint64>(0, *next - RecallHistory);
    return out;
}

qint64 TrafficFeed::older(const IndexedList<QByteArray>& frames, qint64 at) {
    // Requests dropped from the history can no longer be recalled.
    return at > frames.firstIndex() ? at - 1 : at;
}

qint64 TrafficFeed::newer(const IndexedList<QByteArray>& frames, qint64 at, qint64 shown) {
    return at < shown - 1 && frames.contains(at + 1) ? at + 1 : at;
}

QString TrafficFeed::recalled(const IndexedList<QByteArray>& frames,
                              const IndexedList<int>& lengths, qint64 index) {
    const QByteArray frame = frames.at(index);
    const int length = lengths.contains(index) ? lengths.at(index) : frame.size();
    return HexInput::fromBytes(frame.left(length));
}
