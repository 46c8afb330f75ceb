#include "flags/runfileloader.h"

#include <QFile>
#include <QThread>

RunFileLoader::RunFileLoader(QObject* parent) : QObject(parent) {}

RunFileLoader::~RunFileLoader() {
    if (worker) {
        cancel();
        worker->wait();
        delete worker;
    }
}

bool RunFileLoader::start(const QString& path) {
    if (worker)
        return false;
    cancelRequested = false;
    outcome = Result();
    outcome.path = path;
    worker = QThread::create([this] { read(); });
    connect(worker, &QThread::finished, this, &RunFileLoader::readDone);
    worker->start();
    return true;
}

void RunFileLoader::read() {
    QFile file(outcome.path);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.state = RunFileReader::State::Failed;
        outcome.error = file.errorString();
        return;
    }
    outcome.format = RunFileReader::formatOf(file);
    RunFileReader reader(file, &outcome.run, outcome.format);
    int shown = -1;
    do {
        if (cancelRequested)
            reader.cancel();
        reader.step();
        if (reader.percent() != shown) {
            shown = reader.percent();
            emit progress(shown);
        }
    } while (reader.state() == RunFileReader::State::Reading);
    outcome.state = reader.state();
    outcome.rows = reader.rows();
    outcome.skipped = reader.skipped();
    outcome.started = reader.started();
    outcome.unit = reader.unit();
    outcome.error = reader.error();
}

void RunFileLoader::readDone() {
    worker->wait();
    delete worker;
    worker = nullptr;
    if (outcome.state == RunFileReader::State::Cancelled)
        emit cancelled();
    else
        emit finished(outcome.state == RunFileReader::State::Finished);
}
