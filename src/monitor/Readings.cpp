#include "monitor/Readings.h"

#include "settings/TemperatureUnits.h"
#include "ui/WindowColours.h"

namespace {
constexpr std::int32_t kFirstInvalidRpm = 10000;
} // namespace

QString TemperatureText(std::int32_t celsius, bool useCelsius) {
    if (useCelsius)
        return QString::number(celsius) + QStringLiteral("\u00B0C");
    const auto fahrenheit =
        static_cast<std::int32_t>(CelsiusToFahrenheit(static_cast<float>(celsius)));
    return QString::number(fahrenheit) + QStringLiteral("\u00B0F");
}

bool IsSensorRowShown(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral("N/A") && name != QStringLiteral("Optional");
}

std::optional<FanLook> FanRowLook(std::int32_t rpm, const QString& modeText) {
    if (rpm >= kFirstInvalidRpm)
        return std::nullopt;
    if (rpm == 0)
        return FanLook{QStringLiteral("0 RPM"), QStringLiteral("Stopped"), kRed};
    return FanLook{QString::number(rpm) + QStringLiteral(" RPM"), modeText, kGreen};
}
