#ifndef REQUESTFRAME_H
#define REQUESTFRAME_H

#include <QByteArray>

#include <initializer_list>

// A request as the board reads it, written byte by byte: RequestFrame::of({0x28, 0x01, 0x00}).
struct RequestFrame {
    static QByteArray of(std::initializer_list<int> bytes) {
        // Sized once: appending byte by byte would allocate again for the last byte.
        QByteArray frame(static_cast<int>(bytes.size()), Qt::Uninitialized);
        char* out = frame.data();
        for (int b : bytes)
            *out++ = static_cast<char>(b & 0xFF);
        return frame;
    }
};

#endif // REQUESTFRAME_H
