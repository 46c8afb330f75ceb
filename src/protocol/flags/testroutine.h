#ifndef TESTROUTINE_H
#define TESTROUTINE_H

#include <QList>
#include <QObject>

class CFlags;
class SubRoutine;

// Evaluates CFLAG records over a span of play time of one track. Owned by the main window, whose
// recievedCFlags(CFlags*) it receives; it comes with the window's three sub-routines.
class TestRoutine : public QObject {
    Q_OBJECT
public:
    explicit TestRoutine(QObject* parent = nullptr);

    QList<SubRoutine*> subRoutines;

    SubRoutine* addSubRoutine(int id, int mode, int startSecond, int endSecond);

public slots:
    // Hands the record to the first sub-routine.
    void parseCFLags(CFlags* cflags);
};

#endif // TESTROUTINE_H
