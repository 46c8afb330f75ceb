#include "flags/runfilereader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <limits>

RunFileReader::Format RunFileReader::formatOf(QIODevice& in) {
    const QByteArray header(RunCsv::Header);
    return in.peek(header.size()) == header ? Format::RunCsv : Format::FlagFile;
}

RunFileReader::RunFileReader(QIODevice& in, RunStore* store, Format format, int blockBytes)
    : in(in), run(store), kind(format), blockBytes(std::max(1, blockBytes)) {
    if (kind == Format::FlagFile)
        flags = std::make_unique<FlagFileReader>(store);
    else
        csv = std::make_unique<RunCsv::Reader>(store);
    if (!in.isSequential())
        total = std::max<qint64>(0, in.size() - in.pos());
}

RunFileReader::~RunFileReader() = default;

int RunFileReader::percent() const {
    if (current == State::Finished)
        return 100;
    return total > 0 ? int(std::min<qint64>(99, done * 100 / total)) : 0;
}

qint64 RunFileReader::rows() const {
    return flags ? flags->result().rows : csv->rows();
}

qint64 RunFileReader::skipped() const {
    return flags ? flags->result().skipped : csv->skipped();
}

QDateTime RunFileReader::started() const {
    return csv ? csv->started() : QDateTime();
}

UnitIdentity RunFileReader::unit() const {
    return csv ? csv->unit() : UnitIdentity();
}

RunFileReader::State RunFileReader::readAll() {
    while (step(std::numeric_limits<qint64>::max()) == State::Reading) {
    }
    return current;
}

RunFileReader::State RunFileReader::step(qint64 bytes) {
    if (current != State::Reading)
        return current;
    if (block.empty())
        block.resize(size_t(LineLimit + blockBytes));
    qint64 taken = 0;
    while (current == State::Reading) {
        if (cancelRequested) {
            run->clear();
            current = State::Cancelled;
            break;
        }
        if (taken >= bytes && taken > 0)
            break;
        const qint64 got = in.read(block.data() + carry, blockBytes);
        if (got < 0) {
            fail(in.errorString());
            break;
        }
        if (got == 0) {
            end();
            break;
        }
        taken += got;
        done += got;
        const char* p = block.data();
        const char* const filled = p + carry + got;
        while (current == State::Reading) {
            const auto* feed = static_cast<const char*>(std::memchr(p, '\n', size_t(filled - p)));
            if (!feed)
                break;
            if (overlong || feed - p > LineLimit)
                skipLine();
            else
                line(p, int(feed - p));
            overlong = false;
            p = feed + 1;
        }
        // The start of a line that goes on in the next block; dropped when already too long.
        const qint64 rest = filled - p;
        overlong = overlong || rest > LineLimit;
        carry = overlong ? 0 : int(rest);
        std::memmove(block.data(), p, size_t(carry));
    }
    if (current != State::Reading)
        block = std::vector<char>();
    return current;
}

void RunFileReader::line(const char* text, int size) {
    if (flags) {
        flags->addLine(text, size);
    } else {
        csv->addLine(text, size);
        if (csv->failed())
            fail(csv->errorText());
    }
}

void RunFileReader::skipLine() {
    if (flags) {
        flags->skipLine();
    } else {
        csv->skipLine();
        if (csv->failed())
            fail(csv->errorText());
    }
}

void RunFileReader::end() {
    // The last line, without a line feed.
    if (overlong)
        skipLine();
    else if (carry > 0)
        line(block.data(), carry);
    carry = 0;
    overlong = false;
    if (current != State::Reading)
        return;
    if (flags) {
        flags->finish();
    } else if (!csv->finish()) {
        fail(csv->errorText());
        return;
    }
    current = State::Finished;
}

void RunFileReader::fail(const QString& why) {
    run->clear();
    failure = why;
    current = State::Failed;
}
