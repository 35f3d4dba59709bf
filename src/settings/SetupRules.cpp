#include "settings/SetupRules.h"

#include "settings/TemperatureUnits.h"

bool IsFittedSensorName(const QString& name) {
    return !name.isEmpty() && name != kNoSensorName && name != kAbsentSensorName;
}

std::optional<FanPreset> PresetForFanMode(int modeItem) {
    // The block's first value is shared by both fans; every mode writes the same one.
    constexpr std::int32_t kFanLimitRpm = 2100;
    switch (modeItem) {
    case kFanModeNormal:
        return FanPreset{kFanLimitRpm, 1100, 1400};
    case kFanModeLowNoise:
        return FanPreset{kFanLimitRpm, 750, 750};
    case kFanModeTurbo:
        return FanPreset{kFanLimitRpm, 2100, 2100};
    default:
        return std::nullopt;
    }
}

void ApplyFanPreset(const FanPreset& preset, Fan fan, FanSettingsBlock& block) {
    block.fanLimitRpm = preset.fanLimitRpm;
    if (fan == Fan::Front) {
        block.frontFanLowRpm = preset.lowRpm;
        block.frontFanHighRpm = preset.highRpm;
    } else {
        block.rearFanLowRpm = preset.lowRpm;
        block.rearFanHighRpm = preset.highRpm;
    }
}

void ApplyManualFanSpeed(int sliderPosition, Fan fan, FanSettingsBlock& block) {
    if (fan == Fan::Front)
        block.frontFanLowRpm = block.frontFanHighRpm = sliderPosition;
    else
        block.rearFanLowRpm = block.rearFanHighRpm = sliderPosition;
}

QString BootItemDrawText(const QString& itemText, bool celsius) {
    if (celsius)
        return itemText;
    return QString::number(static_cast<int>(CelsiusToFahrenheit(itemText.toInt())));
}

std::int32_t BootItemTenths(const QString& itemText) {
    return itemText.toInt() * 10;
}
