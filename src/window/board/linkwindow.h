#ifndef LINKWINDOW_H
#define LINKWINDOW_H

#include "linksupervisor.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class LinkPair;
class QMessageBox;
class QWidget;

// The window's side of the two links: their questions as Retry/Abort boxes (Abort on a question
// that quits starts the quit timer), and the hint, said once, when the system refuses this user
// a serial port.
class LinkWindow : public QObject {
    Q_OBJECT

public:
    LinkWindow(QWidget& window, LinkPair& links);

    // The board link's Retry/Abort question while it is up.
    QMessageBox* boardQuestion() const;
    // Runs once to end the program (after Abort).
    QTimer& quitTimer() { return abortTimer; }
    void portAccessDenied(const QString& portName);

private:
    LinkSupervisor::Answer ask(LinkSupervisor& link, const LinkSupervisor::Question& question);

    QWidget& window;
    LinkPair& links;
    QPointer<QMessageBox> boardBox;
    QPointer<QMessageBox> otherBox;
    QTimer abortTimer;
    bool accessHintShown = false;
};

#endif // LINKWINDOW_H
