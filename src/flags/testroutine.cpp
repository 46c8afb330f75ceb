#include "testroutine.h"

TestRoutine::TestRoutine(QObject* parent) : QObject(parent) {}

void TestRoutine::parseCFLags(CFlags* /*cflags*/) {}
