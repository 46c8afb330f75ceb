#include "main/signalquitter.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

namespace {
bool requested = false;

// Ends every modal box and dialog (they run their own event loops, some before the main loop
// starts), then the main loop.
void quitNow() {
    requested = true;
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
    QCoreApplication::quit();
}
} // namespace

bool SignalQuitter::quitRequested() {
    return requested;
}

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here: the event loop reads the byte.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}
} // namespace

SignalQuitter::SignalQuitter(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
        quitNow();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SignalQuitter::~SignalQuitter() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    delete notifier;
    notifier = nullptr;
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
#else
SignalQuitter::SignalQuitter(QObject* parent) : QObject(parent) {}
SignalQuitter::~SignalQuitter() = default;
#endif
