#pragma once

#include "protocol/UnitData.h"

// A fitted sensor slot with its name, direction and both limits.
inline SensorData FittedSensor(int number, const char* name, bool higher, int warning,
                               int shutdown) {
    SensorData slot;
    slot.number = number;
    slot.name = QString::fromUtf8(name);
    slot.alarmOnHigher = higher;
    slot.warningLimit = warning;
    slot.shutdownLimit = shutdown;
    return slot;
}
