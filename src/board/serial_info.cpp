#include "serial_info.h"

Serial_Info::Serial_Info(QObject* parent) : QObject(parent) {}

Serial_Info::~Serial_Info() {
    delete rememberedPort;
}

void Serial_Info::reset() {
    candidates.clear();
    desiredTotal = 0;
    freeDesired = 0;
    lastFreeDesired = 0;
}

void Serial_Info::detect() {}

void Serial_Info::manual_selection() {}
