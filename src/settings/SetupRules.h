#pragma once

#include "protocol/UnitData.h"

#include <QString>

#include <optional>

// Rules of the setup page that need no widget.

// Name box text of a sensor that is not fitted, and the name the status decoder gives a
// sensor the unit reports absent.
inline const QString kNoSensorName = QStringLiteral("Optional");
inline const QString kAbsentSensorName = QStringLiteral("N/A");

// A sensor counts as fitted when it has a name of its own.
bool IsFittedSensorName(const QString& name);

// What a fan mode writes into the fan-and-boot block. "Manual" writes nothing until the slider
// moves.
struct FanPreset {
    std::int32_t fanLimitRpm;
    std::int32_t lowRpm;
    std::int32_t highRpm;
    // Where the fan's slider is put: the midpoint of the low and high speed.
    int SliderPosition() const { return (lowRpm + highRpm) / 2; }
};

// Items of the fan mode lists.
enum FanModeItem {
    kFanModeNormal = 0,
    kFanModeLowNoise = 1,
    kFanModeTurbo = 2,
    kFanModeManual = 3
};

// The preset of a mode list item; nothing for "Manual" (and for no selection).
std::optional<FanPreset> PresetForFanMode(int modeItem);

enum class Fan { Front, Rear };

// Puts a preset's values into the block: the shared first value and this fan's two speeds.
void ApplyFanPreset(const FanPreset& preset, Fan fan, FanSettingsBlock& block);
// A manual speed: the fan's low and high speed both become the slider position.
void ApplyManualFanSpeed(int sliderPosition, Fan fan, FanSettingsBlock& block);

// The boot list's items are whole degrees Celsius, "0" down to "-40". In Fahrenheit they are
// drawn converted, as a plain number with no unit sign.
QString BootItemDrawText(const QString& itemText, bool celsius);

// The boot temperature an item stands for, in tenths of a degree Celsius.
std::int32_t BootItemTenths(const QString& itemText);
