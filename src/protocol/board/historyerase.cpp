#include "board/historyerase.h"

#include "production/eepromlayout.h"
#include "shell/logging.h"

QByteArray HistoryErase::start() {
    step = Step::Rows;
    history_page = EepromLayout::HistoryFirstPage;
    history_reset_half = true;
    return EepromLayout::historyEraseWrite(history_page, false);
}

QByteArray HistoryErase::nextWrite() {
    const bool secondHalf = history_reset_half;
    history_reset_half = !history_reset_half;
    return EepromLayout::historyEraseWrite(history_page, secondHalf);
}

bool HistoryErase::onReply(const QByteArray&, DecodeOutcome& out) {
    switch (step) {
    case Step::Idle:
        return true;
    case Step::Rows:
        // Erase writes go only to the history rows; anything else would wipe other data.
        if (history_page < EepromLayout::HistoryFirstPage) {
            qCDebug(dk61Laser) << "history erase stopped at page" << history_page;
            step = Step::Idle;
            return true;
        }
        if (history_page < EepromLayout::HistoryLastPage) {
            if (!history_reset_half)
                ++history_page;
            out.send(nextWrite());
        } else if (history_page == EepromLayout::HistoryLastPage && history_reset_half) {
            out.send(nextWrite());
        } else {
            step = Step::ClearRuntime;
            out.send(EepromLayout::runtimeClearWrite(1));
        }
        return false;
    case Step::ClearRuntime:
        step = Step::ClearRuntimeTail;
        out.send(EepromLayout::runtimeClearWrite(2));
        return false;
    case Step::ClearRuntimeTail:
        step = Step::Idle;
        return true;
    }
    return true;
}
