#ifndef RUNFILEREADER_H
#define RUNFILEREADER_H

#include "flags/flagfilereader.h"
#include "flags/runcsv.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class QIODevice;

// Reads a saved run (a flag file or a run exported as CSV) into a store a slice at a time, so
// that a caller can show progress and offer to cancel: step() reads on for about as many bytes
// as it is given and returns; the file is read in blocks and cut into lines where they lie, so
// neither the file nor a line is ever held whole. A line longer than LineLimit is no row nor
// record: it is passed over (and counted as skipped) without being kept.
//
//     RunFileReader reader(file, &store, RunFileReader::formatOf(file));
//     while (reader.step() == RunFileReader::State::Reading)
//         progress(reader.percent());
class RunFileReader {
public:
    enum class Format { FlagFile, RunCsv };
    enum class State { Reading, Finished, Failed, Cancelled };
    static constexpr int BlockBytes = 1 << 20;
    static constexpr int LineLimit = 4096;

    // An exported run begins with its header; anything else is read as a flag file.
    static Format formatOf(QIODevice& in);

    // Reads from the device's position on, `blockBytes` at a time; empties the store.
    RunFileReader(QIODevice& in, RunStore* store, Format format, int blockBytes = BlockBytes);
    ~RunFileReader();

    // Reads at least one block, and blocks until about `bytes` bytes were read; the state after.
    State step(qint64 bytes = BlockBytes);
    State readAll();
    // May be called from any thread: the next step stops, empties the store and says Cancelled.
    void cancel() { cancelRequested = true; }

    State state() const { return current; }
    Format format() const { return kind; }
    // Progress: the bytes read so far of those the device had from its position (0 when it
    // cannot say).
    qint64 bytesRead() const { return done; }
    qint64 totalBytes() const { return total; }
    int percent() const;

    qint64 rows() const;
    qint64 skipped() const;
    // The run's start as the exported run gives it; invalid for a flag file (its name says).
    QDateTime started() const;
    // The unit the exported run names; none for a flag file.
    UnitIdentity unit() const;
    // Why the read failed (the device's error, or no exported run).
    QString error() const { return failure; }

private:
    void line(const char* text, int size);
    void skipLine();
    void end();
    void fail(const QString& why);

    QIODevice& in;
    RunStore* run;
    Format kind;
    State current = State::Reading;
    std::atomic<bool> cancelRequested{false};
    std::unique_ptr<FlagFileReader> flags;
    std::unique_ptr<RunCsv::Reader> csv;
    // A block read, after the start of the line the block before ended in (`carry` bytes).
    std::vector<char> block;
    int blockBytes;
    int carry = 0;
    // In a line longer than LineLimit: its bytes are dropped until its line feed.
    bool overlong = false;
    qint64 done = 0;
    qint64 total = 0;
    QString failure;
};

#endif // RUNFILEREADER_H
