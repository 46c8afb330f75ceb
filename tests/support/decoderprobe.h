#ifndef DECODERPROBE_H
#define DECODERPROBE_H

#include "board/boarddecoder.h"
#include "framehex.h"

#include <QList>
#include <QStringList>

#include <memory>

// A decoder fed frame by frame, as the framing hands them over, collecting what it asks to send
// (as "62 10 22 00" texts) and the events it reports.
class DecoderProbe {
public:
    std::unique_ptr<BoardDecoder> decoder = std::make_unique<BoardDecoder>();
    QStringList sent;
    std::vector<BoardEventRecord> events;

    void feed(const QString& frame) {
        DecodeOutcome out;
        decoder->decode(FrameHex::bytes(frame), out);
        for (const QByteArray& request : out.requests)
            sent.append(FrameHex::text(request));
        for (BoardEventRecord& event : out.events)
            events.push_back(std::move(event));
    }
    void feed(const QStringList& frames) {
        for (const QString& frame : frames)
            feed(frame);
    }
    // A request an exchange starts with.
    void start(const QByteArray& request) { sent.append(FrameHex::text(request)); }

    template <typename E> QList<const E*> all() const {
        QList<const E*> list;
        for (const BoardEventRecord& event : events) {
            if (const E* e = std::get_if<E>(&event))
                list.append(e);
        }
        return list;
    }
    template <typename E> int count() const { return all<E>().size(); }
    template <typename E> const E* last() const {
        const QList<const E*> list = all<E>();
        return list.isEmpty() ? nullptr : list.last();
    }
};

#endif // DECODERPROBE_H
