#include "monitor/SensorLimits.h"

#include "settings/TemperatureUnits.h"
#include "ui/WindowColours.h"

namespace {

const QString kNormalText = QStringLiteral("Normal");
const QString kAbsentName = QStringLiteral("N/A");
const QString kNoSensorName = QStringLiteral("Optional");

bool IsPast(std::int32_t temperature, bool alarmOnHigher, std::int32_t limit) {
    return alarmOnHigher ? temperature >= limit : temperature <= limit;
}

std::int32_t ToCelsius(std::int32_t limit, bool useCelsius) {
    if (useCelsius)
        return limit;
    return static_cast<std::int32_t>(FahrenheitToCelsius(static_cast<float>(limit)));
}

} // namespace

std::int32_t AlarmLevelFor(std::int32_t temperature, bool alarmOnHigher, std::int32_t warningLimit,
                           std::int32_t shutdownLimit) {
    std::int32_t level = kLevelNormal;
    if (IsPast(temperature, alarmOnHigher, warningLimit))
        level = kLevelWarning;
    if (IsPast(temperature, alarmOnHigher, shutdownLimit))
        level = kLevelShutdown;
    return level;
}

// A sensor that is switched off or reported absent is not checked. Its level is cleared rather
// than kept: a level left over from before the switch would go on raising warnings, and at
// the shut-down level would power the computer off, for a sensor that is no longer there.
void UpdateAlarmLevel(SensorData& slot, bool useCelsius) {
    if (slot.name == kAbsentName || slot.name == kNoSensorName) {
        slot.alarmLevel = kLevelNormal;
        return;
    }
    slot.alarmLevel = AlarmLevelFor(slot.temperature, slot.alarmOnHigher,
                                    ToCelsius(slot.warningLimit, useCelsius),
                                    ToCelsius(slot.shutdownLimit, useCelsius));
}

PanelLook SensorStatusLook(std::int32_t level) {
    switch (level) {
    case kLevelShutdown:
        return {QStringLiteral("ALARM"), kRed};
    case kLevelWarning:
        return {QStringLiteral("Warning"), kOrange};
    default:
        return {kNormalText, kGreen};
    }
}

QString SensorAlarmTrace(const SensorData& slot) {
    switch (slot.alarmLevel) {
    case kLevelShutdown:
        return QStringLiteral("TEMPERATURE CRITICAL - SHUTTING DOWN");
    case kLevelWarning:
        return QStringLiteral("Temperature warning on ") + slot.name;
    default:
        return QString();
    }
}

int SensorTakingSystemPanel(const PanelLook& systemPanel,
                            const std::array<PanelLook, kSensorCount>& sensorPanels,
                            const std::array<SensorData, kSensorCount>& sensors) {
    if (sensorPanels[0].text != kNormalText && systemPanel.colour == kGreen)
        return 0;
    if (systemPanel.text != kNormalText)
        return -1;
    for (int n = 1; n < kSensorCount; ++n) {
        if (sensors[n].name != kAbsentName && sensorPanels[n].text != kNormalText)
            return n;
    }
    return -1;
}
