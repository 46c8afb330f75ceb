#include "boardprobe.h"

#include "cd_board.h"

#include <QStringList>

QList<QByteArray> BoardProbe::requests() const {
    QList<QByteArray> all;
    for (qint64 i = board->sentFrames.firstIndex(); i < board->sentFrames.size(); ++i)
        all.append(board->sentFrames.at(i));
    all.append(board->txFrames);
    return all;
}

void BoardProbe::mark() {
    marked = requests().size();
}

QList<QByteArray> BoardProbe::since() const {
    return requests().mid(marked);
}

QStringList BoardProbe::sinceHex() const {
    QStringList texts;
    for (const QByteArray& frame : since())
        texts.append(hex(frame));
    return texts;
}

void BoardProbe::batch(const QStringList& frames) {
    for (const QString& text : frames) {
        BoardFrame frame;
        frame.origin = board;
        frame.bytes = bytes(text);
        frame.code = frame.bytes.isEmpty() ? 0 : static_cast<quint8>(frame.bytes.at(0));
        frame.length = frame.bytes.size() < 2 ? 0 : static_cast<quint8>(frame.bytes.at(1));
        board->commands.append(frame);
    }
    board->parseCommand();
}

void BoardProbe::receive(const QString& text) {
    board->receiveChunk(bytes(text));
}

QByteArray BoardProbe::bytes(const QString& text) {
    return QByteArray::fromHex(text.toLatin1());
}

QString BoardProbe::hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}
