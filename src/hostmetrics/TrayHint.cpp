#include "hostmetrics/TrayHint.h"

#include "protocol/UnitData.h"
#include "settings/TemperatureUnits.h"

namespace {

constexpr int kCpuSpeedSelection = 5;
constexpr int kCpuLoadSelection = 6;

QString SensorLabel(int slot) {
    return slot == 0 ? QStringLiteral("Evaporator Temp: ")
                     : QStringLiteral("Sensor %1 Temp: ").arg(slot + 1);
}

QString TemperatureText(std::int32_t celsius, bool useCelsius) {
    if (celsius == kAbsentSensorTemperature)
        return QStringLiteral("N/A");
    if (useCelsius)
        return QString::number(celsius);
    return QString::number(static_cast<std::int32_t>(CelsiusToFahrenheit(float(celsius))));
}

} // namespace

QString TrayHintText(const TrayHintInputs& in) {
    if (in.selection >= 0 && in.selection < kSensorCount)
        return SensorLabel(in.selection) +
               TemperatureText(in.temperatures[in.selection], in.useCelsius);
    if (in.selection == kCpuSpeedSelection)
        return QStringLiteral("CPU Speed: %1 MHz").arg(in.cpuSpeedMHz);
    if (in.selection == kCpuLoadSelection)
        return QStringLiteral("CPU load: %1 %").arg(in.cpuLoadPercent);
    return QString();
}

QString ChooseTrayHint(const QString& readingText, const QString& alarmText) {
    return alarmText.isEmpty() ? readingText : alarmText;
}

bool SamplingWanted(bool hasMainWindow, bool mainWindowVisible, bool resultCellsSet,
                    int trayHintSelection) {
    const bool hintShowsCpu =
        trayHintSelection == kCpuSpeedSelection || trayHintSelection == kCpuLoadSelection;
    return hasMainWindow && resultCellsSet && (mainWindowVisible || hintShowsCpu);
}
