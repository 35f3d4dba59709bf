#pragma once

#include "protocol/UnitData.h"

#include <QColor>
#include <QString>

#include <array>

// Alarm levels of a sensor slot.
constexpr std::int32_t kLevelNormal = 0;
constexpr std::int32_t kLevelWarning = 1;
constexpr std::int32_t kLevelShutdown = 2;

// The level of a reading against its two limits, all in whole degrees Celsius. A reading
// exactly at a limit counts as past it; the shut-down limit is tested last and wins.
std::int32_t AlarmLevelFor(std::int32_t temperature, bool alarmOnHigher, std::int32_t warningLimit,
                           std::int32_t shutdownLimit);

// Recomputes the slot's alarm level. Its limits are held in the user's unit and converted to
// Celsius first. A sensor that is not fitted ("N/A", "Optional") is at the normal level.
void UpdateAlarmLevel(SensorData& slot, bool useCelsius);

// A text with its colour, as a status panel shows it.
struct PanelLook {
    QString text;
    QColor colour;
    bool operator==(const PanelLook&) const = default;
};

// "Normal" in green, "Warning" in orange, "ALARM" in red.
PanelLook SensorStatusLook(std::int32_t level);

// The status-bar message of a sensor past a limit; empty at the normal level.
QString SensorAlarmTrace(const SensorData& slot);

// Which sensor's panel takes over the system status panel, or -1 for none. Sensor 1 takes it
// while the unit's own state left the panel green; sensors 2 to 5 only while it reads
// "Normal", so a unit fault shown there is never overwritten. The first sensor in order wins.
int SensorTakingSystemPanel(const PanelLook& systemPanel,
                            const std::array<PanelLook, kSensorCount>& sensorPanels,
                            const std::array<SensorData, kSensorCount>& sensors);
