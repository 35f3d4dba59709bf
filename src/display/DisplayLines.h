#pragma once

#include "protocol/UnitData.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

// What the unit's two display lines show, without any widget.

// Items of the three line-2 parameter lists.
enum DisplayParamItem {
    kParamEvaporatorTemp = 0,
    kParamSensor2Temp = 1,
    kParamSensor3Temp = 2,
    kParamSensor4Temp = 3,
    kParamSensor5Temp = 4,
    kParamCpuSpeed = 5,
    kParamCpuLoad = 6,
    kParamBlank = 7,
};

// Everything line 2 can be built from.
struct Line2Inputs {
    // The three chosen parameter items; -1 for a list without a selection.
    std::array<int, 3> parameters{};
    // Current temperatures of the five sensors, whole degrees Celsius.
    std::array<std::int32_t, kSensorCount> temperatures{};
    std::int32_t cpuSpeedMHz = 0;
    std::int32_t cpuLoadPercent = 0;
    bool celsius = true;
    // The display variant letter the unit reports; it chooses the temperature sign.
    std::uint8_t displayVariant = 0;
};

// The three parts separated by single blanks. No length check: the packet carries the first
// 16 characters.
QByteArray ComposeLine2Text(const Line2Inputs& inputs);

// Line 2 while a critical shutdown is pending, so that someone at the unit sees it.
inline const QByteArray kShuttingDownLine2 = QByteArrayLiteral("SHUTTING DOWN");

// Items of the line-1 interval list; the last one stops the alternation.
constexpr int kDisplayIntervalNeverItem = 7;

// The alternation interval of a list item, in milliseconds; nothing for "Never" and for no
// selection.
std::optional<int> DisplayIntervalMs(int item);
