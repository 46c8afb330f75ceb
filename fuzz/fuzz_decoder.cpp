// Feeds arbitrary byte streams, cut into arbitrary chunks, through the framing and the decoder of
// a board without a window (requests go nowhere: no port is open), a new board for every input.
//
// Input layout: byte 0 selects the state the board is put in before the stream (a memory exchange
// under way, a programming step, a calibration point sampling, firmware version unknown); byte 1
// seeds the chunk sizes; the rest is the byte stream as the board link would deliver it.
#include "cd_board.h"
#include "portfactory.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {

QCoreApplication* app = nullptr;
PortFactory* ports = nullptr;

void enterState(CD_Board& b, quint8 selector) {
    BoardDecoder& d = b.decoder();
    d.cancelSequences();
    switch (selector & 0x07) {
    case 1:
        d.readLaserHistory();
        break;
    case 2:
        d.readLaserHistory();
        d.historyRead.history_page = 0x31;
        break;
    case 3:
        d.readLaserHistory();
        d.historyRead.step = HistoryRead::Step::Runtime;
        break;
    case 4:
        d.readZeroByte();
        break;
    case 5:
        d.resetLaserHistory();
        break;
    case 6:
        d.resetLaserHistory();
        d.historyErase.step = HistoryErase::Step::ClearRuntime;
        break;
    case 7:
        d.resetLaserHistory();
        d.historyErase.step = HistoryErase::Step::ClearRuntimeTail;
        break;
    default:
        break;
    }
    // A programming run (the settings or the full one) waits for its first check, or none runs.
    DecodeOutcome requests;
    d.eepromRun.stop(QString(), requests);
    if (selector & 0x08)
        d.eepromRun.start(selector & 0x10 ? EepromRun::Kind::Full : EepromRun::Kind::Settings,
                          EepromParameters(), requests);
    // A calibration point samples, or neither does.
    d.state.laser.calibration = LaserCalibration();
    if (selector & 0x40)
        d.state.laser.calibration.start(1 + (selector & 0x01));
    d.state.link.has_FW_Version = (selector & 0x80) == 0;
}

} // namespace

// Qt's warnings would only slow the run down.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qInstallMessageHandler(quiet);
    app = new QCoreApplication(*argc, *argv);
    ports = new PortFactory;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    CD_Board board(*ports);
    enterState(board, data[0]);
    quint32 seed = data[1] * 2654435761u + 1;
    size_t position = 2;
    while (position < size) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        const size_t chunk = qMin<size_t>(1 + seed % 40, size - position);
        board.receiveChunk(
            QByteArray(reinterpret_cast<const char*>(data + position), static_cast<int>(chunk)));
        position += chunk;
    }
    return 0;
}
