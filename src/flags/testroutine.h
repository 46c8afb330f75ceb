#ifndef TESTROUTINE_H
#define TESTROUTINE_H

#include <QList>
#include <QObject>

class CFlags;
class SubRoutine;

// Evaluates CFLAG records over a span of play time of one track.
class TestRoutine : public QObject {
    Q_OBJECT
public:
    explicit TestRoutine(QObject* parent = nullptr);

    QList<SubRoutine*> subRoutines;

public slots:
    void parseCFLags(CFlags* cflags);
};

#endif // TESTROUTINE_H
