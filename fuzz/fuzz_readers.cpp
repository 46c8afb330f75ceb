// Feeds arbitrary files through the readers of saved runs, a flag file or an exported run, in
// small blocks and slices so that lines fall across block boundaries, and checks what they built.
//
// Input layout: byte 0 bit 0 chooses the format (1: an exported run), bits 1..7 the block size
// (1 to 4,700 bytes); byte 1 bit 7 set keeps the exported run's header from being put in front of
// the rest, bits 0..6 the bytes a slice reads; the rest is the file.
#include "flags/runfilereader.h"
#include "flags/runstore.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const bool csv = data[0] & 1;
    const int blockBytes = 1 + (data[0] >> 1) * 37;
    const qint64 slice = 1 + qint64(data[1] & 0x7F) * 128;
    QByteArray file = csv && !(data[1] & 0x80) ? QByteArray(RunCsv::Header) + "\r\n" : QByteArray();
    file.append(reinterpret_cast<const char*>(data + 2), int(size - 2));
    QBuffer in(&file);
    in.open(QIODevice::ReadOnly);
    RunStore store;
    RunFileReader reader(in, &store,
                         csv ? RunFileReader::Format::RunCsv : RunFileReader::Format::FlagFile,
                         blockBytes);
    int lastPercent = 0;
    while (reader.step(slice) == RunFileReader::State::Reading) {
        // Progress never goes back and the whole file is read once.
        if (reader.percent() < lastPercent || reader.bytesRead() > file.size())
            std::abort();
        lastPercent = reader.percent();
    }
    // Every row taken is a record; a record's time never goes back.
    if (reader.state() == RunFileReader::State::Finished) {
        if (store.size() != reader.rows() || reader.bytesRead() != file.size())
            std::abort();
        qint64 previous = 0;
        store.forEach([&](qint64 ms, const RunStore::Counts&, int, bool) {
            if (ms < previous)
                std::abort();
            previous = ms;
        });
        // The unit the header names is one line, as a typed ID is, and writes back the same.
        const UnitIdentity unit = reader.unit();
        if (unit.details().contains(QLatin1Char('\n')) ||
            (unit.isKnown() && RunCsv::headerLine(UnitIdentity::fromFields(unit.fields())) !=
                                   RunCsv::headerLine(unit)))
            std::abort();
    } else if (!store.isEmpty()) {
        std::abort();
    }
    return 0;
}
