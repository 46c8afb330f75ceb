#ifndef RESULTSCHILD_H
#define RESULTSCHILD_H

#include "resultsstore.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A program that measures and is then killed: the test's own executable started again with
// "--measure-then-wait". It hands `runs` runs named "<name>-1", "<name>-2", ... to a
// ResultsStore, run i with 10 * i records of 1 s and their curve, each ended by the next as "New
// run" does and the last left going, prints
// "handed over", prints "not answering" whenever its database stops answering, and waits.
namespace ResultsChild {

// In the test's main: the child's exit code, or -1 when this process is no child.
inline int runIfAsked(int argc, char** argv) {
    if (argc < 6 || qstrcmp(argv[1], "--measure-then-wait") != 0)
        return -1;
    QCoreApplication app(argc, argv);
    ResultsStore::Options options;
    options.location = QString::fromLocal8Bit(argv[2]);
    options.outboxPath = QString::fromLocal8Bit(argv[3]);
    options.timing.answerMs = 500;
    ResultsStore store(options);
    QObject::connect(&store, &ResultsStore::statusChanged, [](const ResultsStatus& s) {
        if (!s.answering) {
            std::puts("not answering");
            std::fflush(stdout);
        }
    });
    RunResult run;
    for (int i = 1; i <= std::atoi(argv[5]); ++i) {
        if (i > 1)
            store.finish(run);
        run = RunResult::begin();
        run.runId = QStringLiteral("%1-%2").arg(QString::fromLocal8Bit(argv[4])).arg(i);
        run.records = 10 * i;
        run.intervalMs = 1000;
        RunSeries curve;
        for (int s = 0; s < run.records; ++s)
            curve.add(s * 1000, {1, 0, 0, 0, 0}, 1, {});
        run.series = curve.chunks();
        store.update(run);
    }
    std::puts("handed over");
    std::fflush(stdout);
    return app.exec();
}

// Waits until the child has printed `line`.
inline bool said(QProcess& child, const QByteArray& line, int timeoutMs = 20000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QByteArray seen =
            child.property("seen").toByteArray() + child.readAllStandardOutput();
        child.setProperty("seen", seen);
        if (seen.contains(line + '\n'))
            return true;
        if (!child.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    return false;
}

// Starts the child; true once it has handed its runs over.
inline bool start(QProcess& child, const QString& location, const QString& outbox,
                  const QString& name, int runs) {
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--measure-then-wait"), location, outbox, name, QString::number(runs)});
    return child.waitForStarted() && said(child, "handed over");
}

// kill -9.
inline void kill(QProcess& child) {
    child.kill();
    child.waitForFinished();
}

} // namespace ResultsChild

#endif // RESULTSCHILD_H
