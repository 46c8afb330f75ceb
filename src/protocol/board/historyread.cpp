#include "board/historyread.h"

#include "board/responsedecoding.h"
#include "production/eepromlayout.h"
#include "shell/logging.h"

#include <algorithm>

using RD = ResponseDecoding;

QByteArray HistoryRead::start() {
    step = Step::Rows;
    history_page = EepromLayout::HistoryFirstPage;
    std::fill(std::begin(history_values), std::end(history_values), quint8(0));
    return EepromLayout::memoryRead(16, history_page, 0x00);
}

bool HistoryRead::onReply(const QByteArray& frame, DecodeOutcome& out) {
    switch (step) {
    case Step::Idle:
        return true;
    case Step::Rows:
        return takeRow(frame, out);
    case Step::Runtime: {
        RD::Runtime runtime;
        // the operating-time record, not another 21-byte reply
        if (!RD::decodeRuntime(frame, &runtime) || RD::byteAt(frame, 2) != 0x00) {
            qCDebug(dk61Laser) << "not a runtime record, size" << frame.size();
            return false;
        }
        step = Step::Idle;
        out.add(
            BoardEvent::LaserHistoryRead{static_cast<int>(runtime.seconds), runtime.last_index});
        return true;
    }
    }
    return false;
}

bool HistoryRead::takeRow(const QByteArray& frame, DecodeOutcome& out) {
    const int row = history_page - EepromLayout::HistoryFirstPage;
    if (row < 0 || row >= Rows) {
        qCDebug(dk61Laser) << "history page out of range" << history_page;
        step = Step::Idle;
        return true;
    }
    // A frame that is not a full row of the page asked for leaves the read waiting for its row.
    if (!RD::isHistoryRow(frame) || RD::byteAt(frame, 2) != history_page) {
        qCDebug(dk61Laser) << "not a history row, size" << frame.size();
        return false;
    }
    for (int column = 0; column < 16; ++column)
        history_values[row * 16 + column] = static_cast<quint8>(RD::byteAt(frame, 5 + column));
    if (history_page < EepromLayout::HistoryLastPage) {
        ++history_page;
        out.send(EepromLayout::memoryRead(16, history_page, 0x00));
    } else {
        step = Step::Runtime;
        out.send(EepromLayout::memoryRead(16, 0x00, 0x00));
    }
    return false;
}
