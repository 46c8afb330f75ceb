// Feeds arbitrary byte streams, cut into arbitrary chunks, through the framing and the response
// decoder of a real board object with its window (offscreen).
//
// Input layout: byte 0 selects the state the board is put in before the stream (a sequence in
// progress, a programming step, ADC sampling, firmware version unknown); byte 1 seeds the chunk
// sizes; the rest is the byte stream as the board link would deliver it.
#include "cd_board.h"
#include "control_panel.h"
#include "ptypair.h"
#include "testenv.h"

#include <QApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Harness {
    QApplication* app = nullptr;
    TestEnv* env = nullptr;
    PtyPair* pty = nullptr;
    Control_Panel* window = nullptr;
};

Harness harness;

void enterState(CD_Board* board, quint8 selector) {
    board->history_reading = false;
    board->awaiting_runtime = false;
    board->awaiting_zero_byte = false;
    board->history_reset_1 = false;
    board->history_reset_2 = false;
    board->history_reset_3 = false;
    board->adc_1_sampling = false;
    board->adc_2_sampling = false;
    board->eeprom_state = 0;
    switch (selector & 0x07) {
    case 1:
        board->readLaserHistory();
        break;
    case 2:
        board->readLaserHistory();
        board->history_page = 0x31;
        break;
    case 3:
        board->awaiting_runtime = true;
        break;
    case 4:
        board->readZeroByte();
        break;
    case 5:
        board->resetLaserHistory();
        break;
    case 6:
        board->history_reset_2 = true;
        break;
    case 7:
        board->history_reset_3 = true;
        break;
    default:
        break;
    }
    static const quint8 states[8] = {0, 1, 3, 5, 7, 8, 11, 255};
    board->eeprom_state = states[(selector >> 3) & 0x07];
    board->adc_1_sampling = (selector & 0x40) != 0;
    board->has_FW_Version = (selector & 0x80) == 0;
}

// Keeps a long run from growing without bound: what both readers have passed is dropped.
void trim(Control_Panel* window, CD_Board* board) {
    // The traffic view shows every frame of a read in the same pass; where it is not wired up
    // the harness takes its part.
    window->receivedIndex = qMax(window->receivedIndex, board->parse_index);
    board->commands.dropBefore(qMin(board->parse_index, window->receivedIndex));
    window->clearFlagRecords();
    board->txFrames.clear();
    board->txLengths.clear();
    board->sentFrames.dropBefore(qMin(board->sentFrames.size(), window->sent_bytes_index));
    board->sentLengths.dropBefore(qMin(board->sentLengths.size(), window->sent_bytes_index));
    board->adc_1_samples.clear();
    board->adc_2_samples.clear();
    board->receiveBuffer.clear();
    window->flag_error = 0;
}

} // namespace

// Qt's warnings (a write while the port is closed, ...) would only slow the run down.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qInstallMessageHandler(quiet);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    harness.app = new QApplication(*argc, *argv);
    harness.env = new TestEnv;
    harness.pty = new PtyPair;
    if (!harness.pty->isValid())
        std::abort();
    TestEnv::setVirtualPorts({harness.pty->slavePath()});
    harness.window = new Control_Panel;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    Control_Panel* window = harness.window;
    CD_Board* board = window->board;
    enterState(board, data[0]);
    quint32 seed = data[1] * 2654435761u + 1;
    size_t position = 2;
    while (position < size) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const size_t chunk = qMin<size_t>(1 + seed % 40, size - position);
        board->receiveChunk(
            QByteArray(reinterpret_cast<const char*>(data + position), static_cast<int>(chunk)));
        position += chunk;
    }
    trim(window, board);
    harness.pty->readAvailable();
    return 0;
}
