#include "flags/runloading.h"

#include "common/plaintext.h"
#include "flags/runsummary.h"

#include <QDir>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>

#include <memory>

bool RunLoading::load(const QString& path, QWidget* parent, RunFileLoader::Result* outcome,
                      RunSummary* summary) {
    // The window takes input until the progress dialog comes up: one read at a time.
    static bool reading = false;
    if (reading) {
        outcome->error = QStringLiteral("another file is still being read");
        return false;
    }
    reading = true;
    const std::unique_ptr<bool, void (*)(bool*)> done(&reading, [](bool* r) { *r = false; });
    RunFileLoader loader;
    QProgressDialog progress(QString(), QStringLiteral("Cancel"), 0, 100, parent);
    // The path may come from the results database: shown as it is.
    PlainText::labels(&progress);
    progress.setLabelText(QStringLiteral("Reading %1 ...").arg(QDir::toNativeSeparators(path)));
    progress.setObjectName(QStringLiteral("readingProgress"));
    progress.setWindowTitle(QStringLiteral("Open Flag File"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowAfterMs);
    progress.setAutoReset(false);
    progress.setAutoClose(false);

    QEventLoop loop;
    bool over = false;
    bool ok = false;
    QObject::connect(&loader, &RunFileLoader::progress, &progress, &QProgressDialog::setValue);
    QObject::connect(&loader, &RunFileLoader::finished, &loop, [&](bool read) {
        over = true;
        ok = read;
        loop.quit();
    });
    QObject::connect(&loader, &RunFileLoader::cancelled, &loop, [&] {
        over = true;
        loop.quit();
    });
    bool cancelled = false;
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loader.cancel();
    });
    loader.start(path);
    progress.setValue(0);
    loop.exec();
    if (!over) {
        // The program quits: the read is cancelled, and the loader's end waits for its thread.
        loader.cancel();
        return false;
    }
    *outcome = loader.takeResult();
    if (!ok || outcome->state != RunFileReader::State::Finished)
        return false;
    if (summary) {
        // A day of records takes a moment to add up: on a thread of its own too.
        progress.setLabelText(
            QStringLiteral("Adding up %1 ...").arg(QDir::toNativeSeparators(path)));
        progress.setRange(0, 0);
        std::unique_ptr<QThread> adding(QThread::create([&] { summary->rebuild(outcome->run); }));
        QObject::connect(adding.get(), &QThread::finished, &loop, &QEventLoop::quit);
        adding->start();
        loop.exec();
        adding->wait();
    }
    return !cancelled;
}
