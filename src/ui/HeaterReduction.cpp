#include "ui/HeaterReduction.h"

#include "protocol/UnitData.h"

#include <cmath>
#include <cstdint>

namespace {
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr std::int64_t kMillisecondsPerMinute = 60000;
constexpr std::int64_t kMinutesPerHour = 60;
constexpr float kOneMinuteSingle = 1.0f / 1440.0f;
} // namespace

double HeaterReductionOf(int minutes) {
    return kNoHeaterReduction +
           static_cast<double>(minutes * kMillisecondsPerMinute) / kMillisecondsPerDay;
}

double OneMinuteLess(double reductionTime) {
    return reductionTime - static_cast<double>(kOneMinuteSingle);
}

QString HeaterMinutesText(double reductionTime) {
    const auto totalMs =
        static_cast<std::int64_t>(std::llround(std::fabs(reductionTime) * kMillisecondsPerDay));
    const std::int64_t msOfDay = totalMs % static_cast<std::int64_t>(kMillisecondsPerDay);
    const std::int64_t minutes = msOfDay / kMillisecondsPerMinute % kMinutesPerHour;
    return QString::number(minutes) + QStringLiteral(" Min");
}
