#ifndef SIGNALQUITTER_H
#define SIGNALQUITTER_H

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a normal end of the event loop (on platforms with POSIX
// signals), so a measurement stopped from a terminal or a service manager still closes its files.
class SignalQuitter : public QObject {
    Q_OBJECT
public:
    explicit SignalQuitter(QObject* parent = nullptr);
    ~SignalQuitter() override;

    // A quit was asked for by a signal (the main loop may not have started yet).
    static bool quitRequested();

private:
    QSocketNotifier* notifier = nullptr;
};

#endif // SIGNALQUITTER_H
