#ifndef RUNFILELOADER_H
#define RUNFILELOADER_H

#include "flags/runfilereader.h"
#include "flags/runstore.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>

class QThread;

// Reads a saved run (a flag file or an exported run) on a thread of its own, so that the window
// stays responsive while a large file opens: progress() in percent as it goes, then finished()
// or, after cancel(), cancelled(). The run read is handed over with takeResult().
//
//     connect(loader, &RunFileLoader::finished, this, [=](bool ok) {
//         RunFileLoader::Result r = loader->takeResult();
//         ok ? review(std::move(r.run), r.skipped) : complain(r.error);
//     });
//     loader->start(path);
class RunFileLoader : public QObject {
    Q_OBJECT
public:
    struct Result {
        QString path;
        RunFileReader::Format format = RunFileReader::Format::FlagFile;
        RunFileReader::State state = RunFileReader::State::Reading;
        RunStore run;
        qint64 rows = 0;
        qint64 skipped = 0;
        // The exported run's start; invalid for a flag file (FlagFileReader::created()).
        QDateTime started;
        UnitIdentity unit; // the unit the exported run names; none for a flag file
        QString error;     // why it could not be read
    };

    explicit RunFileLoader(QObject* parent = nullptr);
    // Cancels a read under way and waits for it.
    ~RunFileLoader() override;

    // Starts reading the file; false while another read is under way.
    bool start(const QString& path);
    void cancel() { cancelRequested = true; }
    bool isRunning() const { return worker != nullptr; }
    // The last read's outcome, once finished() or cancelled() came.
    Result takeResult() { return std::move(outcome); }

signals:
    void progress(int percent);
    void finished(bool ok);
    void cancelled();

private:
    void read(); // on the worker thread
    void readDone();

    QThread* worker = nullptr;
    std::atomic<bool> cancelRequested{false};
    Result outcome;
};

#endif // RUNFILELOADER_H
