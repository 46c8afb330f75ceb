#ifndef REQUESTFRAME_H
#define REQUESTFRAME_H

#include <QByteArray>

#include <initializer_list>

// A request as the board reads it, written byte by byte: RequestFrame::of({0x28, 0x01, 0x00}).
struct RequestFrame {
    static QByteArray of(std::initializer_list<int> bytes) {
        QByteArray frame;
        frame.reserve(static_cast<int>(bytes.size()));
        for (int b : bytes)
            frame.append(static_cast<char>(b & 0xFF));
        return frame;
    }
};

#endif // REQUESTFRAME_H
